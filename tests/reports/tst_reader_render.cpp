#include "reports/SpoolFixture.h"
#include "support/Parts.h"
#include "support/TestMain.h"

namespace {

using Drawing = RecordingSurface::Drawing;

constexpr double kScreenShift = 45;

} // namespace

class SpoolRenderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textSitsAtItsStopByAlignment_data() {
        QTest::addColumn<bool>("printing");
        QTest::newRow("screen") << false;
        QTest::newRow("printer") << true;
    }
    void textSitsAtItsStopByAlignment() {
        QFETCH(bool, printing);
        SpoolFixture spool;
        // A box for the screen only, then one for both; neither moves the text.
        spool.lines({"/SCREENONLY", "/BOX", "0", "0", "7.9", "10.5", "1"});
        spool.lines({"/BOX", "0.1", "0.85", "7.8", "0.85", "2"});
        spool.font(10);
        spool.lines(Parts("/SETTAB|1|0.1|1|/SETTAB|2|4|2|/SETTAB|3|7.8|3|/TEXT|left|1|/TEXT|centre|2|"
                          "/TEXT|right|3|/CR|/CR|/TEXT|third line|1"));
        RecordingSurface surface;
        render(spool, surface, printing);
        const QList<Drawing> texts = surface.of(Drawing::Text);
        QCOMPARE(texts.size(), 4);
        const double shift = printing ? 0 : kScreenShift;
        QCOMPARE(texts[0].from, QPointF(0.1 * 1440 + shift, 0));
        QCOMPARE(texts[1].from.x(), 4.0 * 1440 + shift - 6 * 10 * 6 / 2.0);
        // A right-aligned text ends exactly at its stop.
        QCOMPARE(texts[2].from.x() + surface.textWidth(u"right"_s), 7.8 * 1440 + shift);
        QCOMPARE(texts[3].from, QPointF(0.1 * 1440 + shift, 2 * 230.0));
        const QList<Drawing> boxes = surface.of(Drawing::Box);
        QCOMPARE(boxes.size(), printing ? 1 : 2);
        if (!printing)
            QCOMPARE(boxes[0].to, QPointF(7.9 * 1440 + kScreenShift, 10.5 * 1440 + kScreenShift));
        QCOMPARE(boxes.last().from, QPointF(0.1 * 1440 + shift, 0.85 * 1440 + shift));
        QCOMPARE(boxes.last().to, QPointF(7.8 * 1440 + shift, 0.85 * 1440 + shift));
        QCOMPARE(boxes.last().penWidth, 2);
    }

    void rulesSitAboveOrBelowTheLine_data() {
        QTest::addColumn<bool>("printing");
        QTest::addColumn<QString>("command");
        QTest::addColumn<double>("y"); // in line heights from the line's top
        QTest::newRow("screen, above") << false << "/LINEABOVE" << 0.0;
        QTest::newRow("screen, below") << false << "/LINEBELOW" << 1.0;
        QTest::newRow("printer, above") << true << "/LINEABOVE" << -0.25;
        QTest::newRow("printer, below") << true << "/LINEBELOW" << 1 / 1.3;
    }
    void rulesSitAboveOrBelowTheLine() {
        QFETCH(bool, printing);
        QFETCH(QString, command);
        QFETCH(double, y);
        SpoolFixture spool;
        spool.font(10);
        spool.lines(Parts(u"/SETTAB|5|5.25|1|/CR|"_s + command + u"|5|0.75|0"_s));
        RecordingSurface surface;
        render(spool, surface, printing);
        const QList<Drawing> rules = surface.of(Drawing::Rule);
        QCOMPARE(rules.size(), 1);
        const double ruleY = 230 + y * 230;
        // No 45-twip shift for rules, on screen or paper; thickness 0 draws as 1.
        QCOMPARE(rules[0].from, QPointF(5.25 * 1440, ruleY));
        QCOMPARE(rules[0].to, QPointF(6.0 * 1440, ruleY));
        QCOMPARE(rules[0].penWidth, 1);
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
        const QList<Drawing> texts = surface.of(Drawing::Text);
        QCOMPARE(surface.texts(), (QStringList{"at two", "stop unreadable", "at one"}));
        // An unreadable stop keeps the stop of the text before it.
        QCOMPARE(texts[1].from.x(), 2 * 1440 + kScreenShift);
        // An unreadable "/SETTAB" or "/FONT" changes nothing.
        QCOMPARE(texts[2].from.x(), 1 * 1440 + kScreenShift);
        QCOMPARE(texts[2].font.face, u"Times New Roman"_s);
        // Unreadable box values keep what the box before had.
        const QList<Drawing> boxes = surface.of(Drawing::Box);
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[1].from, QPointF(3 * 1440 + kScreenShift, 1 * 1440 + kScreenShift));
        QCOMPARE(boxes[1].to, QPointF(4 * 1440 + kScreenShift, 2 * 1440 + kScreenShift));
        QCOMPARE(boxes[1].penWidth, 1);
    }

    void printerFontIsNarrowedToTheCanvasWidth_data() {
        QTest::addColumn<double>("printerWidth");  // twips a character a point; the canvas has 6
        QTest::addColumn<double>("printerHeight"); // the canvas has 23
        QTest::addColumn<double>("printedSize");
        QTest::addColumn<int>("extraSpacing");
        QTest::newRow("narrower printer keeps its size") << 5.0 << 23.0 << 10.0 << 0;
        QTest::newRow("equal printer keeps its size") << 6.0 << 23.0 << 10.0 << 0;
        // 9.6 points at 6.3 are still wider than 10 at 6; 9.5 are not. 230 - 218.5 rounds to 11.
        QTest::newRow("wider printer is narrowed") << 6.3 << 23.0 << 9.5 << 11;
        QTest::newRow("narrowing stops at two points") << 60.0 << 23.0 << 2.0 << 184;
        QTest::newRow("shorter printer lines get spacing") << 6.0 << 20.0 << 10.0 << 30;
    }
    void printerFontIsNarrowedToTheCanvasWidth() {
        QFETCH(double, printerWidth);
        QFETCH(double, printerHeight);
        QFETCH(double, printedSize);
        QFETCH(int, extraSpacing);
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
        QCOMPARE(printer.texts(), (QStringList{"one", "two", "three"}));
        QCOMPARE(printer.newPages, 2);
        QCOMPARE(started, (QList<int>{2, 3}));
        QCOMPARE(printer.orientations, QList<int>{2});
        QCOMPARE(printer.paperSizes, QList<int>{2});
        QCOMPARE(renderer.header().reportName, u"Book Listing"_s);
        // Each page starts again at the top.
        QCOMPARE(printer.of(Drawing::Text).at(2).from.y(), 230.0);
    }

private:
    QString save(const SpoolFixture& spool) {
        const QString path = m_dir.filePath(u"render%1.tmp"_s.arg(++m_files));
        if (!spool.save(path))
            qFatal("cannot write %s", qPrintable(path));
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
