#include "app/Paths.h"
#include "reports/PreviewDocument.h"
#include "reports/PreviewHost.h"
#include "reports/Printers.h"
#include "reports/RecordingSurface.h"
#include "reports/SpoolFixture.h"
#include "reports/frmPP.h"
#include "reports/frmPrinting.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kCanvasPixelsLetterWide = 816;

QString writeSpool(const SpoolFixture& spool, const QString& name = QStringLiteral("00036000.tmp")) {
    const QString path = SpoolFolder() + u'/' + name;
    if (!spool.save(path))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

frmPP& openPreview(const QString& path) {
    ShowPreview(path);
    frmPP* window = PreviewWindow();
    if (!window)
        qFatal("no preview for %s", qPrintable(path));
    return *window;
}

int shownPage(const frmPP& window) {
    const QString label = window.lblPage->text();
    return label.startsWith(QLatin1String("Page: ")) ? label.mid(6).toInt() : -1;
}

// The texts the screen draws on one page of a spool file, in drawing order.
QStringList screenTexts(const QString& path, qint64 offset) {
    RecordingSurface surface;
    RenderState state;
    ScreenRenderer renderer(surface, state);
    SpoolFileReader reader(path);
    if (reader.open() && reader.seekTo(offset))
        renderer.drawPage(reader);
    return surface.texts();
}

QString pdfPageText(const QString& pdf, int page) {
    QProcess process;
    const QString number = QString::number(page);
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-f"), number, QStringLiteral("-l"), number,
                                                QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool isDark(QRgb pixel) {
    return qGray(pixel) < 128;
}

bool hasInk(const QImage& page) {
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (isDark(page.pixel(x, y)))
                return true;
        }
    }
    return false;
}

// Points the home folder (where Save copies the report) at a folder of the test's own.
class HomeGuard {
public:
    explicit HomeGuard(const QString& home)
        : m_previous(qgetenv("HOME")) {
        qputenv("HOME", QFile::encodeName(home));
    }
    ~HomeGuard() { qputenv("HOME", m_previous); }

private:
    QByteArray m_previous;
};

class NoPrinters {
public:
    NoPrinters()
        : m_previous(SetPrinterLister([] { return QStringList(); })) {}
    ~NoPrinters() { SetPrinterLister(m_previous); }

private:
    PrinterLister m_previous;
};

} // namespace

class PreviewWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() {
        ClosePreview();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!PreviewWindow());
        for (QWidget* widget : QApplication::topLevelWidgets())
            QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
    }

    void pagesTurnWithinTheReport() {
        TestHome home;
        SpoolFixture spool;
        spool.report(5, 3);
        frmPP& window = openPreview(writeSpool(spool));
        QVERIFY(window.isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("Print Preview"));
        QCOMPARE(shownPage(window), 1);
        QCOMPARE(Preview().PageCount(), 5);

        const struct {
            std::function<void()> action;
            int page;
        } steps[] = {
            {[&] { window.cmdNext->click(); }, 2},
            {[&] { QTest::keyClick(&window, Qt::Key_PageDown); }, 3},
            {[&] { window.cmdLast->click(); }, 5},
            {[&] { window.cmdNext->click(); }, 5},
            {[&] { QTest::keyClick(&window, Qt::Key_PageDown); }, 5},
            {[&] { QTest::keyClick(window.cmdPrint, Qt::Key_PageUp); }, 4}, // the window sees keys first
            {[&] { window.cmdPrev->click(); }, 3},
            {[&] { QTest::keyClick(&window, Qt::Key_Home); }, 1},
            {[&] { window.cmdPrev->click(); }, 1},
            {[&] { QTest::keyClick(&window, Qt::Key_End); }, 5},
            {[&] { window.cmdFirst->click(); }, 1},
            // Alt alone leaves keys to the controls; Alt with Shift does not.
            {[&] { QTest::keyClick(&window, Qt::Key_PageDown, Qt::AltModifier); }, 1},
            {[&] { QTest::keyClick(&window, Qt::Key_PageDown, Qt::AltModifier | Qt::ShiftModifier); }, 2},
        };
        for (const auto& step : steps) {
            step.action();
            QCOMPARE(shownPage(window), step.page);
            QCOMPARE(Preview().CurrentPage(), step.page);
        }
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void aOnePageReportDoesNotPage() {
        TestHome home;
        SpoolFixture spool;
        spool.report(1, 3);
        frmPP& window = openPreview(writeSpool(spool));
        for (QToolButton* button : {window.cmdFirst, window.cmdPrev, window.cmdNext, window.cmdLast}) {
            button->click();
            QCOMPARE(shownPage(window), 1);
        }
        for (Qt::Key key : {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End}) {
            QTest::keyClick(&window, key);
            QCOMPARE(shownPage(window), 1);
        }
    }

    void scrollBarsReachOverThePage_data() {
        QTest::addColumn<int>("paper");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("canvas"); // pixels
        QTest::newRow("letter portrait, small window") << 1 << 1 << QSize(500, 400) << QSize(816, 1008);
        QTest::newRow("letter portrait, wide window") << 1 << 1 << QSize(1000, 700) << QSize(816, 1008);
        QTest::newRow("legal landscape") << 2 << 2 << QSize(1000, 700) << QSize(1344, 816);
        QTest::newRow("letter landscape, large window") << 1 << 2 << QSize(1200, 1000) << QSize(1056, 816);
    }
    void scrollBarsReachOverThePage() {
        QFETCH(int, paper);
        QFETCH(int, orientation);
        QFETCH(QSize, window);
        QFETCH(QSize, canvas);
        TestHome home;
        SpoolFixture spool;
        spool.header(QStringLiteral("Book Listing"), orientation, paper);
        spool.end();
        frmPP& preview = openPreview(writeSpool(spool));
        preview.showNormal();
        preview.resize(window);
        QCOMPARE(preview.size(), window);

        // The viewport is 600 twips narrower and 1350 lower than the window.
        QCOMPARE(preview.picPPshow->size(), window - QSize(40, 90));
        const QSize inner = preview.picPPshow->contentsRect().size();
        const struct {
            QScrollBar* bar;
            int canvas;
            int viewport;
        } axes[] = {{preview.hscBar, canvas.width(), inner.width()},
                    {preview.vscBar, canvas.height(), inner.height()}};
        for (const auto& axis : axes) {
            const int reach = axis.canvas - axis.viewport;
            QCOMPARE(axis.bar->minimum(), 0);
            QCOMPARE(axis.bar->maximum(), std::max(reach, 0));
            QCOMPARE(axis.bar->pageStep(), reach < 0 ? 1 : reach / 2);
            QCOMPARE(axis.bar->singleStep(), reach < 0 ? 1 : reach / 4);
        }
        QCOMPARE(preview.hscBar->geometry().top(), preview.picPPshow->geometry().bottom() + 1);
        QCOMPARE(preview.vscBar->geometry().left(), preview.picPPshow->geometry().right() + 1);
    }

    void arrowKeysScrollWithinTheBars() {
        TestHome home;
        SpoolFixture spool;
        spool.report(2, 3);
        frmPP& window = openPreview(writeSpool(spool));
        window.showNormal();
        window.resize(500, 400);
        const int hMax = window.hscBar->maximum();
        const int vMax = window.vscBar->maximum();
        QVERIFY(hMax > 0 && vMax > 0);

        QTest::keyClick(&window, Qt::Key_Right);
        QCOMPARE(window.ScrollPosition(), QPoint(hMax / 2, 0));
        QTest::keyClick(&window, Qt::Key_Down);
        QCOMPARE(window.ScrollPosition(), QPoint(hMax / 2, vMax / 2));
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(&window, Qt::Key_Right);
            QTest::keyClick(&window, Qt::Key_Down);
        }
        QCOMPARE(window.ScrollPosition(), QPoint(hMax, vMax));
        QCOMPARE(window.hscBar->value(), hMax);
        QTest::keyClick(&window, Qt::Key_Up);
        QCOMPARE(window.ScrollPosition(), QPoint(hMax, vMax - vMax / 2));
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(&window, Qt::Key_Left);
        QCOMPARE(window.ScrollPosition().x(), 0);

        // The bars move the view too, and a new page starts at the top-left corner again.
        window.vscBar->setValue(7);
        QCOMPARE(window.ScrollPosition(), QPoint(0, 7));
        window.cmdNext->click();
        QCOMPARE(window.ScrollPosition(), QPoint(0, 0));
        QCOMPARE(window.vscBar->value(), 0);

        // A page narrower than the viewport does not move sideways.
        window.resize(1000, 400);
        QCOMPARE(window.hscBar->maximum(), 0);
        QTest::keyClick(&window, Qt::Key_Right);
        QCOMPARE(window.ScrollPosition().x(), 0);
    }

    void windowKeepsItsMinimumSize() {
        TestHome home;
        SpoolFixture spool;
        spool.report(1, 1);
        frmPP& window = openPreview(writeSpool(spool));
        window.showNormal();
        window.resize(100, 100);
        QCOMPARE(window.size(), QSize(4000 / 15, 3500 / 15));
    }

    void everyCloseRemovesTheReportFile_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("Close button") << 0;
        QTest::newRow("close box") << 1;
        QTest::newRow("next report begins") << 2;
        QTest::newRow("another report is shown") << 3;
    }
    void everyCloseRemovesTheReportFile() {
        QFETCH(int, how);
        TestHome home;
        SpoolFixture spool;
        spool.report(2, 2);
        const QString path = writeSpool(spool);
        frmPP& window = openPreview(path);
        QVERIFY(QFile::exists(path));
        const QString next = writeSpool(spool, QStringLiteral("00036001.tmp"));
        switch (how) {
        case 0:
            window.cmdClose->click();
            break;
        case 1:
            window.close();
            break;
        case 2:
            ClosePreview();
            break;
        default:
            ShowPreview(next);
            break;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!QFile::exists(path));
        // Only the file of the window that closed goes.
        QVERIFY(QFile::exists(next));
        QCOMPARE(PreviewWindow() != nullptr, how == 3);
    }

    void saveCopiesTheReportWhichCloseThenRemoves() {
        TestHome home;
        const HomeGuard guard(home.path());
        SpoolFixture spool(QStringLiteral("pw"));
        spool.report(2, 2);
        const QString path = writeSpool(spool);
        const QString copy = home.file(QStringLiteral("spool.rpt"));
        QCOMPARE(ReportCopyPath(), copy);
        QFile old(copy);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older copy that is replaced");
        old.close();
        home.prompts().input(QStringLiteral("pw"));
        frmPP& window = openPreview(path);

        home.prompts().answer(PromptAnswer::No);
        window.cmdSave->click();
        home.prompts().answer(PromptAnswer::Yes);
        window.cmdSave->click();
        QCOMPARE(home.prompts().last().text, QStringLiteral("Save report to ") + copy + u'?');
        QCOMPARE(home.prompts().last().buttons, PromptButtons::YesNo);
        window.cmdClose->click();

        QVERIFY(!QFile::exists(path));
        QFile saved(copy);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), spool.bytes()); // byte for byte, still scrambled
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void aCopyThatFailsIsTold() {
        TestHome home;
        const HomeGuard guard(home.file(QStringLiteral("no such folder")));
        SpoolFixture spool;
        spool.report(1, 1);
        frmPP& window = openPreview(writeSpool(spool));
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        window.cmdSave->click();
        QCOMPARE(home.prompts().last().title, QStringLiteral("Error"));
        QVERIFY(home.prompts().last().text.contains(ReportCopyPath()));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void infoShowsTheHeader() {
        TestHome home;
        SpoolFixture spool;
        spool.report(3, 2, QStringLiteral("Books Lent Out"));
        frmPP& window = openPreview(writeSpool(spool));
        home.prompts().answerOk();
        window.cmdInfo->click();
        QCOMPARE(home.prompts().last().title, QCoreApplication::applicationName());
        QCOMPARE(home.prompts().last().buttons, PromptButtons::Ok);
        QCOMPARE(home.prompts().last().text,
                 QStringLiteral("/VERSION=1\r\n/PAPERSIZE=1\r\n/ORIENTATION=1\r\n"
                                "/REPORTNAME=Books Lent Out\r\n/CREATEDBY=ZKN\r\n"
                                "/CREATEDATE=12/24/2025\r\n/CREATETIME=10:00:00\r\n"
                                "/NOTE=\r\nPage Count=3"));
    }

    void scrambledReportsAskForThePassword_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("reportName");
        QTest::newRow("right password") << "SeCrEt"
                                        << "Book Cost Report";
        QTest::newRow("wrong password") << "guess"
                                        << "";
        QTest::newRow("no password") << ""
                                     << "";
    }
    void scrambledReportsAskForThePassword() {
        QFETCH(QString, typed);
        QFETCH(QString, reportName);
        TestHome home;
        SpoolFixture spool(QStringLiteral("secret"));
        spool.report(4, 2, QStringLiteral("Book Cost Report"));
        home.prompts().input(typed);
        frmPP& window = openPreview(writeSpool(spool));
        QCOMPARE(home.prompts().count(), 1);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Protected"));
        QCOMPARE(home.prompts().last().text,
                 QStringLiteral("This report is password protected.  Please enter password:"));
        QCOMPARE(Preview().Header().reportName, reportName);
        // The trailer is never scrambled: paging works whatever was typed.
        QCOMPARE(Preview().PageCount(), 4);
        window.cmdLast->click();
        QCOMPARE(shownPage(window), 4);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);

        // A report shown next that is not scrambled reads as text again.
        SpoolFixture plain;
        plain.report(1, 1, QStringLiteral("Book Listing"));
        ShowPreview(writeSpool(plain, QStringLiteral("00036002.tmp")));
        QCOMPARE(Preview().Header().reportName, QStringLiteral("Book Listing"));
        QCOMPARE(home.prompts().count(), 1);
    }

    void damagedReportsShowWhatTheyCan_data() {
        QTest::addColumn<QByteArray>("cut");     // the file up to the first occurrence of this
        QTest::addColumn<QByteArray>("replace"); // then this replaced...
        QTest::addColumn<QByteArray>("with");    // ...by this
        QTest::addColumn<int>("pages");
        QTest::newRow("no trailer") << QByteArray("/PAGEBYTEOFFSETS") << QByteArray() << QByteArray() << 3;
        QTest::newRow("no end marker") << QByteArray("/ENDOFREPORT") << QByteArray() << QByteArray() << 3;
        QTest::newRow("cut inside a command") << QByteArray("Title 3.2") << QByteArray() << QByteArray() << 3;
        QTest::newRow("more pages than positions") << QByteArray() << QByteArray("/PAGEBYTEOFFSETS\r\n3")
                                                   << QByteArray("/PAGEBYTEOFFSETS\r\n9") << 3;
        QTest::newRow("position past the end")
            << QByteArray() << QByteArray("\r\n1\r\n") << QByteArray("\r\n1\r\n999999\r\n") << 3;
        QTest::newRow("numbers that are not") << QByteArray() << QByteArray("/SETTAB\r\n1\r\n0.1")
                                              << QByteArray("/SETTAB\r\none\r\n0,1,2") << 3;
    }
    void damagedReportsShowWhatTheyCan() {
        QFETCH(QByteArray, cut);
        QFETCH(QByteArray, replace);
        QFETCH(QByteArray, with);
        QFETCH(int, pages);
        TestHome home;
        SpoolFixture spool;
        spool.report(3, 4);
        QByteArray bytes = spool.bytes();
        if (!cut.isEmpty())
            bytes.truncate(bytes.indexOf(cut));
        if (!replace.isEmpty())
            bytes.replace(bytes.lastIndexOf(replace), replace.size(), with);
        const QString path = SpoolFolder() + QStringLiteral("/00036000.tmp");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        frmPP& window = openPreview(path);
        QCOMPARE(Preview().PageCount(), pages);
        window.cmdLast->click();
        QCOMPARE(shownPage(window), pages);
        QVERIFY(hasInk(Preview().Canvas().image()));
        window.cmdFirst->click();
        QCOMPARE(shownPage(window), 1);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void aMissingReportFileIsToldAndNotShown() {
        TestHome home;
        home.prompts().answerOk();
        ShowPreview(SpoolFolder() + QStringLiteral("/00000001.tmp"));
        QVERIFY(!PreviewWindow());
        QCOMPARE(home.prompts().last().title, QStringLiteral("Error"));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void pageIsDrawnWhereTheFileSays() {
        TestHome home;
        SpoolFixture spool;
        spool.header(QStringLiteral("Book Listing"));
        spool.line(QStringLiteral("/SCREENONLY"));
        spool.lines({QStringLiteral("/BOX"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("7.9"),
                     QStringLiteral("10.5"), QStringLiteral("1")});
        spool.font(10);
        spool.setTab(3, QStringLiteral("7.8"), 3);
        spool.text(QStringLiteral("MMMM"), 3);
        spool.end();
        openPreview(writeSpool(spool));

        const QImage& page = Preview().Canvas().image();
        QCOMPARE(page.width(), kCanvasPixelsLetterWide);
        // Drawing on screen starts 45 twips (3 pixels) in from the page's edge.
        QVERIFY(isDark(page.pixel(3, 100)));
        QVERIFY(!isDark(page.pixel(1, 100)));
        QVERIFY(isDark(page.pixel(400, 3)));
        // The right-aligned text ends at its stop: 7.8 inches and 45 twips, pixel 751.8.
        int rightmost = -1;
        for (int x = 600; x < 758; ++x) {
            for (int y = 5; y < 20; ++y) {
                if (isDark(page.pixel(x, y)))
                    rightmost = x;
            }
        }
        QVERIFY2(rightmost >= 745 && rightmost <= 752, qPrintable(QString::number(rightmost)));
    }

    void printingWithoutAPrinterWritesThePagesToPdf() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        TestHome home;
        const NoPrinters noPrinters;
        SpoolFixture spool;
        spool.report(3, 5, QStringLiteral("Book Listing"));
        const QString path = writeSpool(spool);
        QList<QStringList> previewLines;
        for (qint64 offset : spool.offsets())
            previewLines.append(screenTexts(path, offset));

        const QString pdf = home.file(QStringLiteral("listing.pdf"));
        home.prompts().file(pdf);
        frmPP& window = openPreview(path);
        window.cmdPrint->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QCOMPARE(home.prompts().last().title, QStringLiteral("Print to PDF"));
        QVERIFY(!PreviewWindow());
        QVERIFY(!PrintingWindow());
        QVERIFY(!QFile::exists(path));
        QVERIFY(QFile::exists(pdf));
        for (int page = 1; page <= previewLines.size(); ++page) {
            const QString text = pdfPageText(pdf, page);
            qsizetype from = 0;
            for (const QString& line : previewLines.at(page - 1)) {
                from = text.indexOf(line, from);
                QVERIFY2(from >= 0, qPrintable(QStringLiteral("page %1 lacks %2").arg(page).arg(line)));
            }
        }
        QVERIFY(pdfPageText(pdf, 4).isEmpty());
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void printingStopsWhenCancelled() {
        TestHome home;
        const NoPrinters noPrinters;
        SpoolFixture spool;
        spool.report(3, 5);
        const QString path = writeSpool(spool);
        const QString pdf = home.file(QStringLiteral("cancelled.pdf"));
        home.prompts().file(pdf);
        frmPP& window = openPreview(path);
        QTimer::singleShot(0, [] {
            if (frmPrinting* printing = PrintingWindow())
                printing->cmdCancel->click();
        });
        window.cmdPrint->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(gReportCancelled);
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(!PreviewWindow());
        QVERIFY(!QFile::exists(path));
    }

    void noFileChosenLeavesThePreviewOpen() {
        TestHome home;
        const NoPrinters noPrinters;
        SpoolFixture spool;
        spool.report(1, 1);
        const QString path = writeSpool(spool);
        home.prompts().file(QString());
        frmPP& window = openPreview(path);
        window.cmdPrint->click();
        QVERIFY(PreviewWindow());
        QVERIFY(window.isVisible());
        QVERIFY(QFile::exists(path));
    }
};

TOMEKEEP_TEST(PreviewWindowTest);
#include "tst_preview.moc"
