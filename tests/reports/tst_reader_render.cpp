#include "reports/RecordingSurface.h"
#include "reports/SpoolFixture.h"
#include "reports/SpoolRenderer.h"
#include "support/TestMain.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

using Drawing = RecordingSurface::Drawing;

constexpr double kScreenShift = 45;

// Three stops as a page heading sets them: left at 0.1, centred at 4.0, right at 7.8 inches.
void headingStops(SpoolFixture& spool) {
    spool.setTab(1, QStringLiteral("0.1"), 1);
    spool.setTab(2, QStringLiteral("4"), 2);
    spool.setTab(3, QStringLiteral("7.8"), 3);
}

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
        spool.font(10);
        headingStops(spool);
        spool.text(QStringLiteral("left"), 1);
        spool.text(QStringLiteral("centre"), 2);
        spool.text(QStringLiteral("right"), 3);
        spool.cr();
        spool.cr();
        spool.text(QStringLiteral("third line"), 1);
        spool.end();

        RecordingSurface surface;
        render(spool, surface, printing);
        const QList<Drawing> texts = surface.of(Drawing::Text);
        QCOMPARE(texts.size(), 4);
        const double shift = printing ? 0 : kScreenShift;
        const double lineHeight = surface.textHeight(); // 10 points
        QCOMPARE(texts[0].from, QPointF(0.1 * 1440 + shift, 0));
        const double centreWidth = QStringLiteral("centre").size() * 10 * 6;
        QCOMPARE(texts[1].from.x(), 4.0 * 1440 + shift - centreWidth / 2);
        // A right-aligned text ends exactly at its stop.
        QCOMPARE(texts[2].from.x() + surface.textWidth(QStringLiteral("right")), 7.8 * 1440 + shift);
        QCOMPARE(texts[3].from, QPointF(0.1 * 1440 + shift, 2 * lineHeight));
    }

    void stylesAndColourChangeOnlyWhatTheyName() {
        SpoolFixture spool;
        spool.font(12, QStringLiteral("Arial"), 3);
        spool.setTab(0, QStringLiteral("1"), 1);
        spool.text(QStringLiteral("a"), 0);
        spool.line(QStringLiteral("/BOLD"));
        spool.text(QStringLiteral("b"), 0);
        spool.lines({QStringLiteral("/FONTCOLOR"), QString::number(0x0000FF)});
        spool.line(QStringLiteral("/ITALICS"));
        spool.text(QStringLiteral("c"), 0);
        spool.lines({QStringLiteral("/FONTCOLOR"), QString::number(0xFF0000)});
        spool.line(QStringLiteral("/NORMAL"));
        spool.text(QStringLiteral("d"), 0);
        spool.end();

        RecordingSurface surface;
        render(spool, surface, false);
        const QList<Drawing> texts = surface.of(Drawing::Text);
        QCOMPARE(texts.size(), 4);
        const SpoolFont italic{QStringLiteral("Arial"), 12, false, true};
        QCOMPARE(texts[0].font, italic);
        QCOMPARE(texts[1].font, (SpoolFont{QStringLiteral("Arial"), 12, true, false}));
        QCOMPARE(texts[2].font, italic);
        QCOMPARE(texts[2].color, QColor(Qt::red)); // red sits in the low byte
        QCOMPARE(texts[3].font, (SpoolFont{QStringLiteral("Arial"), 12, false, false}));
        QCOMPARE(texts[3].color, QColor(Qt::blue));
    }

    void resetTabsLeavesStopZero() {
        SpoolFixture spool;
        spool.font();
        spool.setTab(0, QStringLiteral("2"), 1);
        spool.setTab(5, QStringLiteral("3"), 3);
        spool.line(QStringLiteral("/RESETTABS"));
        spool.text(QStringLiteral("zero"), 0);
        spool.text(QStringLiteral("five"), 5);
        spool.end();

        RecordingSurface surface;
        RenderState state;
        render(spool, surface, false, state);
        const QList<Drawing> texts = surface.of(Drawing::Text);
        QCOMPARE(texts.size(), 2);
        QCOMPARE(texts[0].from.x(), 2 * 1440 + kScreenShift);
        QCOMPARE(texts[1].from.x(), kScreenShift);
        QCOMPARE(state.tabs[5].alignment, 1);
    }

    void screenOnlyBoxIsDrawnOnScreenButNotOnPaper() {
        SpoolFixture spool;
        spool.font();
        spool.line(QStringLiteral("/SCREENONLY"));
        spool.lines({QStringLiteral("/BOX"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("7.9"),
                     QStringLiteral("10.5"), QStringLiteral("1")});
        spool.lines({QStringLiteral("/BOX"), QStringLiteral("0.1"), QStringLiteral("0.85"),
                     QStringLiteral("7.8"), QStringLiteral("0.85"), QStringLiteral("2")});
        spool.setTab(1, QStringLiteral("0.1"), 1);
        spool.text(QStringLiteral("after the boxes"), 1);
        spool.end();

        RecordingSurface screen;
        render(spool, screen, false);
        const QList<Drawing> screenBoxes = screen.of(Drawing::Box);
        QCOMPARE(screenBoxes.size(), 2);
        QCOMPARE(screenBoxes[0].from, QPointF(kScreenShift, kScreenShift));
        QCOMPARE(screenBoxes[0].to, QPointF(7.9 * 1440 + kScreenShift, 10.5 * 1440 + kScreenShift));

        RecordingSurface paper;
        render(spool, paper, true);
        const QList<Drawing> paperBoxes = paper.of(Drawing::Box);
        QCOMPARE(paperBoxes.size(), 1);
        QCOMPARE(paperBoxes[0].from, QPointF(0.1 * 1440, 0.85 * 1440));
        QCOMPARE(paperBoxes[0].to, QPointF(7.8 * 1440, 0.85 * 1440));
        QCOMPARE(paperBoxes[0].penWidth, 2);
        QCOMPARE(paper.texts(), QStringList{QStringLiteral("after the boxes")});
    }

    void rulesSitAboveOrBelowTheLine_data() {
        QTest::addColumn<bool>("printing");
        QTest::addColumn<QString>("command");
        QTest::addColumn<double>("yFromLineTop"); // in line heights
        QTest::newRow("screen, above") << false << "/LINEABOVE" << 0.0;
        QTest::newRow("screen, below") << false << "/LINEBELOW" << 1.0;
        QTest::newRow("printer, above") << true << "/LINEABOVE" << -0.25;
        QTest::newRow("printer, below") << true << "/LINEBELOW" << 1 / 1.3;
    }
    void rulesSitAboveOrBelowTheLine() {
        QFETCH(bool, printing);
        QFETCH(QString, command);
        QFETCH(double, yFromLineTop);
        SpoolFixture spool;
        spool.font(10);
        spool.setTab(5, QStringLiteral("5.25"), 1);
        spool.cr();
        spool.lines({command, QStringLiteral("5"), QStringLiteral("0.75"), QStringLiteral("0")});
        spool.end();

        RecordingSurface surface;
        render(spool, surface, printing);
        const QList<Drawing> rules = surface.of(Drawing::Rule);
        QCOMPARE(rules.size(), 1);
        const double lineHeight = surface.textHeight();
        const double y = lineHeight + yFromLineTop * lineHeight;
        // No 45-twip shift for rules, on screen or paper; thickness 0 draws as 1.
        QCOMPARE(rules[0].from, QPointF(5.25 * 1440, y));
        QCOMPARE(rules[0].to, QPointF(6.0 * 1440, y));
        QCOMPARE(rules[0].penWidth, 1);
    }

    void damagedNumbersDoNotStopThePage() {
        SpoolFixture spool;
        spool.font();
        spool.setTab(1, QStringLiteral("1"), 1);
        spool.setTab(2, QStringLiteral("2"), 1);
        spool.text(QStringLiteral("at two"), 2);
        spool.text(QStringLiteral("stop unreadable"), -1); // replaced below
        spool.lines({QStringLiteral("/BOX"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("2"),
                     QStringLiteral("2"), QStringLiteral("1")});
        spool.lines({QStringLiteral("/BOX"), QStringLiteral("3"), QStringLiteral("?"), QStringLiteral("4"),
                     QStringLiteral(""), QStringLiteral("x")});
        spool.lines(
            {QStringLiteral("/SETTAB"), QStringLiteral("1"), QStringLiteral("one"), QStringLiteral("1")});
        spool.lines(
            {QStringLiteral("/FONT"), QStringLiteral("big"), QStringLiteral("Arial"), QStringLiteral("1")});
        spool.text(QStringLiteral("at one"), 1);
        spool.text(QStringLiteral("no such stop"), 21);
        spool.end();
        QByteArray bytes = spool.bytes();
        bytes.replace("stop unreadable\r\n-1", "stop unreadable\r\ntwo?");

        RecordingSurface surface;
        render(bytes, surface, false);
        const QList<Drawing> texts = surface.of(Drawing::Text);
        QCOMPARE(surface.texts(), (QStringList{QStringLiteral("at two"), QStringLiteral("stop unreadable"),
                                               QStringLiteral("at one")}));
        // An unreadable stop keeps the stop of the text before it.
        QCOMPARE(texts[1].from.x(), 2 * 1440 + kScreenShift);
        // An unreadable "/SETTAB" and "/FONT" change nothing.
        QCOMPARE(texts[2].from.x(), 1 * 1440 + kScreenShift);
        QCOMPARE(texts[2].font.face, QStringLiteral("Times New Roman"));
        // Unreadable box values keep what the last box had.
        const QList<Drawing> boxes = surface.of(Drawing::Box);
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[1].from, QPointF(3 * 1440 + kScreenShift, 1 * 1440 + kScreenShift));
        QCOMPARE(boxes[1].to, QPointF(4 * 1440 + kScreenShift, 2 * 1440 + kScreenShift));
        QCOMPARE(boxes[1].penWidth, 1);
    }

    void screenPageEndsAtThePageBreak() {
        SpoolFixture spool;
        spool.report(3, 2);
        const QString path = save(spool.bytes());
        RenderState state;
        for (int page = 1; page <= 2; ++page) {
            RecordingSurface surface;
            ScreenRenderer renderer(surface, state);
            SpoolFileReader reader(path);
            QVERIFY(reader.open());
            QVERIFY(reader.seekTo(spool.offsets().at(page - 1)));
            renderer.drawPage(reader);
            QCOMPARE(surface.texts(), (QStringList{QStringLiteral("Page %1").arg(page),
                                                   spool.rowText(page, 1), spool.rowText(page, 2)}));
            // Page 2 sets no font: it is spaced by the line height page 1 left behind.
            QCOMPARE(surface.of(Drawing::Text).at(2).from.y(), 2 * 230.0);
        }
    }

    void printerFontIsNarrowedToTheCanvasWidth_data() {
        QTest::addColumn<double>("printerWidth"); // twips a character a point
        QTest::addColumn<double>("printerHeight");
        QTest::addColumn<double>("printedSize");
        QTest::addColumn<int>("extraSpacing");
        QTest::newRow("narrower printer keeps its size") << 5.0 << 23.0 << 10.0 << 0;
        QTest::newRow("equal printer keeps its size") << 6.0 << 23.0 << 10.0 << 0;
        // 10 points at 6.3 is wider than 10 at 6; 9.5 at 6.3 is no wider.
        QTest::newRow("wider printer is narrowed") << 6.3 << 23.0 << 9.5 << 11; // 230 - 218.5
        QTest::newRow("narrowing stops at two points") << 60.0 << 23.0 << 2.0 << 184;
        QTest::newRow("shorter printer lines get spacing") << 6.0 << 20.0 << 10.0 << 30;
    }
    void printerFontIsNarrowedToTheCanvasWidth() {
        QFETCH(double, printerWidth);
        QFETCH(double, printerHeight);
        QFETCH(double, printedSize);
        QFETCH(int, extraSpacing);
        SpoolFixture spool;
        spool.font(10, QStringLiteral("Times New Roman"), 1);
        spool.setTab(1, QStringLiteral("1"), 1);
        spool.text(QStringLiteral("text"), 1);
        spool.cr();
        spool.text(QStringLiteral("next line"), 1);
        spool.end();

        RecordingSurface printer(printerWidth, printerHeight);
        RenderState state;
        render(spool.bytes(), printer, true, state);
        const QList<Drawing> texts = printer.of(Drawing::Text);
        QCOMPARE(texts.size(), 2);
        QVERIFY(qFuzzyCompare(texts[0].font.points, printedSize));
        QCOMPARE(state.extraLineSpacing, extraSpacing);
        QCOMPARE(texts[1].from.y(), state.lineHeight + extraSpacing);
        // Lines on paper are never closer than on the canvas (10 points at 23 twips a point).
        QVERIFY(texts[1].from.y() >= 230);
    }

    void printingBreaksPagesAndSetsThePaper() {
        SpoolFixture spool;
        spool.header(QStringLiteral("Book Listing"), 2, 2);
        spool.font();
        spool.setTab(1, QStringLiteral("1"), 1);
        spool.text(QStringLiteral("one"), 1);
        spool.newPage();
        spool.line(QStringLiteral("/SCREENONLY"));
        spool.lines({QStringLiteral("/NEWPAGE"), QStringLiteral("99")});
        spool.text(QStringLiteral("two"), 1);
        spool.newPage();
        spool.text(QStringLiteral("three"), 1);
        spool.end();

        RecordingSurface printer;
        RecordingSurface canvas;
        RecordingPages pages;
        RenderState state;
        QList<int> started;
        PrintRenderer renderer(printer, pages, canvas, state, {{}, [&started](int page) {
                                                                   started.append(page);
                                                               }});
        SpoolFileReader reader(save(spool.bytes()));
        QVERIFY(renderer.print(reader));
        QCOMPARE(printer.texts(),
                 (QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}));
        QCOMPARE(pages.newPages, 2);
        QCOMPARE(started, (QList<int>{2, 3}));
        QCOMPARE(pages.orientations, QList<int>{2});
        QCOMPARE(pages.paperSizes, QList<int>{2});
        QCOMPARE(renderer.header().reportName, QStringLiteral("Book Listing"));
        // Each page starts again at the top.
        QCOMPARE(printer.of(Drawing::Text).at(2).from.y(), 0.0);
    }

    void cancelStopsPrintingBeforeTheNextCommand() {
        SpoolFixture spool;
        spool.report(4, 3);
        RecordingSurface printer;
        RecordingSurface canvas;
        RecordingPages pages;
        RenderState state;
        bool cancel = false;
        PrintRenderer renderer(printer, pages, canvas, state,
                               {[&cancel] { return cancel; },
                                [&cancel](int page) {
                                    cancel = page == 2;
                                }});
        SpoolFileReader reader(save(spool.bytes()));
        QVERIFY(!renderer.print(reader));
        QCOMPARE(pages.newPages, 1);
        QCOMPARE(printer.texts().size(), 4); // page 1: heading and three rows
    }

private:
    QString save(const QByteArray& bytes) {
        const QString path = m_dir.filePath(QStringLiteral("render%1.tmp").arg(++m_files));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    void render(const QByteArray& bytes, RecordingSurface& surface, bool printing, RenderState& state) {
        SpoolFileReader reader(save(bytes));
        QVERIFY(reader.open());
        if (printing) {
            RecordingSurface canvas;
            RecordingPages pages;
            PrintRenderer renderer(surface, pages, canvas, state, {});
            QVERIFY(renderer.print(reader));
        } else {
            ScreenRenderer renderer(surface, state);
            renderer.drawPage(reader);
        }
    }
    void render(const QByteArray& bytes, RecordingSurface& surface, bool printing) {
        RenderState state;
        render(bytes, surface, printing, state);
    }
    void render(const SpoolFixture& spool, RecordingSurface& surface, bool printing) {
        render(spool.bytes(), surface, printing);
    }
    void render(const SpoolFixture& spool, RecordingSurface& surface, bool printing, RenderState& state) {
        render(spool.bytes(), surface, printing, state);
    }

    QTemporaryDir m_dir;
    int m_files = 0;
};

TOMEKEEP_TEST(SpoolRenderTest);
#include "tst_reader_render.moc"
