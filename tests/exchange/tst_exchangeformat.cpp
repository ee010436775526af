#include "ExchangeTestSupport.h"
#include "exchange/ExchangeFormat.h"
#include "exchange/ExchangeReader.h"
#include "exchange/ExchangeWriter.h"
#include "exchange/TextEncoding.h"

#include <limits>

using exchangetest::richBook;

namespace {

// The lines of the bytes as the importer reads them.
QStringList readAll(const QByteArray& bytes, TextEncoding* encoding = nullptr) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ExchangeReader reader(buffer);
    if (encoding)
        *encoding = reader.encoding();
    QStringList lines;
    for (QString line; reader.readLine(line);)
        lines << line;
    return lines;
}

} // namespace

class ExchangeFormatTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void headerNamesTheEighteenFields() {
        QCOMPARE(ExchangeHeader(),
                 u"\"BookId\",\"Title\",\"Stars\",\"Subject\",\"Format\",\"Pages\",\"Rating\","
                 "\"Copyright\",\"Publisher\",\"Author\",\"Awards\",\"Location\",\"Label\","
                 "\"AcquiredDate\",\"Cost\",\"LentTo\",\"LentDate\",\"Notes\""_s);
        QVERIFY(IsExchangeHeader(ExchangeHeader().toUpper()));
        QVERIFY(!IsExchangeHeader(ExchangeHeader().replace(u"Label"_s, u"LabelNumber"_s)));
        QVERIFY(!IsExchangeHeader(ExchangeHeader().replace(u"\",\""_s, u"\", \""_s)));
        QVERIFY(!IsExchangeHeader(QString()));
    }

    // The line reads back as the book, but for the double quotes a text cannot hold.
    void exportLineFollowsTheFieldRulesAndReadsBack() {
        ExchangeBook rich = richBook();
        QCOMPARE(BuildExportLine(rich),
                 u"42,\"Pride, Prejudice & O'Brien's Annotated Édition\",4.5,\"Poésie & Théâtre\","
                 "\"Paperback\",312,\"9-12 years\",1999,\"Éditions du Lac, Genève\",\"Émile O'Zola\","
                 "\"Bestseller/PEN/Faulkner Award\",\"Grenier, étagère 2\",\"A-0042\","
                 "\"11/05/2002\",19.95,\"Dr. O'Neill\",,\"First line|Second, with comma|Third: 5 €\""_s);
        rich.title.remove(u'"');
        QCOMPARE(ParseExchangeLine(BuildExportLine(rich)), std::optional(rich));
        QCOMPARE(BuildExportLine({}),
                 u"0,\"\",0,\"\",\"\",0,\"\",0,\"\",\"\",\"\",\"\",\"\",,0.00,\"\",,\"\""_s);
        ExchangeBook odd;
        odd.acquiredDate = QDate(10000, 1, 2);
        QVERIFY(BuildExportLine(odd).contains(u",\"01/02/10000\","_s));
        // A line break outside the notes cannot split the book.
        odd.title = u"Two\r\nlines"_s;
        odd.lentTo = u"a\nb"_s;
        const QString line = BuildExportLine(odd);
        QVERIFY(!line.contains(u'\n') && !line.contains(u'\r') && line.contains(u"\"Two lines\""_s));
    }

    void numbersArePlainDecimals_data() {
        AddColumns<double, QString>("value", "text");
        AddRow("half", 3.5, "3.5");
        AddRow("whole", 4.0, "4");
        AddRow("negative", -0.25, "-0.25");
        AddRow("no exponent", 1e20, "100000000000000000000");
        AddRow("not a number", std::numeric_limits<double>::quiet_NaN(), "0");
        AddRow("infinite", std::numeric_limits<double>::infinity(), "0");
    }
    void numbersArePlainDecimals() {
        const auto [value, text] = FetchColumns<double, QString>("value", "text");
        QCOMPARE(PlainNumber(value), text);
    }

    void nextFieldCutsOneField_data() {
        AddColumns<QString, QString, QString>("line", "field", "rest");
        AddRow("bare number", "12,\"x\"", "12", "\"x\"");
        AddRow("comma inside quotes", "\"a, b\",3", "a, b", "3");
        AddRow("empty date", ",\"x\"", "", "\"x\"");
        AddRow("blanks outside quotes", "  \" kept \"  ,1", " kept ", "1");
        AddRow("quoted last field", "\"notes, more\"", "notes, more", "");
        AddRow("unquoted last field", "notes more", "notes more", "");
        AddRow("empty line", "", "", "");
        AddRow("unbalanced quote", "\"open, never closed,1", "open, never closed,1", "");
        AddRow("lone quote", "\",1", ",1", "");
        AddRow("quote inside", "ab\"c,d\",e", "ab\"c,d", "e");
    }

    void nextFieldCutsOneField() {
        const auto [line, field, rest] = FetchColumns<QString, QString, QString>("line", "field", "rest");
        QString remaining = line;
        // A braced list is read in order: the field is cut before what remains is taken.
        QCOMPARE(QStringList({NextField(remaining), remaining}), QStringList({field, rest}));
    }

    void fieldValuesAreConverted_data() {
        AddColumns<int, QString, QString>("field", "text", "value");
        AddRow("cost with dollars", 14, "\"$1,234.50\"", "1234.50");
        AddRow("cost not a number", 14, "free", "0.00");
        AddRow("pages not a number", 5, "many", "0");
        AddRow("pages rounded to even", 5, "12.5", "12");
        AddRow("pages past 32 bits", 5, "99999999999", "2147483647");
        AddRow("copyright below 32 bits", 7, "-99999999999", "-2147483648");
        AddRow("stars leading number", 2, "3.5 stars", "3.5");
        QTest::newRow("stars huge") << 2 << QString(400, u'9') << "0";
        AddRow("month 13", 13, "13/45/2020", "");
        AddRow("february 30", 13, "02/30/2021", "");
        AddRow("date not a date", 16, "last week", "");
        AddRow("date read month first", 16, "03/04/2021", "2021-03-04");
        AddRow("notes bars", 17, "a|b", "a\r\nb");
        // Texts longer than their columns are cut to them.
        AddRow("title cut", 1, QString(150, u'T'), QString(kTitleLength, u'T'));
        AddRow("subject cut", 3, QString(60, u'S'), QString(kLookupNameLength, u'S'));
        AddRow("publisher cut", 8, QString(120, u'P'), QString(kPublisherLength, u'P'));
        AddRow("author cut before a pair", 9, QString(49, u'a') + u"😀"_s, QString(49, u'a'));
        AddRow("label cut", 12, QString(70, u'L'), QString(kLabelLength, u'L'));
        AddRow("lent to cut", 15, QString(70, u'W'), QString(kLentToLength, u'W'));
        // 255 characters in the file: each bar is one line break; they fit when read back.
        AddRow("notes cut", 17, QString(250, u'n') + u"|||||cut"_s,
               QString(250, u'n') + u"\r\n\r\n\r\n\r\n\r\n"_s);
    }

    void fieldValuesAreConverted() {
        const auto [field, text, value] = FetchColumns<int, QString, QString>("field", "text", "value");
        QStringList fields(kExchangeFieldCount, u"\"x\""_s);
        fields[field] = text;
        const std::optional<ExchangeBook> book = ParseExchangeLine(fields.join(u','));
        QVERIFY(book);
        const auto date = [](const QDate& d) {
            return IsNoDate(d) ? QString() : d.toString(Qt::ISODate);
        };
        QStringList read; // the book's fields in the file's order
        read << QString::number(book->bookId) << book->title << PlainNumber(book->stars) << book->subject
             << book->format << QString::number(book->pages) << book->rating
             << QString::number(book->copyright) << book->publisher << book->author << book->awards
             << book->location << book->label << date(book->acquiredDate) << book->cost.toPlainText()
             << book->lentTo << date(book->lentDate) << book->notes;
        QCOMPARE(read.value(field), value);
    }

    void awardsAreCutAtSlashes_data() {
        AddColumns<QString, QStringList, QStringList>("awards", "known", "names");
        const QStringList none;
        const QStringList pen = {u"PEN/Faulkner Award"_s};
        QTest::newRow("two") << "Bestseller/Nobel Prize" << none << QStringList{"Bestseller", "Nobel Prize"};
        QTest::newRow("trailing slashes") << "Bestseller//" << none << QStringList{"Bestseller"};
        QTest::newRow("slashes around") << "/Nobel Prize/" << none << QStringList{"Nobel Prize"};
        AddRow("blanks trimmed", "  Bestseller / Nobel Prize ", none,
               QStringList{"Bestseller", "Nobel Prize"});
        QTest::newRow("empty") << "" << none << QStringList{};
        QTest::newRow("only slashes") << " / // " << none << QStringList{};
        AddRow("slash in a known name", "Bestseller/PEN/Faulkner Award/Nobel Prize", pen,
               QStringList{"Bestseller", "PEN/Faulkner Award", "Nobel Prize"});
        AddRow("known name in other case", "pen/faulkner AWARD / x", pen,
               QStringList{"pen/faulkner AWARD", "x"});
        AddRow("unknown slashed name", "PEN/Faulkner Award", none, QStringList{"PEN", "Faulkner Award"});
        QTest::newRow("long piece cut") << QString(60, u'x') << none << QStringList{QString(50, u'x')};
        AddRow("no blank left by the cut", QString(49, u'x') + u" yyyy"_s, none,
               QStringList{QString(49, u'x')});
    }

    void awardsAreCutAtSlashes() {
        const auto [awards, known, names] =
            FetchColumns<QString, QStringList, QStringList>("awards", "known", "names");
        SlashedAwardNames slashed;
        for (const QString& name : known)
            slashed.add(name);
        QCOMPARE(SplitAwards(awards, slashed), names);
    }

    void utf8IsRecognised_data() {
        AddColumns<QByteArray, bool>("bytes", "valid");
        QTest::newRow("ascii") << QByteArray("plain text") << true;
        QTest::newRow("accents") << QByteArray("\xC3\x89mile \xE2\x82\xAC \xF0\x9F\x98\x80") << true;
        QTest::newRow("code page e acute") << QByteArray("caf\xE9") << false;
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << false;
        QTest::newRow("overlong three bytes") << QByteArray("\xE0\x80\xAF") << false;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
        QTest::newRow("past U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
        QTest::newRow("cut off at the end") << QByteArray("ok \xE2\x82") << false;
        QTest::newRow("stray continuation") << QByteArray("\x80") << false;
    }

    void utf8IsRecognised() {
        const auto [bytes, valid] = FetchColumns<QByteArray, bool>("bytes", "valid");
        // Fed one byte at a time, the answer is the same.
        Utf8Validator validator;
        for (const char byte : bytes)
            validator.feed(QByteArrayView(&byte, 1));
        QCOMPARE(QList<bool>({IsValidUtf8(bytes), validator.finish()}), QList<bool>({valid, valid}));
    }

    void windows1252IsDecoded() {
        QCOMPARE(DecodeWindows1252("\x80 caf\xE9 \x93q\x94 \x81\xFF"), u"€ café “q” \u0081ÿ"_s);
    }

    void writerChoosesTheEncoding_data() {
        AddColumns<QStringList, int>("lines", "encoding");
        const int codePage = int(TextEncoding::Windows1252);
        const int utf8 = int(TextEncoding::Utf8);
        QTest::newRow("ascii") << QStringList{"plain", "text"} << codePage;
        QTest::newRow("code page letters") << QStringList{"Émile Zoë", "€ “q” ÿ"} << codePage;
        QTest::newRow("beyond the code page later") << QStringList{"café", "Łódź"} << utf8;
        QTest::newRow("Greek") << QStringList{"Σίσυφος"} << utf8;
        QTest::newRow("code page bytes that read as UTF-8") << QStringList{"Ã©t"} << utf8;
        QTest::newRow("byte the code page leaves unassigned") << QStringList{"a\u0081"} << utf8;
        // Rewritten piece by piece: more than one piece of code page text before the first
        // character beyond it.
        QTest::newRow("beyond the code page after a long file")
            << (QStringList(50000, QStringLiteral("café “q” Émile Zoë ÿ €")) << QStringLiteral("Łódź"))
            << utf8;
    }

    // Windows-1252 whenever every character fits, UTF-8 otherwise; either way the file reads back.
    void writerChoosesTheEncoding() {
        const auto [lines, encoding] = FetchColumns<QStringList, int>("lines", "encoding");
        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::ReadWrite));
        ExchangeWriter writer(buffer);
        for (const QString& line : lines)
            QVERIFY(writer.writeLine(line));
        QVERIFY(writer.finish());
        QCOMPARE(int(writer.encoding()), encoding);
        const QString text = lines.join(u"\r\n"_s) + u"\r\n"_s;
        if (writer.encoding() == TextEncoding::Utf8)
            QCOMPARE(buffer.data(), text.toUtf8());
        else
            QCOMPARE(buffer.data().size(), text.size());
        QCOMPARE(readAll(buffer.data()), lines);
    }

    void readerSplitsLinesAndChoosesTheEncoding() {
        TextEncoding encoding = TextEncoding::Utf8;
        QCOMPARE(readAll("\xEF\xBB\xBFone\r\ntwo\nthree", &encoding),
                 (QStringList{u"one"_s, u"two"_s, u"three"_s}));
        QCOMPARE(encoding, TextEncoding::Utf8);
        QCOMPARE(readAll("\xC3\x89mile\r\n\r\nx\r\n"), (QStringList{u"Émile"_s, QString(), u"x"_s}));
        QCOMPARE(readAll("\xC9mile\r\n\xC3\x89", &encoding), (QStringList{u"Émile"_s, u"Ã‰"_s}));
        QCOMPARE(encoding, TextEncoding::Windows1252);
        QCOMPARE(readAll(QByteArray()), QStringList());
        // A code-page byte far into the file decides for the whole file, first line included.
        QByteArray large = "caf\xC3\xA9\r\n" + QByteArray(3 << 20, 'a') + "\r\n\xE9";
        const QStringList lines = readAll(large, &encoding);
        QCOMPARE(encoding, TextEncoding::Windows1252);
        QCOMPARE(lines.first(), u"cafÃ©"_s);
        QCOMPARE(lines.last(), u"é"_s);
    }
};

TOMEKEEP_TEST(ExchangeFormatTest);
#include "tst_exchangeformat.moc"
