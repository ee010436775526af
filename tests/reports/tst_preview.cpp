#include "ReportCapture.h"
#include "app/Paths.h"
#include "reports/PreviewDocument.h"
#include "reports/PreviewHost.h"
#include "reports/SpoolFixture.h"
#include "reports/frmPP.h"
#include "reports/frmPrinting.h"
#include "support/Parts.h"
#include "support/TestHome.h"

namespace {

// Each file under a name of its own, as the report writer names them.
QString writeSpool(const QByteArray& bytes) {
    static int serial = 36000;
    const QString path = SpoolFolder() + u"/%1.tmp"_s.arg(++serial, 8, 10, QLatin1Char('0'));
    WriteFile(path, bytes);
    return path;
}

frmPP& openPreview(const QByteArray& spool) {
    ShowPreview(writeSpool(spool));
    if (!PreviewWindow())
        qFatal("no preview");
    return *PreviewWindow();
}

QByteArray report(int pages, int rows = 3, const QString& password = QString(), int orientation = 1,
                  int paper = 1) {
    SpoolFixture spool(password);
    spool.report(pages, rows, u"Book Cost Report"_s, orientation, paper);
    return spool.bytes();
}

bool isDark(const QImage& page, int x, int y) {
    return qGray(page.pixel(x, y)) < 128;
}

// One step of a walk through the window: sets a scroll bar ("vscBar=7"), clicks the button of
// that name, or presses the keys named, on the Print button after "Print:".
void act(frmPP& window, const QString& step) {
    auto* bar = window.findChild<QScrollBar*>(step.section(u'=', 0, 0));
    auto* button = window.findChild<QAbstractButton*>(step);
    if (bar && step.contains(u'='))
        bar->setValue(step.section(u'=', 1).toInt());
    else if (button)
        button->click();
    else {
        QWidget* target = step.startsWith(u"Print:") ? static_cast<QWidget*>(window.cmdPrint) : &window;
        for (const QString& keys : step.section(u':', -1).split(u' '))
            QTest::keySequence(target, QKeySequence(keys));
    }
}

QString pdfPageText(const QString& pdf, int page) {
    QProcess process;
    const QString number = QString::number(page);
    process.start(u"pdftotext"_s, {"-f", number, "-l", number, "-layout", pdf, "-"});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class PreviewWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() {
        ClosePreview();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!PreviewWindow());
        for (const QWidget* widget : QApplication::topLevelWidgets())
            QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
    }

    void pagesTurnAndScrollWithinTheReport_data() {
        // canvas: pixels
        AddColumns<int, int, QSize, QSize>("paper", "orientation", "window", "canvas");
        QTest::newRow("letter portrait, small window") << 1 << 1 << QSize(500, 400) << QSize(816, 1008);
        QTest::newRow("letter portrait, wide window") << 1 << 1 << QSize(1000, 700) << QSize(816, 1008);
        QTest::newRow("legal landscape") << 2 << 2 << QSize(1000, 700) << QSize(1344, 816);
        QTest::newRow("letter landscape, large window") << 1 << 2 << QSize(1200, 1000) << QSize(1056, 816);
    }
    void pagesTurnAndScrollWithinTheReport() {
        const auto [paper, orientation, window, canvas] =
            FetchColumns<int, int, QSize, QSize>("paper", "orientation", "window", "canvas");
        CheckedHome home;
        frmPP& preview = openPreview(report(5, 3, QString(), orientation, paper));
        QCOMPARE(preview.windowTitle() + u'|' + preview.lblPage->text(), u"Print Preview|Page: 1"_s);
        preview.showNormal();
        preview.resize(window);
        // The viewport is 600 twips narrower and 1350 lower than the window.
        QCOMPARE(preview.picPPshow->size(), window - QSize(40, 90));
        const QSize inner = preview.picPPshow->contentsRect().size();
        const std::tuple<QScrollBar*, int, int> axes[] = {{preview.hscBar, canvas.width(), inner.width()},
                                                          {preview.vscBar, canvas.height(), inner.height()}};
        for (const auto& [bar, page, view] : axes) {
            const int reach = page - view;
            // maximum, page step, single step
            QCOMPARE(QList<int>({bar->maximum(), bar->pageStep(), bar->singleStep()}),
                     QList<int>({std::max(reach, 0), reach < 0 ? 1 : reach / 2, reach < 0 ? 1 : reach / 4}));
        }
        QCOMPARE(preview.hscBar->geometry().top(), preview.picPPshow->geometry().bottom() + 1);
        QCOMPARE(preview.vscBar->geometry().left(), preview.picPPshow->geometry().right() + 1);

        // The arrow keys move half the reach a press, never past the bars' ends; the bars move the
        // view too, and another page starts at the top-left corner again. The window sees keys
        // first, even on the Print button; Alt alone leaves keys to the controls, Alt with Shift
        // does not.
        const int h = preview.hscBar->maximum();
        const int v = preview.vscBar->maximum();
        // Each step and the page then shown, with the view's corner.
        using Step = std::tuple<const char*, int, int, int>;
        QList<Step> steps = {{"Right Down", 1, h / 2, v / 2},
                             {"Right Down Right Down Right Down", 1, h, v},
                             {"Up", 1, h, v - v / 2},
                             {"vscBar=7", 1, h, std::min(7, v)}};
        steps += QList<Step>{{"cmdNext", 2, 0, 0},         {"PgDown", 3, 0, 0},
                             {"cmdLast", 5, 0, 0},         {"cmdNext", 5, 0, 0},
                             {"PgDown", 5, 0, 0},          {"Print:PgUp", 4, 0, 0},
                             {"cmdPrev", 3, 0, 0},         {"Home", 1, 0, 0},
                             {"cmdPrev", 1, 0, 0},         {"End", 5, 0, 0},
                             {"cmdFirst", 1, 0, 0},        {"Alt+PgDown", 1, 0, 0},
                             {"Alt+Shift+PgDown", 2, 0, 0}};
        for (const auto& [step, page, x, y] : steps) {
            act(preview, QString::fromLatin1(step));
            // The page counted, the view's corner and the bars' values.
            const QPoint scroll = preview.ScrollPosition();
            const QList<int> state = {Preview().CurrentPage(), scroll.x(), scroll.y(),
                                      preview.hscBar->value(), preview.vscBar->value()};
            QVERIFY2(state == QList<int>({page, x, y, x, y}) &&
                         preview.lblPage->text() == u"Page: %1"_s.arg(page),
                     step);
        }
        preview.resize(100, 100);
        QCOMPARE(preview.size(), QSize(4000 / 15, 3500 / 15));

        // The paging buttons say what they do, their arrows in a dark scheme's text colour at any scale.
        QPalette dark = preview.palette();
        dark.setColor(QPalette::Button, QColor(0x30, 0x30, 0x30));
        dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
        preview.setPalette(dark);
        QStringList tips;
        for (QToolButton* button : {preview.cmdFirst, preview.cmdPrev, preview.cmdNext, preview.cmdLast}) {
            tips << button->toolTip();
            QVERIFY(!button->accessibleName().isEmpty() &&
                    button->toolTip().startsWith(button->accessibleName()));
            const QImage arrow = button->icon().pixmap(QSize(16, 16), 2.0).toImage();
            QCOMPARE(arrow.size(), QSize(32, 32));
            QCOMPARE(arrow.pixelColor(16, 16).rgb(), QColor(0xee, 0xee, 0xee).rgb());
        }
        tips << preview.cmdPrint->toolTip() << preview.cmdClose->toolTip();
        QCOMPARE(tips.join(u'|'),
                 u"First page (Home)|Previous page (Page Up)|Next page (Page Down)|Last page (End)|"
                 "Print every page (Ctrl+P)|Close the preview (Esc)"_s);
        // Info shows the header.
        home.prompts().answerOk();
        preview.cmdInfo->click();
        QCOMPARE(home.prompts().lastShown(), u"Tomekeep: /VERSION=1\r\n/PAPERSIZE=%1\r\n/ORIENTATION=%2\r\n"
                                             "/REPORTNAME=Book Cost Report\r\n/CREATEDBY=ZKN\r\n"
                                             "/CREATEDATE=12/24/2025\r\n/CREATETIME=10:00:00\r\n"
                                             "/NOTE=\r\nPage Count=5"_s.arg(paper)
                                                 .arg(orientation));

        frmPP& single = openPreview(report(1));
        for (const char* step : {"cmdFirst", "cmdPrev", "cmdNext", "cmdLast", "PgUp PgDown Home End"})
            act(single, QString::fromLatin1(step));
        QCOMPARE(single.lblPage->text(), u"Page: 1"_s);
    }

    void everyCloseRemovesTheReportFile_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("Close button") << 0;
        QTest::newRow("close box") << 1;
        QTest::newRow("next report begins") << 2;
        QTest::newRow("another report is shown") << 3;
        QTest::newRow("Esc") << 4;
    }
    void everyCloseRemovesTheReportFile() {
        QFETCH(int, how);
        TestHome home;
        frmPP& window = openPreview(report(2));
        const QString path = Preview().SpoolPath();
        const QString next = writeSpool(report(1));
        const std::function<void()> closes[] = {[&] { window.cmdClose->click(); }, [&] { window.close(); },
                                                [] { ClosePreview(); }, [&] { ShowPreview(next); },
                                                [&] {
                                                    QTest::keyClick(window.cmdInfo, Qt::Key_Escape);
                                                }};
        closes[how]();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Only the closed window's file goes; a preview stays only when another report is shown.
        QCOMPARE(QList<bool>({QFile::exists(path), QFile::exists(next), PreviewWindow() != nullptr}),
                 QList<bool>({false, true, how == 3}));
    }

    void saveCopiesTheReportWhichCloseThenRemoves() {
        CheckedHome home;
        // Save copies the report into the home folder: one of the test's own.
        const QByteArray realHome = qgetenv("HOME");
        const auto restoreHome = qScopeGuard([&realHome] { qputenv("HOME", realHome); });
        qputenv("HOME", QFile::encodeName(home.path()));
        const QString copy = home.file(u"spool.rpt"_s);
        WriteFile(copy, "an older copy, replaced");
        home.prompts().input(u"pw"_s).answer(PromptAnswer::No).answer(PromptAnswer::Yes);
        const QByteArray spool = report(2, 2, u"pw"_s);
        frmPP& window = openPreview(spool);
        window.cmdSave->click();
        window.cmdSave->click();
        QCOMPARE(home.prompts().last().text, u"Save report to "_s + copy + u'?');
        QCOMPARE(home.prompts().last().buttons, PromptButtons::YesNo);
        window.cmdClose->click();
        QFile saved(copy);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), spool); // byte for byte, still scrambled

        // A copy that cannot be made is told.
        qputenv("HOME", QFile::encodeName(home.file(u"no such folder"_s)));
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        openPreview(report(1)).cmdSave->click();
        QVERIFY(home.prompts().lastShown().startsWith(u"Error: "_s) &&
                home.prompts().lastShown().contains(ReportCopyPath()));
    }

    void scrambledReportsAskForThePassword_data() {
        AddColumns<QString, QString>("typed", "reportName");
        AddRow("right password", "SeCrEt", "Book Cost Report");
        AddRow("wrong password", "guess", "");
        AddRow("no password", "", "");
    }
    void scrambledReportsAskForThePassword() {
        const auto [typed, reportName] = FetchColumns<QString, QString>("typed", "reportName");
        TestHome home;
        home.prompts().input(typed);
        frmPP& window = openPreview(report(4, 2, u"secret"_s));
        QCOMPARE(home.prompts().lastShown(),
                 u"Protected: This report is password protected.  Please enter password:"_s);
        QCOMPARE(Preview().Header().reportName, reportName);
        // The trailer is never scrambled: paging works whatever was typed.
        window.cmdLast->click();
        QCOMPARE(window.lblPage->text(), u"Page: 4"_s);
        // A report shown next that is not scrambled reads as text again.
        openPreview(report(1));
        QCOMPARE(Preview().Header().reportName + u'|' + QString::number(home.prompts().count()),
                 u"Book Cost Report|1"_s);
    }

    void damagedReportsShowWhatTheyCan_data() {
        // from: the file is cut before the first of these...
        // to: ...and the last of these replaced by it
        AddColumns<QByteArray, QByteArray>("from", "to");
        QTest::newRow("cut inside a command") << QByteArray("Title 3.2") << QByteArray();
        AddRow("position past the end", QByteArray("3\r\n1\r\n"), QByteArray("3\r\n1\r\n99999\r\n"));
        AddRow("numbers that are not", QByteArray("/SETTAB\r\n1\r\n0.1"),
               QByteArray("/SETTAB\r\nx\r\n0,1,2"));
    }
    void damagedReportsShowWhatTheyCan() {
        const auto [from, to] = FetchColumns<QByteArray, QByteArray>("from", "to");
        TestHome home;
        QByteArray bytes = report(3, 4);
        if (to.isEmpty())
            bytes.truncate(bytes.indexOf(from));
        else
            bytes.replace(bytes.lastIndexOf(from), from.size(), to);
        frmPP& window = openPreview(bytes);
        window.cmdLast->click();
        QCOMPARE(window.lblPage->text() + u'|' + QString::number(Preview().PageCount()), u"Page: 3|3"_s);
        const QImage page = Preview().Canvas().render(1);
        int ink = 0;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width() / 2; ++x)
                ink += isDark(page, x, y) ? 1 : 0;
        }
        QVERIFY(ink > 100); // the page shows its heading and rows
        VERIFY_NO_UNEXPECTED_PROMPTS(home);

        // A file that cannot be read at all is told, and no preview opens.
        home.prompts().answerOk();
        ShowPreview(SpoolFolder() + u"/00000001.tmp"_s);
        QVERIFY(!PreviewWindow());
        QCOMPARE(home.prompts().last().title, u"Error"_s);
    }

    void pageIsDrawnWhereTheFileSays() {
        TestHome home;
        SpoolFixture spool;
        spool.header(u"Book Listing"_s);
        spool.lines({"/SCREENONLY", "/BOX", "0", "0", "7.9", "10.5", "1"});
        spool.font(10);
        spool.lines(Parts("/SETTAB|3|7.8|3|/TEXT|MMMM|3"));
        spool.end();
        openPreview(spool.bytes());
        // The page is drawn at the screen's resolution: at 200 % every dot is two, each drawn
        // afresh rather than an enlargement of the page at 100 %.
        for (const int scale : {1, 2}) {
            const QImage page = Preview().Canvas().render(scale);
            QCOMPARE(page.width(), 816 * scale);
            // Drawing on screen starts 45 twips (3 dots) in from the page's edge.
            QVERIFY(isDark(page, 3 * scale, 100) && !isDark(page, scale, 100) &&
                    isDark(page, 400, 3 * scale));
            // The right-aligned text ends at its stop: 7.8 inches and 45 twips, dot 751.8.
            int rightmost = -1;
            for (int x = 600 * scale; x < 758 * scale; ++x) {
                for (int y = 5 * scale; y < 20 * scale; ++y)
                    rightmost = isDark(page, x, y) ? x : rightmost;
            }
            QVERIFY2(rightmost >= 745 * scale && rightmost <= 752 * scale,
                     qPrintable(QString::number(rightmost)));
        }
        const QImage sharp = Preview().Canvas().render(2);
        const QImage enlarged = Preview().Canvas().render(1).scaled(sharp.size());
        int finer = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 1200; x < sharp.width(); ++x)
                finer += sharp.pixel(x, y) != enlarged.pixel(x, y) ? 1 : 0;
        }
        QVERIFY2(finer > 50, qPrintable(QString::number(finer)));
    }

    void printingWithoutAPrinterWritesThePagesToPdf() {
        CheckedHome home;
        const auto noPrinters = fakePrinters();
        // Cancel stops the printing: no file is left and the preview closes.
        const QString cancelled = home.file(u"cancelled.pdf"_s);
        home.prompts().file(cancelled);
        frmPP& first = openPreview(report(3, 5));
        const QString firstPath = Preview().SpoolPath();
        QTimer::singleShot(0, [] {
            if (frmPrinting* printing = PrintingWindow())
                printing->cmdCancel->click();
        });
        first.cmdPrint->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(gReportCancelled);
        QVERIFY(!QFile::exists(cancelled) && !PreviewWindow() && !QFile::exists(firstPath));
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext is not installed");
        frmPP& window = openPreview(report(3, 5));
        const QString path = Preview().SpoolPath();
        // Choosing no file prints nothing and leaves the preview open; Ctrl+P is Print.
        home.prompts().file(QString());
        QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(home.prompts().last().title, u"Print to PDF"_s);
        QVERIFY(PreviewWindow() && window.isVisible() && QFile::exists(path));

        const QString pdf = home.file(u"listing.pdf"_s);
        home.prompts().file(pdf);
        window.cmdPrint->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!PreviewWindow() && !PrintingWindow() && !QFile::exists(path));
        // Each page holds its heading and rows in order.
        for (int page = 1; page <= 3; ++page) {
            const QString text = pdfPageText(pdf, page);
            qsizetype from = text.indexOf(u"Page "_s + QString::number(page));
            for (int row = 1; row <= 5 && from >= 0; ++row)
                from = text.indexOf(SpoolFixture::rowText(page, row), from);
            QVERIFY2(from >= 0, qPrintable(u"page %1: %2"_s.arg(page).arg(text)));
        }
        QVERIFY(pdfPageText(pdf, 4).isEmpty());
    }
};

TOMEKEEP_TEST(PreviewWindowTest);
#include "tst_preview.moc"
