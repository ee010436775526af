#include "reports/SpoolFixture.h"
#include "support/Parts.h"
#include "support/TestHome.h"

namespace {

using Drawing = RecordingSurface::Drawing;

} // namespace

class SpoolRenderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textSitsAtItsStopByAlignment_data() {
        AddColumns<bool, QStringList>("printing", "drawn");
        // Stops at 0.1, 4 and 7.8 inches (144, 5760 and 11232 twips), 45 twips further in on screen; a
        // text is 60 twips a character wide and 230 high. A right-aligned text ends at its stop.
        AddRow(
            "screen", false,
            Parts("box 45,45 11421,15165 1|box 189,1269 11277,1269 2|left 189,0|centre 5625,0|right 10977,0|"
                  "third line 189,460"));
        AddRow("printer", true,
               Parts("box 144,1224 11232,1224 2|left 144,0|centre 5580,0|right 10932,0|third line 144,460"));
    }
    void textSitsAtItsStopByAlignment() {
        const auto [printing, drawn] = FetchColumns<bool, QStringList>("printing", "drawn");
        SpoolFixture spool;
        // A box for the screen only, then one for both; neither moves the text.
        spool.lines({"/SCREENONLY", "/BOX", "0", "0", "7.9", "10.5", "1"});
        spool.lines({"/BOX", "0.1", "0.85", "7.8", "0.85", "2"});
        spool.font(10);
        spool.lines(Parts("/SETTAB|1|0.1|1|/SETTAB|2|4|2|/SETTAB|3|7.8|3|/TEXT|left|1|/TEXT|centre|2|"
                          "/TEXT|right|3|/CR|/CR|/TEXT|third line|1"));
        RecordingSurface surface;
        render(spool, surface, printing);
        QCOMPARE(surface.drawn(), drawn);
    }

    // No 45-twip shift for rules, on screen or paper; thickness 0 draws as 1. A rule runs from
    // 5.25 inches to 6, at the line's top or bottom, a line being 230 twips.
    void rulesSitAboveOrBelowTheLine_data() {
        AddColumns<bool, QString, QString>("printing", "command", "drawn");
        AddRow("screen, above", false, "/LINEABOVE", "rule 7560,230 8640,230 1");
        AddRow("screen, below", false, "/LINEBELOW", "rule 7560,460 8640,460 1");
        AddRow("printer, above", true, "/LINEABOVE", "rule 7560,172.5 8640,172.5 1");
        AddRow("printer, below", true, "/LINEBELOW", "rule 7560,406.923 8640,406.923 1"); // 230 + 230 / 1.3
    }
    void rulesSitAboveOrBelowTheLine() {
        const auto [printing, command, drawn] =
            FetchColumns<bool, QString, QString>("printing", "command", "drawn");
        SpoolFixture spool;
        spool.font(10);
        spool.lines(Parts(u"/SETTAB|5|5.25|1|/CR|"_s + command + u"|5|0.75|0"_s));
        RecordingSurface surface;
        render(spool, surface, printing);
        QCOMPARE(surface.drawn(), QStringList{drawn});
    }

    // Style, colour (a Windows colour number: red in the low byte), position and tab commands
    // change what is drawn after them; with its stops reset, a text falls back to the margin.
    void commandsChangeWhatFollows() {
        SpoolFixture spool;
        spool.font(10);
        spool.lines(Parts("/SETTAB|2|2|1|/BOLD|/TEXT|bold|1|/ITALICS|/FONTCOLOR|255|/TEXT|red italic|1|"
                          "/NORMAL|/FONTCOLOR|16711680|/SETPOS|1|0.5|/TEXT|moved|2|/CR|/TEXT|next line|2|"
                          "/RESETTABS|/TEXT|no stop|2"));
        RecordingSurface surface;
        render(spool, surface, true);
        QStringList drawn;
        for (const Drawing& text : surface.of(Drawing::Text))
            drawn << u"%1 %2%3 %4 %5,%6"_s.arg(text.text)
                         .arg(text.font.bold ? "B" : "-", text.font.italic ? "I" : "-", text.color.name())
                         .arg(text.from.x())
                         .arg(text.from.y());
        QCOMPARE(drawn,
                 QStringList({"bold B- #000000 0,0", "red italic -I #ff0000 0,0", "moved -- #0000ff 2880,720",
                              "next line -- #0000ff 2880,950", "no stop -- #0000ff 0,950"}));
    }

    void damagedNumbersDoNotStopThePage() {
        SpoolFixture spool;
        spool.font();
        spool.lines(Parts("/SETTAB|1|1|1|/SETTAB|2|2|1"));
        spool.lines({"/TEXT", "at two", "2", "/TEXT", "stop unreadable", "two?"});
        spool.lines({"/BOX", "1", "1", "2", "2", "1", "/BOX", "3", "?", "4", "", "x"});
        spool.lines({"/SETTAB", "1", "one", "1", "/FONT", "big", "Arial", "1"});
        spool.lines({"/TEXT", "at one", "1", "/TEXT", "no such stop", "21"});
        RecordingSurface surface;
        render(spool, surface, false);
        // An unreadable stop keeps the stop of the text before it, an unreadable "/SETTAB" or "/FONT"
        // changes nothing, and unreadable box values keep what the box before had.
        QCOMPARE(surface.drawn(), Parts("at two 2925,0|stop unreadable 2925,0|box 1485,1485 2925,2925 1|"
                                        "box 4365,1485 5805,2925 1|at one 1485,0"));
        QCOMPARE(surface.of(Drawing::Text).at(2).font.face, u"Times New Roman"_s);
    }

    void printerFontIsNarrowedToTheCanvasWidth_data() {
        // printerWidth: twips a character a point; the canvas has 6
        // printerHeight: the canvas has 23
        AddColumns<double, double, double, int>("printerWidth", "printerHeight", "printedSize",
                                                "extraSpacing");
        QTest::newRow("narrower printer keeps its size") << 5.0 << 23.0 << 10.0 << 0;
        QTest::newRow("equal printer keeps its size") << 6.0 << 23.0 << 10.0 << 0;
        // 9.6 points at 6.3 are still wider than 10 at 6; 9.5 are not. 230 - 218.5 rounds to 11.
        QTest::newRow("wider printer is narrowed") << 6.3 << 23.0 << 9.5 << 11;
        QTest::newRow("narrowing stops at two points") << 60.0 << 23.0 << 2.0 << 184;
        QTest::newRow("shorter printer lines get spacing") << 6.0 << 20.0 << 10.0 << 30;
    }
    void printerFontIsNarrowedToTheCanvasWidth() {
        const auto [printerWidth, printerHeight, printedSize, extraSpacing] =
            FetchColumns<double, double, double, int>("printerWidth", "printerHeight", "printedSize",
                                                      "extraSpacing");
        SpoolFixture spool;
        spool.font(10);
        spool.lines({"/TEXT", "text", "0", "/CR", "/TEXT", "next line", "0"});
        RecordingSurface printer(printerWidth, printerHeight);
        render(spool, printer, true);
        const QList<Drawing> texts = printer.of(Drawing::Text);
        QCOMPARE(texts.size(), 2);
        QVERIFY(qFuzzyCompare(texts[0].font.points, printedSize));
        // Lines on paper are spaced as on the canvas, or further when the printer's are taller.
        const double printedLine = std::lround(printedSize * printerHeight);
        QCOMPARE(texts[1].from.y(), printedLine + extraSpacing);
        QVERIFY(texts[1].from.y() >= 230);
    }

    void printingBreaksPagesAndSetsThePaper() {
        SpoolFixture spool;
        spool.header(u"Book Listing"_s, 2, 2);
        spool.font();
        spool.text(u"one"_s, 0);
        spool.newPage();
        spool.lines(Parts("/SCREENONLY|/NEWPAGE|99|/TEXT|two|0"));
        spool.newPage();
        spool.lines(Parts("/CR|/TEXT|three|0"));
        spool.end();

        RecordingSurface printer;
        RecordingSurface canvas;
        RenderState state;
        QList<int> started;
        PrintRenderer renderer(printer, printer, canvas, state, {{}, [&started](int page) {
                                                                     started.append(page);
                                                                 }});
        SpoolFileReader reader(save(spool));
        QVERIFY(renderer.print(reader));
        // Each page starts again at the top.
        QCOMPARE(printer.drawn(), Parts("one 0,0|two 0,0|three 0,230"));
        QCOMPARE(printer.newPages, 2);
        QCOMPARE(started, (QList<int>{2, 3}));
        QCOMPARE(printer.orientations, QList<int>{2});
        QCOMPARE(printer.paperSizes, QList<int>{2});
        QCOMPARE(renderer.header().reportName, u"Book Listing"_s);
    }

private:
    QString save(const SpoolFixture& spool) {
        const QString path = m_dir.filePath(u"render%1.tmp"_s.arg(++m_files));
        WriteFile(path, spool.bytes());
        return path;
    }
    void render(const SpoolFixture& spool, RecordingSurface& surface, bool printing) {
        SpoolFileReader reader(save(spool));
        QVERIFY(reader.open());
        RenderState state;
        if (printing) {
            RecordingSurface canvas;
            PrintRenderer renderer(surface, surface, canvas, state, {});
            QVERIFY(renderer.print(reader));
        } else {
            ScreenRenderer renderer(surface, state);
            renderer.drawPage(reader);
        }
    }

    QTemporaryDir m_dir;
    int m_files = 0;
};

TOMEKEEP_TEST(SpoolRenderTest);
#include "tst_reader_render.moc"
