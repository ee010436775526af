#include "exchange/ExchangeFormat.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

const std::array<const char*, kExchangeFieldCount> kFieldNames = {
    "BookId", "Title",  "Stars",    "Subject", "Format",       "Pages", "Rating", "Copyright", "Publisher",
    "Author", "Awards", "Location", "Label",   "AcquiredDate", "Cost",  "LentTo", "LentDate",  "Notes"};

QStringView trimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

QStringView withoutEnclosingQuotes(QStringView field) {
    field = trimBlanks(field);
    if (field.startsWith(u'"'))
        field = field.sliced(1);
    if (field.endsWith(u'"'))
        field.chop(1);
    return field;
}

struct Cut {
    QStringView field;
    bool endedAtComma = false;
    QStringView rest;
};

Cut cutField(QStringView line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'"')
            quoted = !quoted;
        else if (line[i] == u',' && !quoted)
            return {withoutEnclosingQuotes(line.first(i)), true, line.sliced(i + 1)};
    }
    return {withoutEnclosingQuotes(line), false, {}};
}

QString quoted(const QString& text) {
    return u'"' + text + u'"';
}

QString withoutLineBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

// The shortest fixed-point text that reads back as the same value; 1e308 needs 309 digits.
using NumberBuffer = std::array<char, 400>;

QLatin1StringView plainNumber(double value, NumberBuffer& buffer) {
    if (!std::isfinite(value))
        return QLatin1StringView("0");
    const auto written =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    if (written.ec != std::errc())
        return QLatin1StringView("0");
    return QLatin1StringView(buffer.data(), written.ptr - buffer.data());
}

// One line of the file, written field by field; a file of 100,000 books is built this way, so
// the common case appends without building intermediate texts.
class LineWriter {
public:
    LineWriter() { m_line.reserve(256); }

    void number(qint64 value) {
        separate();
        std::array<char, 24> buffer{};
        const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
        m_line += QLatin1StringView(buffer.data(), written.ptr - buffer.data());
    }

    void decimal(double value) {
        separate();
        NumberBuffer buffer{};
        m_line += plainNumber(value, buffer);
    }

    void bare(const QString& text) {
        separate();
        m_line += text;
    }

    // A text between double quotes, its own double quotes removed. Only Notes may hold line
    // breaks (as bars); in any other text a line break would split the book, so it becomes a blank.
    void text(const QString& value, bool notes = false) {
        m_line += m_fields++ > 0 ? QStringView(u",\"") : QStringView(u"\"");
        if (writableAsIs(value))
            m_line += value;
        else if (notes)
            m_line += NewlinesToBars(StripDoubleQuotes(value));
        else
            m_line += withoutLineBreaks(StripDoubleQuotes(value));
        m_line += u'"';
    }

    // Month/day/year whatever the locale; nothing at all for no date.
    void date(const QDate& value) {
        separate();
        if (IsNoDate(value))
            return;
        if (value.year() > 9999) {
            m_line += QStringLiteral("\"%1\"").arg(value.toString(QStringLiteral("MM/dd/yyyy")));
            return;
        }
        const auto digit = [](int n) {
            return static_cast<char16_t>(u'0' + n % 10);
        };
        const int year = value.year();
        const char16_t text[] = {u'"',
                                 digit(value.month() / 10),
                                 digit(value.month()),
                                 u'/',
                                 digit(value.day() / 10),
                                 digit(value.day()),
                                 u'/',
                                 digit(year / 1000),
                                 digit(year / 100),
                                 digit(year / 10),
                                 digit(year),
                                 u'"'};
        m_line += QStringView(text, std::size(text));
    }

    QString take() { return std::move(m_line); }

private:
    void separate() {
        if (m_fields++ > 0)
            m_line += u',';
    }

    static bool writableAsIs(QStringView text) {
        for (const QChar c : text) {
            if (c == u'"' || c == u'\r' || c == u'\n')
                return false;
        }
        return true;
    }

    QString m_line;
    int m_fields = 0;
};

QDate readDate(const QString& text) {
    const QDate date = SafeDate(text);
    return IsNoDate(date) ? kNullDate : date;
}

} // namespace

BookFields StoredValues(const ExchangeBook& book) {
    BookFields fields;
    fields.title = book.title;
    fields.labelNumber = book.label;
    fields.publisher = book.publisher;
    fields.copyright = book.copyright;
    fields.pages = book.pages;
    fields.stars = book.stars;
    fields.acquireDate = book.acquiredDate;
    fields.cost = book.cost;
    fields.lentTo = book.lentTo;
    fields.lentDate = book.lentDate;
    fields.notes = book.notes;
    return fields;
}

QString ExchangeHeader() {
    QStringList names;
    for (const char* name : kFieldNames)
        names << quoted(QString::fromLatin1(name));
    return names.join(u',');
}

bool IsExchangeHeader(const QString& line) {
    return trimBlanks(line).compare(ExchangeHeader(), Qt::CaseInsensitive) == 0;
}

QString PlainNumber(double value) {
    NumberBuffer buffer{};
    return plainNumber(value, buffer);
}

QString BuildExportLine(const ExchangeBook& book) {
    LineWriter line;
    line.number(book.bookId);
    line.text(book.title);
    line.decimal(book.stars);
    line.text(book.subject);
    line.text(book.format);
    line.number(book.pages);
    line.text(book.rating);
    line.number(book.copyright);
    line.text(book.publisher);
    line.text(book.author);
    line.text(book.awards);
    line.text(book.location);
    line.text(book.label);
    line.date(book.acquiredDate);
    line.bare(book.cost.toPlainText());
    line.text(book.lentTo);
    line.date(book.lentDate);
    line.text(book.notes, true);
    return line.take();
}

QString NextField(QString& line) {
    if (line.isEmpty())
        return {};
    const Cut cut = cutField(line);
    QString field = cut.field.toString();
    line = cut.rest.toString();
    return field;
}

SplitLine SplitExchangeLine(QStringView line) {
    SplitLine split;
    for (;;) {
        const Cut cut = cutField(line);
        split.fields << cut.field.toString();
        if (!cut.endedAtComma)
            break;
        if (split.fields.size() == kExchangeFieldCount) {
            split.moreFields = true;
            break;
        }
        line = cut.rest;
    }
    return split;
}

std::optional<ExchangeBook> ParseExchangeLine(QStringView line) {
    const SplitLine split = SplitExchangeLine(line);
    if (!split.complete())
        return std::nullopt;
    const QStringList& f = split.fields;
    ExchangeBook book;
    book.bookId = LeadingInteger(f[0]);
    book.title = CutToLength(f[1], kTitleLength);
    book.stars = LeadingNumber(f[2]);
    book.subject = CutToLength(f[3], kLookupNameLength);
    book.format = CutToLength(f[4], kLookupNameLength);
    book.pages = LeadingInteger(f[5]);
    book.rating = CutToLength(f[6], kLookupNameLength);
    book.copyright = LeadingInteger(f[7]);
    book.publisher = CutToLength(f[8], kPublisherLength);
    book.author = CutToLength(f[9], kLookupNameLength);
    book.awards = f[10];
    book.location = CutToLength(f[11], kLookupNameLength);
    book.label = CutToLength(f[12], kLabelLength);
    book.acquiredDate = readDate(f[13]);
    book.cost = Money::fromDouble(LeadingNumber(KeepNumeric(f[14])));
    book.lentTo = CutToLength(f[15], kLentToLength);
    book.lentDate = readDate(f[16]);
    // Cut while a line break is still one bar, as the exporter wrote it, so notes that fit
    // their column when exported still fit when read back with two-character line breaks.
    book.notes = BarsToNewlines(CutToLength(f[17], kNotesLength));
    return book;
}

QString CutToLength(const QString& text, int length) {
    if (text.size() <= length)
        return text;
    QString cut = text.first(length);
    if (!cut.isEmpty() && cut.back().isHighSurrogate())
        cut.chop(1);
    return cut;
}

void SlashedAwardNames::add(const QString& name) {
    // A longer name could not come back from a file, where names are cut to their column.
    if (!name.contains(u'/') || name.size() > kLookupNameLength)
        return;
    m_keys.insert(NameKey(name));
    m_longest = std::max(m_longest, name.size());
}

QStringList SplitAwards(QStringView awards, const SlashedAwardNames& known) {
    QStringList names;
    qsizetype start = 0;
    while (start <= awards.size()) {
        qsizetype end = awards.indexOf(u'/', start);
        if (end < 0)
            end = awards.size();
        QStringView piece = trimBlanks(awards.sliced(start, end - start));
        // Try ever longer runs of pieces against the known names; the longest match wins.
        for (qsizetype next = end; !known.isEmpty() && next < awards.size();) {
            next = awards.indexOf(u'/', next + 1);
            if (next < 0)
                next = awards.size();
            const QStringView run = trimBlanks(awards.sliced(start, next - start));
            if (run.size() > known.longest())
                break;
            if (known.contains(run.toString())) {
                piece = run;
                end = next;
            }
        }
        if (!piece.isEmpty())
            names << trimBlanks(CutToLength(piece.toString(), kLookupNameLength)).toString();
        start = end + 1;
    }
    return names;
}
