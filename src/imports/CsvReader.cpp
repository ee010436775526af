#include "imports/CsvReader.h"

#include "exchange/TextEncoding.h"

#include <QIODevice>
#include <QLocale>

namespace {

constexpr qint64 kChunk = 1 << 16;

struct ByteOrderMark {
    QByteArrayView bytes;
    QStringDecoder::Encoding encoding;
};

constexpr ByteOrderMark kByteOrderMarks[] = {
    {"\xEF\xBB\xBF", QStringDecoder::Utf8},
    {"\xFF\xFE", QStringDecoder::Utf16LE},
    {"\xFE\xFF", QStringDecoder::Utf16BE},
};

bool isWholeFileUtf8(QIODevice& device) {
    Utf8Validator validator;
    while (validator.stillValid() && !device.atEnd()) {
        const QByteArray chunk = device.read(kChunk * 16);
        if (chunk.isEmpty())
            break;
        validator.feed(chunk);
    }
    return validator.finish();
}

} // namespace

CsvReader::CsvReader(QIODevice& device, qsizetype longestRecord)
    : m_device(device)
    , m_longestRecord(longestRecord) {
    detectEncoding();
}

void CsvReader::detectEncoding() {
    const QByteArray start = m_device.peek(3);
    for (const ByteOrderMark& mark : kByteOrderMarks) {
        if (start.startsWith(mark.bytes)) {
            m_device.skip(mark.bytes.size());
            m_decoder.emplace(mark.encoding);
            return;
        }
    }
    if (isWholeFileUtf8(m_device))
        m_decoder.emplace(QStringDecoder::Utf8);
    if (!m_device.seek(0))
        fail(Problem::ReadFailed, 1);
}

bool CsvReader::fill() {
    if (m_problem != Problem::None || m_device.atEnd())
        return false;
    const QByteArray bytes = m_device.read(kChunk);
    if (bytes.isEmpty())
        return fail(Problem::ReadFailed, m_line);
    m_text = m_decoder ? m_decoder->decode(bytes) : DecodeWindows1252(bytes);
    m_at = 0;
    if (m_text.contains(QChar(0))) {
        m_text.clear();
        return fail(Problem::NotText, m_line);
    }
    return true;
}

std::optional<QChar> CsvReader::nextChar() {
    while (m_at == m_text.size()) {
        if (!fill())
            return std::nullopt;
    }
    return m_text[m_at++];
}

// Decided on the first line: LibraryThing's tab-separated export has quotes and commas in its
// values but no tab, a comma-separated file no tab in its header.
void CsvReader::detectSeparator() {
    m_separatorKnown = true;
    while (m_at == m_text.size()) {
        if (!fill())
            return;
    }
    bool quoted = false;
    int commas = 0;
    int tabs = 0;
    for (qsizetype i = m_at; i < m_text.size(); ++i) {
        const QChar c = m_text[i];
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        else if (!quoted && c == u',')
            ++commas;
        else if (!quoted && c == u'\t')
            ++tabs;
    }
    if (tabs > commas)
        m_separator = u'\t';
}

bool CsvReader::fail(Problem problem, int line) {
    if (m_problem == Problem::None) {
        m_problem = problem;
        m_problemLine = line;
    }
    return false;
}

bool CsvReader::readRecord(QStringList& fields) {
    if (!m_separatorKnown)
        detectSeparator();
    enum class State { FieldStart, Plain, Quoted, QuoteInQuoted };
    fields.clear();
    QString field;
    State state = State::FieldStart;
    qsizetype size = 0;
    m_recordLine = m_line;
    int quoteLine = 0;
    const auto endRecord = [&] {
        fields.append(field);
        // A blank line is no record.
        if (fields.size() == 1 && fields.front().isEmpty() && state != State::QuoteInQuoted) {
            fields.clear();
            m_recordLine = m_line;
            return false;
        }
        return true;
    };
    while (true) {
        const std::optional<QChar> next = nextChar();
        if (!next) {
            if (m_problem != Problem::None)
                return false;
            if (state == State::Quoted)
                return fail(Problem::UnbalancedQuotes, quoteLine);
            return endRecord() || (fields.clear(), false);
        }
        const QChar c = *next;
        const bool lineFeedOfCrLf = m_afterCarriageReturn && c == u'\n';
        m_afterCarriageReturn = c == u'\r';
        if (c == u'\r' || (c == u'\n' && !lineFeedOfCrLf))
            ++m_line;
        if (++size > m_longestRecord)
            return fail(Problem::RecordTooLong, m_recordLine);
        if (state == State::Quoted) {
            // Line breaks inside a field are kept as the file has them.
            if (c == u'"')
                state = State::QuoteInQuoted;
            else
                field.append(c);
            continue;
        }
        // The record already ended at the carriage return.
        if (lineFeedOfCrLf)
            continue;
        if (state == State::QuoteInQuoted && c == u'"') {
            field.append(c);
            state = State::Quoted;
            continue;
        }
        if (c == m_separator) {
            fields.append(field);
            field.clear();
            state = State::FieldStart;
        } else if (c == u'\n' || c == u'\r') {
            if (endRecord())
                return true;
            state = State::FieldStart;
            size = 0;
        } else if (state == State::FieldStart && c == u'"') {
            state = State::Quoted;
            quoteLine = m_line;
        } else {
            // A quote inside a field that did not open with one is an ordinary character, and so
            // is whatever follows a closing quote (="0141439513" arrives that way).
            field.append(c);
            state = State::Plain;
        }
    }
}

QString CsvReader::problemText() const {
    const QString line = QString::number(m_problemLine);
    switch (m_problem) {
    case Problem::None:
        return {};
    case Problem::NotText:
        return QStringLiteral("This file is not text.");
    case Problem::UnbalancedQuotes:
        return QStringLiteral("The double quote that opens a field on line %1 is never closed.").arg(line);
    case Problem::RecordTooLong:
        return QStringLiteral("The record that begins on line %1 is longer than %2 characters.")
            .arg(line, QLocale(QLocale::English).toString(m_longestRecord));
    case Problem::ReadFailed:
        return QStringLiteral("The file could not be read after line %1: %2.")
            .arg(line, m_device.errorString());
    }
    return {};
}

qint64 CsvReader::position() const {
    return m_device.pos();
}
