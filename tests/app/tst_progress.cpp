#include "app/ProgressWindows.h"
#include "support/TestMain.h"

class ProgressWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The bar fills one step at a time and stays full past the last step.
    void splashFillsOneStepAtATime() {
        StartSplash(u"Starting"_s, 1, 6);
        frmSplash* splash = SplashWindow();
        QVERIFY(splash && splash->isVisible());
        QCOMPARE(u"%1 %2"_s.arg(splash->Value()).arg(splash->lblStatus->text()), u"0 Starting"_s);
        SplashStep(u"Open database"_s);
        SplashStep(u"Update database"_s);
        QCOMPARE(u"%1 %2"_s.arg(splash->Value()).arg(splash->lblStatus->text()), u"2 Update database"_s);
        QCOMPARE(splash->FilledShare(), 2.0 / 6.0);
        const int full = splash->shpBackground->width();
        QCOMPARE(splash->shpForeground->width(), int(2.0 / 6.0 * full));
        for (int i = 0; i < 10; ++i)
            SplashStep(u"step %1"_s.arg(i));
        QCOMPARE(u"%1 %2 %3"_s.arg(splash->Value()).arg(splash->FilledShare()).arg(splash->lblStatus->text()),
                 u"6 1 step 9"_s);
        EndSplash();
        QCOMPARE(SplashWindow(), nullptr);
    }

    // A run over nothing does not fail. The window cannot be closed while the work runs; Cancel
    // leaves it up until the loop stops.
    void progressWindowRefusesToCloseUntilTheLoopStops() {
        StartProgress(u"Check database"_s, 1, 0);
        QVERIFY(ProgressWindow() && ProgressWindow()->FilledShare() == 0.0);
        ProgressStep(u"Check database"_s);
        QCOMPARE(ProgressWindow()->shpForeground->width(), 0);
        EndProgress();
        QVERIFY(gCancelled && !ProgressWindow());
        StartProgress(u"Check database"_s, 1, 50);
        frmProgress* window = ProgressWindow();
        QCOMPARE(window->height(), 1965 / 15);
        QVERIFY(!gCancelled && window->cmdCancel->isVisible() &&
                window->geometry().height() > window->cmdCancel->geometry().bottom());
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!window->close() && window->isVisible());
        int examined = 0;
        while (!gCancelled && examined < 50) {
            ++examined;
            if (examined == 10)
                QTest::mouseClick(window->cmdCancel, Qt::LeftButton);
            QVERIFY(ProgressWindow()->isVisible());
            ProgressStep(u"Check database"_s);
        }
        QVERIFY(examined == 10 && ProgressWindow()->CanClose());
        EndProgress();
        QCOMPARE(ProgressWindow(), nullptr);
    }
};

TOMEKEEP_TEST(ProgressWindowsTest);
#include "tst_progress.moc"
