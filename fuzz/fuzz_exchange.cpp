// Feeds arbitrary bytes to the exchange file reader and the line rules: nothing may crash, hang
// or grow, and a book read from a line must read back unchanged once written again.
#include "exchange/ExchangeFormat.h"
#include "exchange/ExchangeReader.h"
#include "exchange/TextEncoding.h"

#include <QBuffer>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void fail(const char* what, int line) {
    std::fprintf(stderr, "check failed at line %d: %s\n", line, what);
    std::abort();
}

#define CHECK(condition)                                                                                     \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            fail(#condition, __LINE__);                                                                      \
    } while (false)

// Both books' lines, to see what a failed round trip changed.
void show(const ExchangeBook& read, const ExchangeBook& expected) {
    std::fprintf(stderr, "read:     %s\nexpected: %s\n", qPrintable(BuildExportLine(read)),
                 qPrintable(BuildExportLine(expected)));
    std::fprintf(stderr, "stars %.17g %.17g, cost %lld %lld\n", read.stars, expected.stars,
                 static_cast<long long>(read.cost.units()), static_cast<long long>(expected.cost.units()));
}

// What writing a text to the file does to it: double quotes and line breaks cannot be written.
QString asWritten(QString text) {
    text.remove(u'"');
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

ExchangeBook asWritten(ExchangeBook book) {
    for (QString* text : {&book.title, &book.subject, &book.format, &book.rating, &book.publisher,
                          &book.author, &book.awards, &book.location, &book.label, &book.lentTo})
        *text = asWritten(*text);
    // Notes keep their line breaks, every one of them as CR LF.
    book.notes = BarsToNewlines(NewlinesToBars(book.notes.remove(u'"')));
    return book;
}

void checkFieldsOf(const QString& line) {
    // NextField only ever shortens the line; a few dozen fields are enough to walk.
    QString rest = line;
    for (int fields = 0; !rest.isEmpty() && fields < 64; ++fields) {
        const qsizetype before = rest.size();
        const QString field = NextField(rest);
        CHECK(rest.size() < before);
        CHECK(field.size() <= before);
    }
    const SplitLine split = SplitExchangeLine(line);
    CHECK(!split.fields.isEmpty() && split.fields.size() <= kExchangeFieldCount);
}

void checkBookOf(const QString& line) {
    const std::optional<ExchangeBook> book = ParseExchangeLine(line);
    if (!book)
        return;
    CHECK(book->title.size() <= kTitleLength && book->label.size() <= kLabelLength);
    CHECK(book->subject.size() <= kLookupNameLength && book->author.size() <= kLookupNameLength);
    const QString written = BuildExportLine(*book);
    CHECK(!written.contains(u'\n') && !written.contains(u'\r'));
    std::optional<ExchangeBook> again = ParseExchangeLine(written);
    CHECK(again.has_value());
    ExchangeBook expected = asWritten(*book);
    // Amounts past 2^53 ten-thousandths lose their last digits through a double, as they must.
    if (std::llabs(expected.cost.units()) > (qint64(1) << 50))
        again->cost = expected.cost;
    if (!(*again == expected))
        show(*again, expected);
    CHECK(*again == expected);

    SlashedAwardNames known;
    known.add(QStringLiteral("PEN/Faulkner Award"));
    for (const QString& award : SplitAwards(book->awards, known)) {
        CHECK(!award.isEmpty() && award.size() <= kLookupNameLength);
        CHECK(!award.startsWith(u' ') && !award.endsWith(u' '));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16))
        return 0;
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (IsValidUtf8(bytes)) {
        // Decoding drops a byte order mark at the start and changes nothing else.
        const QByteArrayView mark = "\xEF\xBB\xBF";
        const QByteArrayView expected =
            bytes.startsWith(mark) ? QByteArrayView(bytes).sliced(mark.size()) : bytes;
        CHECK(QString::fromUtf8(bytes).toUtf8() == expected);
    }
    CHECK(DecodeWindows1252(bytes).size() == bytes.size());

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    ExchangeReader reader(buffer);
    QString line;
    int lines = 0;
    while (reader.readLine(line)) {
        CHECK(++lines <= bytes.size() + 1);
        IsExchangeHeader(line);
        checkFieldsOf(line);
        checkBookOf(line);
    }
    CHECK(!reader.failed());
    return 0;
}
