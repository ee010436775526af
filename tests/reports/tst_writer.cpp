#include "ReportCapture.h"
#include "app/Paths.h"
#include "db/Catalogue.h"
#include "reports/PageCanvas.h"
#include "reports/ReportWriter.h"
#include "reports/SpoolScramble.h"
#include "support/Parts.h"
#include "support/TestHome.h"

namespace {

const QString kFace = u"Times New Roman"_s;

// The lines of a page heading of "Test Report" on page n, Letter portrait, on 03/05/2024.
QStringList pageHeading(int page, bool firstFont) {
    return Parts(u"/SCREENONLY|/BOX|0|0|7.9|10.5|1|/SETTAB|1|0.1|1|/SETTAB|2|4|2|/SETTAB|3|7.8|3|%1|/CR|"
                 "/TEXT|Database: BIBLIO|1|/BOLD|/TEXT|Test Report|2|/NORMAL|/TEXT|Page %2|3|/CR|/TEXT|"
                 "03/05/2024|3|/CR|/RESETTABS"_s.arg(firstFont ? "/FONT|10|Times New Roman|1" : "/NORMAL")
                     .arg(page));
}

// The body after the page heading of page 1 (which ends by resetting the tab stops, as the
// start of the report does) and before the end marker.
QStringList bodyOf(const QStringList& lines, bool pageHeading = true) {
    const QString reset = u"/RESETTABS"_s;
    qsizetype start = lines.indexOf(reset);
    if (pageHeading)
        start = lines.indexOf(reset, start + 1);
    const qsizetype end = lines.indexOf(u"/ENDOFREPORT"_s);
    return lines.mid(start + 1, end - start - 1);
}

// What a test report with this body writes after its page heading, in a home of its own.
QStringList bodyWritten(const std::function<void(ScriptedReport&)>& body, bool pageHeading = true) {
    TestHome home;
    ReportCapture capture;
    ScriptedReport report(body, pageHeading);
    report.PrintReport();
    return bodyOf(capture.lines(), pageHeading);
}

// A canvas measuring as the writer does, to judge where texts were cut.
PageCanvas measuring(int style = 1) {
    PageCanvas canvas;
    canvas.SetFont(CanvasFont(kFace, 10, style));
    return canvas;
}

} // namespace

class WriterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void oneReportFileWordForWord() {
        TestHome home;
        ReportCapture capture; // at 10:00:00, second 36,000 of the day
        QStringList spoolPaths;
        ScriptedReport report([&spoolPaths](ScriptedReport& r) {
            spoolPaths << Writer().SpoolPath();
            Writer().SetTab(4, 2.25, spool::kAlignRight);
            Writer().NewLine(&r);
            Writer().PrintText(&r, u"Hello  "_s, 4, 0);
            Writer().LineAbove(4, 0.75, 1);
        });
        report.PrintReport();
        QCOMPARE(capture.lines(),
                 Parts("/VERSION|1|/REPORTNAME|Test Report|/CREATEDBY|ZKN|/CREATEDATE|03/05/2024|/CREATETIME|"
                       "10:00:00|/NOTE||/ORIENTATION|1|/PAPERSIZE|1|/BEGINNINGOFREPORT|/RESETTABS") +
                     pageHeading(1, true) +
                     Parts("/SETTAB|4|2.25|3|/CR|/TEXT|Hello|4|/LINEABOVE|4|0.75|1|/ENDOFREPORT|/"
                           "PAGEBYTEOFFSETS|1|1"));
        // Reports shown, ends with CR LF (the lines above were split at CR LF only: a lone CR or LF
        // would have joined two), headings, closings, spool folder left empty.
        QCOMPARE(QList<qsizetype>({capture.shown.size(), capture.bytes().endsWith("\r\n"), report.headings,
                                   capture.closings, QDir(SpoolFolder()).isEmpty()}),
                 QList<qsizetype>({1, 1, 1, 1, 1}));
        // The next report names its font again; a line is as high as the font's "X" on the canvas.
        // Report files are named by the seconds of the day, passing over a name that is taken.
        const QString taken = SpoolFolder() + u"/00036000.tmp"_s;
        WriteFile(taken, "taken");
        report.PrintReport();
        QCOMPARE(capture.shown.value(1), capture.shown[0]);
        QVERIFY(QFile::exists(taken) &&
                spoolPaths == QStringList({taken, SpoolFolder() + u"/00036001.tmp"_s}));
        QCOMPARE(Writer().LineHeight(), measuring().TextHeight(u"X"_s));
    }

    void pageOffsetsPointAtEachPage_data() {
        QTest::addColumn<QString>("password");
        AddRow("plain", "");
        AddRow("scrambled", "Secret");
    }
    void pageOffsetsPointAtEachPage() {
        QFETCH(QString, password);
        TestHome home;
        ReportCapture capture;
        // Texts beyond ASCII take several bytes each: offsets count bytes, not characters.
        ScriptedReport report([](ScriptedReport& r) {
            Writer().SetTab(1, 0.1, spool::kAlignLeft);
            for (int i = 0; i < 200; ++i) {
                Writer().NewLine(&r);
                Writer().PrintText(&r, u"Émile Zola — Œuvres № %1"_s.arg(i), 1, 0);
            }
        });
        report.password = password;
        report.PrintReport();
        const QByteArray bytes = capture.bytes();
        QCOMPARE(bytes.startsWith("/VERSION\r\n"), password.isEmpty());
        // The trailer, never scrambled, is the only place after the end marker, with the only "/" there.
        const QStringList trailer = ReportCapture::LinesOf(bytes.mid(bytes.lastIndexOf('/')));
        const int pages = trailer.value(1).toInt();
        QVERIFY(trailer[0] == u"/PAGEBYTEOFFSETS"_s && pages >= 3 && trailer.size() == 2 + pages &&
                trailer[2] == u"1"_s);
        QCOMPARE(report.headings, pages);
        // Each page's offset follows its new page command: read back with the key's counters set
        // from where the command begins, the password typed in any case.
        for (int page = 2; page <= pages; ++page) {
            const QByteArray expected = "/NEWPAGE\r\n" + QByteArray::number(page) + "\r\n/SCREENONLY\r\n/BOX";
            const qint64 from = trailer[1 + page].toLongLong() - expected.indexOf("/SCREENONLY");
            ScrambleKey key(password.toLower());
            key.startAt(from);
            QByteArray read = bytes.mid(from - 1, expected.size());
            for (char& byte : read) {
                const int shift = key.isEmpty() ? 0 : key.nextShift();
                byte = shift && byte != '\r' && byte != '\n' ? UnscrambleByte(byte, shift) : byte;
            }
            QVERIFY2(read == expected, read.constData());
        }
    }

    void firstPageBreakComesAboveTheFooter() {
        TestHome home;
        ReportCapture capture;
        int yBeforeBreak = -1;
        int lineHeight = 0;
        int crsOnPageOne = 0;
        ScriptedReport report([&](ScriptedReport& r) {
            lineHeight = Writer().LineHeight();
            while (Writer().PageNumber() == 1) {
                yBeforeBreak = Writer().VerticalPosition();
                Writer().NewLine(&r);
                ++crsOnPageOne;
            }
        });
        report.PrintReport();
        QCOMPARE(Writer().PageHeight(), 15840);
        QVERIFY(lineHeight > 100 && yBeforeBreak <= 15840 - 2000 && yBeforeBreak + lineHeight > 15840 - 2000);
        // The line that broke the page is written after the new page's heading and does not
        // move the new page's position.
        const QStringList lines = capture.lines();
        const qsizetype newPage = lines.indexOf(u"/NEWPAGE"_s);
        const QStringList heading = Parts("/NEWPAGE|2") + pageHeading(2, false) + Parts("/CR");
        QCOMPARE(lines.mid(newPage, heading.size()), heading);
        QCOMPARE(Writer().VerticalPosition(), 3 * lineHeight);
        QCOMPARE(lines.mid(0, newPage).count(u"/CR"_s), 3 + crsOnPageOne - 1);
    }

    void textsAreCutToTheirColumn_data() {
        AddColumns<double, int, int, int>("nextStop", "nextAlignment", "style", "widthTwips");
        const int left = spool::kAlignLeft;
        QTest::newRow("left then left") << 1.1 << left << 0 << 1440;
        QTest::newRow("left then right keeps 0.75 in") << 2.1 << int(spool::kAlignRight) << 0 << 1800;
        QTest::newRow("next stop unset: whole") << 0.0 << left << 0 << -1;
        QTest::newRow("next stop to the left: whole") << 0.05 << left << 0 << -1;
        QTest::newRow("left then centred: whole") << 1.1 << int(spool::kAlignCentre) << 0 << -1;
        // A column narrower than one character drops the rest, wrapping or not.
        QTest::newRow("narrower than a character") << 0.86 << int(spool::kAlignRight) << 0 << 14;
        QTest::newRow("narrower than a character, wrapping")
            << 0.105 << left << int(spool::kStyleNormal) << 7;
    }
    void textsAreCutToTheirColumn() {
        const auto [nextStop, nextAlignment, style, widthTwips] =
            FetchColumns<double, int, int, int>("nextStop", "nextAlignment", "style", "widthTwips");
        const QString text = u"The Remarkable and Rather Long History of Everything Written Down"_s;
        const QStringList body = bodyWritten([&](ScriptedReport& r) {
            Writer().SetTab(1, 0.1, spool::kAlignLeft);
            Writer().SetTab(2, nextStop, nextAlignment);
            Writer().NewLine(&r);
            Writer().PrintText(&r, text, 1, style);
        });
        const QStringList texts = textsOf(body);
        QVERIFY(texts.size() == 1 && body.count(u"/CR"_s) == 1);
        const QString piece = texts[0];
        if (widthTwips < 0)
            QCOMPARE(piece, text);
        else // a leading piece of the text that fits, and would not with one character more
            QVERIFY2(text.startsWith(piece) && piece.size() < text.size() &&
                         measuring().TextWidth(piece) <= widthTwips &&
                         measuring().TextWidth(text.left(piece.size() + 1)) > widthTwips,
                     qPrintable(piece));
    }

    void normalStyleWrapsAcrossLinesAndPages() {
        TestHome home;
        ReportCapture capture;
        QString text;
        for (int i = 0; i < 60; ++i)
            text += u"word%1 "_s.arg(i);
        text += u"\r\nlast line"_s;
        ScriptedReport report([&](ScriptedReport& r) {
            for (int i = 0; i < 51; ++i)
                Writer().NewLine(&r);
            Writer().PrintText(&r, text, 1, spool::kStyleNormal);
        });
        // As a report does, each page's heading sets the report's stops again.
        report.afterPageHeading = [] {
            Writer().SetTab(1, 0.9, spool::kAlignLeft);
            Writer().SetTab(2, 1.9, spool::kAlignLeft);
        };
        report.PrintReport();
        const QStringList body = bodyOf(capture.lines());
        // Leave out the heading of the page the text ran onto, and the stops set after it.
        QStringList wrapped = body.mid(body.indexOf(u"/TEXT"_s) - 1);
        const qsizetype newPage = wrapped.indexOf(u"/NEWPAGE"_s);
        QVERIFY(newPage > 0);
        wrapped.remove(newPage,
                       wrapped.indexOf(u"/CR"_s, wrapped.indexOf(u"/RESETTABS"_s, newPage)) - newPage);
        // Each piece fits the column at stop 1 on a line of its own; the style command pair around
        // the text restores the style in force.
        const QStringList pieces = textsOf(wrapped);
        QStringList expected{u"/NORMAL"_s};
        for (const QString& piece : pieces) {
            expected << u"/TEXT"_s << piece << u"1"_s << u"/CR"_s;
            QVERIFY2(measuring().TextWidth(piece) <= 1440, qPrintable(piece));
        }
        expected.last() = u"/NORMAL"_s;
        QCOMPARE(wrapped, expected);
        // Nothing lost, the line break became one blank.
        QVERIFY(pieces.size() > 5);
        QCOMPARE(pieces.join(QString()), QString(text).replace(u"\r\n"_s, u" "_s));
    }

    void oddTextsStayOnOneLine_data() {
        AddColumns<QVariant, int, QStringList>("value", "style", "expected");
        AddRow("null", QVariant(), 0, Parts("/TEXT||3"));
        AddRow("line breaks", QVariant(u"a\r\nb\nc\rd   "_s), 0, Parts("/TEXT|a b c d|3"));
        AddRow("bold then back", QVariant(u"x"_s), 2, Parts("/BOLD|/TEXT|x|3|/NORMAL"));
        AddRow("italic then back", QVariant(42), 3, Parts("/ITALICS|/TEXT|42|3|/NORMAL"));
    }
    void oddTextsStayOnOneLine() {
        const auto [value, style, expected] =
            FetchColumns<QVariant, int, QStringList>("value", "style", "expected");
        QCOMPARE(bodyWritten([&](ScriptedReport& r) { Writer().PrintText(&r, value, 3, style); }), expected);
    }

    void fontCommandsAndDecimalsIgnoreTheLocale() {
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QStringList body = bodyWritten(
            [](ScriptedReport&) {
                for (const int style : {2, 3, 7})
                    Writer().SetFont(10.5, u"Arial"_s, style);
                Writer().SetFont(10.5, kFace, 1);
                Writer().PrintBox(0.125, 1, 2.5, 1e-3, 2);
            },
            false);
        QLocale::setDefault(previous);
        QCOMPARE(body,
                 Parts("/FONT|10.5|Arial|2|/ITALICS|/FONT|10.5|Times New Roman|1|/BOX|0.125|1|2.5|0.001|2"));
    }

    void scrambledBytesNeverMakeLineEndsAndUndo() {
        ScrambleKey key(u"ab"_s);
        ScrambleKey high(u"Z"_s);
        ScrambleKey none;
        // The key's bytes; "/" + "A" + 1, "X" + "B" + 2, the line end then moving both counters on
        // twice; past 255 the shift runs round the bytes that are not line ends; no key, no change.
        QCOMPARE(QByteArrayList({key.bytes(), ScrambleLine("/X", key), ScrambleLine("/", key),
                                 ScrambleLine("\xC3", high), ScrambleLine("/CR", none)}),
                 QByteArrayList({"AB", "q\x9C", "u", " ", "/CR"}));
        // No shift makes a line end of another byte, and each is undone.
        for (int shift = 0; shift < 300; ++shift) {
            for (int byte = 0; byte < 256; ++byte) {
                if (byte == '\r' || byte == '\n')
                    continue;
                const char scrambled = ScrambleByte(static_cast<char>(byte), shift);
                QVERIFY(scrambled != '\r' && scrambled != '\n');
                QCOMPARE(static_cast<unsigned char>(UnscrambleByte(scrambled, shift)), byte);
            }
        }
    }
};

TOMEKEEP_TEST(WriterTest);
#include "tst_writer.moc"
