#include "reports/SpoolReader.h"

#include <QLocale>
#include <QStringDecoder>
#include <array>
#include <cmath>
#include <limits>

namespace {

constexpr int kCycleLength = 32;
constexpr char kCommandMark = '/';
constexpr qint64 kTrailerSearchBlock = 4096;

struct CommandSpelling {
    const char* name;
    SpoolOp op;
    int arguments;
};

constexpr std::array kCommands{
    CommandSpelling{"/VERSION", SpoolOp::Version, 1},
    CommandSpelling{"/REPORTNAME", SpoolOp::ReportName, 1},
    CommandSpelling{"/CREATEDBY", SpoolOp::CreatedBy, 1},
    CommandSpelling{"/CREATEDATE", SpoolOp::CreateDate, 1},
    CommandSpelling{"/CREATETIME", SpoolOp::CreateTime, 1},
    CommandSpelling{"/NOTE", SpoolOp::Note, 1},
    CommandSpelling{"/ORIENTATION", SpoolOp::Orientation, 1},
    CommandSpelling{"/PAPERSIZE", SpoolOp::PaperSize, 1},
    CommandSpelling{"/BEGINNINGOFREPORT", SpoolOp::BeginningOfReport, 0},
    CommandSpelling{"/CR", SpoolOp::Cr, 0},
    CommandSpelling{"/TEXT", SpoolOp::Text, 2},
    CommandSpelling{"/FONT", SpoolOp::Font, 3},
    CommandSpelling{"/BOLD", SpoolOp::Bold, 0},
    CommandSpelling{"/NORMAL", SpoolOp::Normal, 0},
    CommandSpelling{"/ITALICS", SpoolOp::Italics, 0},
    CommandSpelling{"/FONTCOLOR", SpoolOp::FontColor, 1},
    CommandSpelling{"/SETTAB", SpoolOp::SetTab, 3},
    CommandSpelling{"/RESETTABS", SpoolOp::ResetTabs, 0},
    CommandSpelling{"/SETPOS", SpoolOp::SetPos, 2},
    CommandSpelling{"/BOX", SpoolOp::Box, 5},
    CommandSpelling{"/LINEABOVE", SpoolOp::LineAbove, 3},
    CommandSpelling{"/LINEBELOW", SpoolOp::LineBelow, 3},
    CommandSpelling{"/SCREENONLY", SpoolOp::ScreenOnly, 0},
    CommandSpelling{"/NEWPAGE", SpoolOp::NewPage, 1},
    CommandSpelling{"/ENDOFREPORT", SpoolOp::EndOfReport, 0},
};

const CommandSpelling* findCommand(QStringView line) {
    if (!line.startsWith(QLatin1Char(kCommandMark)))
        return nullptr;
    for (const CommandSpelling& command : kCommands) {
        if (line == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

QByteArray withoutLineEnd(QByteArray line) {
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

// The 0-based position of the last "/" of the file, or -1. Read backwards block by block so
// that a large file costs only its trailer.
qint64 lastCommandMark(QFile& file) {
    qint64 end = file.size();
    while (end > 0) {
        const qint64 start = std::max<qint64>(0, end - kTrailerSearchBlock);
        if (!file.seek(start))
            return -1;
        const QByteArray block = file.read(end - start);
        const qsizetype mark = block.lastIndexOf(kCommandMark);
        if (mark >= 0)
            return start + mark;
        end = start;
    }
    return -1;
}

std::optional<qint64> offsetLine(const QByteArray& line, qint64 fileSize) {
    const std::optional<int> offset = SpoolInteger(DecodeSpoolText(line));
    if (!offset || *offset < 1 || *offset > fileSize)
        return std::nullopt;
    return *offset;
}

} // namespace

SpoolKey::SpoolKey(const QString& password)
    : m_key(password.toUpper().toUtf8()) {}

void SpoolKey::startAt(qint64 position) {
    if (!isSet() || position <= 1) {
        m_keyIndex = 0;
        m_cycle = 0;
        return;
    }
    const qint64 before = position - 1;
    m_keyIndex = static_cast<int>(before % m_key.size());
    if (m_keyIndex == 0)
        m_keyIndex = static_cast<int>(m_key.size());
    m_cycle = static_cast<int>(before % kCycleLength);
    if (m_cycle == 0)
        m_cycle = kCycleLength;
}

void SpoolKey::advance() {
    m_keyIndex = m_keyIndex >= m_key.size() ? 1 : m_keyIndex + 1;
    m_cycle = m_cycle >= kCycleLength ? 1 : m_cycle + 1;
}

QByteArray SpoolKey::unscramble(const QByteArray& line) {
    if (!isSet())
        return line;
    QByteArray plain(line.size(), Qt::Uninitialized);
    bool readable = true;
    for (qsizetype i = 0; i < line.size(); ++i) {
        advance();
        const int code = static_cast<unsigned char>(line.at(i)) -
                         static_cast<unsigned char>(m_key.at(m_keyIndex - 1)) - m_cycle;
        readable = readable && code >= 0 && code <= 255;
        plain[i] = static_cast<char>(code);
    }
    advance();
    advance();
    return readable ? plain : line;
}

QString DecodeSpoolText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows("windows-1252");
    return windows.isValid() ? QString(windows.decode(bytes)) : QString::fromLatin1(bytes);
}

std::optional<double> SpoolDecimal(QStringView text) {
    const QStringView trimmed = text.trimmed();
    bool ok = false;
    double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> SpoolInteger(QStringView text) {
    const std::optional<double> value = SpoolDecimal(text);
    if (!value)
        return std::nullopt;
    const double rounded = std::nearbyint(*value);
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(rounded);
}

SpoolFileReader::SpoolFileReader(const QString& path, const SpoolKey& key)
    : m_file(path)
    , m_key(key) {}

bool SpoolFileReader::open() {
    return m_file.isOpen() || m_file.open(QIODevice::ReadOnly);
}

bool SpoolFileReader::seekTo(qint64 position) {
    if (position < 1 || position > m_file.size() + 1 || !m_file.seek(position - 1))
        return false;
    m_key.startAt(position);
    return true;
}

QString SpoolFileReader::ReadSpoolLine() {
    if (m_file.atEnd())
        return {};
    return DecodeSpoolText(m_key.unscramble(withoutLineEnd(m_file.readLine())));
}

QString SpoolCommandName(SpoolOp op) {
    for (const CommandSpelling& command : kCommands) {
        if (command.op == op)
            return QLatin1String(command.name);
    }
    return {};
}

SpoolCommand ReadSpoolCommand(SpoolFileReader& reader) {
    const CommandSpelling* spelling = findCommand(reader.ReadSpoolLine());
    if (!spelling)
        return {};
    SpoolCommand command{spelling->op, {}};
    command.args.reserve(spelling->arguments);
    for (int i = 0; i < spelling->arguments; ++i)
        command.args.append(reader.ReadSpoolLine());
    return command;
}

bool ApplyHeaderCommand(const SpoolCommand& command, SpoolHeader& header) {
    const auto number = [&command](int& field) {
        field = command.integer(0).value_or(field);
    };
    switch (command.op) {
    case SpoolOp::Version:
        number(header.version);
        return true;
    case SpoolOp::Orientation:
        number(header.orientation);
        return true;
    case SpoolOp::PaperSize:
        number(header.paperSize);
        return true;
    case SpoolOp::ReportName:
        header.reportName = command.text(0);
        return true;
    case SpoolOp::CreatedBy:
        header.createdBy = command.text(0);
        return true;
    case SpoolOp::CreateDate:
        header.createDate = command.text(0);
        return true;
    case SpoolOp::CreateTime:
        header.createTime = command.text(0);
        return true;
    case SpoolOp::Note:
        header.note = command.text(0);
        return true;
    default:
        return false;
    }
}

SpoolHeader ReadSpoolHeader(SpoolFileReader& reader) {
    SpoolHeader header;
    while (!reader.atEnd()) {
        const SpoolCommand command = ReadSpoolCommand(reader);
        // The header ends where the body begins; a file that lost that line still stops at
        // its first page break rather than reading a whole report.
        if (command.op == SpoolOp::BeginningOfReport || command.op == SpoolOp::NewPage ||
            command.op == SpoolOp::EndOfReport)
            break;
        ApplyHeaderCommand(command, header);
    }
    return header;
}

bool IsScrambledSpool(const QString& path) {
    QFile file(path);
    char first = 0;
    return file.open(QIODevice::ReadOnly) && file.getChar(&first) && first != kCommandMark;
}

std::optional<QList<qint64>> ReadPageTrailer(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 mark = lastCommandMark(file);
    if (mark < 0 || !file.seek(mark))
        return std::nullopt;
    if (withoutLineEnd(file.readLine()) != "/PAGEBYTEOFFSETS")
        return std::nullopt;
    const std::optional<int> count = SpoolInteger(DecodeSpoolText(withoutLineEnd(file.readLine())));
    if (!count || *count < 1)
        return std::nullopt;
    QList<qint64> offsets;
    // The count is not trusted for the allocation: every page must show its own line.
    while (offsets.size() < *count && !file.atEnd()) {
        const std::optional<qint64> offset = offsetLine(withoutLineEnd(file.readLine()), file.size());
        if (!offset)
            return std::nullopt;
        offsets.append(*offset);
    }
    if (offsets.size() < *count)
        return std::nullopt;
    return offsets;
}

QList<qint64> ScanPageOffsets(SpoolFileReader& reader) {
    QList<qint64> offsets{1};
    if (!reader.open() || !reader.seekTo(1))
        return offsets;
    while (!reader.atEnd()) {
        const SpoolCommand command = ReadSpoolCommand(reader);
        if (command.op == SpoolOp::EndOfReport)
            break;
        if (command.op == SpoolOp::NewPage && !reader.atEnd())
            offsets.append(reader.position());
    }
    return offsets;
}
