#include "app/Placement.h"
#include "app/ProgressWindows.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "main/SearchState.h"
#include "main/frmWizard.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QFile>
#include <QPushButton>
#include <QTest>

class StartupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstRunCreatesTheCatalogueAndShowsTheWindow() {
        TestHome home;
        gSearchMode = kSearchNotes;
        const std::unique_ptr<frmWizard> window = Main();
        QVERIFY(window);
        QCOMPARE(gSearchMode, int(kSearchAll));
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Tomekeep (BIBLIO)"));
        QVERIFY(QFile::exists(home.file(QStringLiteral("BIBLIO.sqlite"))));
        QVERIFY(gConn.isOpen());
        QCOMPARE(SplashWindow(), nullptr);
        QCOMPARE(home.prompts().count(), 0);
    }

    void storedNameIsCleanedBeforeOpening() {
        TestHome home;
        SaveSetting(QStringLiteral("DBName"), QStringLiteral(" home-lib 2 "));
        const std::unique_ptr<frmWizard> window = Main();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Tomekeep (HOMELIB2)"));
        QVERIFY(QFile::exists(home.file(QStringLiteral("HOMELIB2.sqlite"))));
    }

    void fileThatIsNotACatalogueEndsStartupWithTheError() {
        TestHome home;
        const QString path = home.file(QStringLiteral("BIBLIO.sqlite"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(3000, 'x'));
        }
        home.prompts().answerOk();
        const std::unique_ptr<frmWizard> window = Main();
        QVERIFY(!window);
        QCOMPARE(home.prompts().count(), 1);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Error"));
        QVERIFY2(home.prompts().last().text.contains(QStringLiteral("Error 26 (")),
                 qPrintable(home.prompts().last().text));
        QVERIFY(home.prompts().last().text.contains(QStringLiteral("'BIBLIO'")));
        QCOMPARE(QFile(path).size(), 3000);
        QVERIFY(!gConn.isOpen());
        QCOMPARE(SplashWindow(), nullptr);
    }

    void exitAsksAndOnlyYesCloses_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("yes") << int(PromptAnswer::Yes) << true;
        QTest::newRow("no") << int(PromptAnswer::No) << false;
        QTest::newRow("cancel") << int(PromptAnswer::Cancel) << false;
    }

    void exitAsksAndOnlyYesCloses() {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        TestHome home;
        const std::unique_ptr<frmWizard> window = Main();
        QVERIFY(window);
        home.prompts().answer(PromptAnswer(answer));
        window->mnuFileExit_Click();
        QCOMPARE(home.prompts().last().title, QStringLiteral("Tomekeep"));
        QCOMPARE(home.prompts().last().text, QStringLiteral("Exit Tomekeep?"));
        QCOMPARE(home.prompts().last().buttons, PromptButtons::YesNoCancel);
        QCOMPARE(window->isVisible(), !closes);
        QCOMPARE(gConn.isOpen(), !closes);
        QCOMPARE(GetSetting(QStringLiteral("frmWizard.WindowState"), QStringLiteral("unset")),
                 closes ? QStringLiteral("0") : QStringLiteral("unset"));
    }

    void escapeAndCloseButtonAskTheSameQuestion() {
        TestHome home;
        const std::unique_ptr<frmWizard> window = Main();
        QVERIFY(window);
        window->activateWindow();
        QTRY_VERIFY(window->isActiveWindow());
        home.prompts().answer(PromptAnswer::No).answer(PromptAnswer::No);
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QTest::mouseClick(window->cmdClose, Qt::LeftButton);
        QCOMPARE(home.prompts().texts(),
                 QStringList({QStringLiteral("Exit Tomekeep?"), QStringLiteral("Exit Tomekeep?")}));
        QVERIFY(window->isVisible());
    }

    void closeBoxShutsDownWithoutAsking() {
        TestHome home;
        const std::unique_ptr<frmWizard> window = Main();
        QVERIFY(window);
        window->setGeometry(150, 120, 800, 600);
        window->close();
        QCOMPARE(home.prompts().count(), 0);
        QVERIFY(!gConn.isOpen());
        QCOMPARE(GetSetting(QStringLiteral("frmWizard.WindowState")), QStringLiteral("0"));
        const QRect frame = window->frameGeometry();
        QCOMPARE(GetSetting(QStringLiteral("frmWizard.Left")), QString::number(frame.left() * 15));
        QCOMPARE(GetSetting(QStringLiteral("frmWizard.Top")), QString::number(frame.top() * 15));
        QCOMPARE(GetSetting(QStringLiteral("frmWizard.Width")), QString::number(frame.width() * 15));
        QCOMPARE(GetSetting(QStringLiteral("frmWizard.Height")), QString::number(frame.height() * 15));
    }

    void maximisedExitWritesOnlyTheState() {
        TestHome home;
        SaveSetting(QStringLiteral("frmWizard.Top"), QStringLiteral("999"));
        const std::unique_ptr<frmWizard> window = Main();
        QVERIFY(window);
        window->showMaximized();
        QTRY_VERIFY(window->isMaximized());
        home.prompts().answer(PromptAnswer::Yes);
        window->mnuFileExit_Click();
        QCOMPARE(GetSetting(QStringLiteral("frmWizard.WindowState")), QStringLiteral("2"));
        QCOMPARE(GetSetting(QStringLiteral("frmWizard.Top")), QStringLiteral("999"));
        QCOMPARE(GetSetting(QStringLiteral("frmWizard.Left"), QStringLiteral("unset")),
                 QStringLiteral("unset"));
    }

    void placementIsKeptOnScreen_data() {
        QTest::addColumn<QRect>("saved");
        QTest::addColumn<QRect>("restored");
        // Two screens side by side: 1920 x 1040 available, then 1280 x 1024 to its right.
        QTest::newRow("inside the first") << QRect(100, 80, 900, 700) << QRect(100, 80, 900, 700);
        QTest::newRow("on the second") << QRect(2000, 100, 800, 600) << QRect(2000, 100, 800, 600);
        QTest::newRow("hanging off the right edge")
            << QRect(3000, 100, 800, 600) << QRect(2400, 100, 800, 600);
        QTest::newRow("mostly on the second") << QRect(1800, 50, 800, 600) << QRect(1920, 50, 800, 600);
        QTest::newRow("above the top") << QRect(100, -300, 900, 700) << QRect(100, 0, 900, 700);
        QTest::newRow("a screen that is gone") << QRect(5000, 3000, 800, 600) << QRect(1120, 440, 800, 600);
        QTest::newRow("larger than the screen") << QRect(-50, -50, 2500, 1200) << QRect(0, 0, 1920, 1040);
    }
    void placementIsKeptOnScreen() {
        QFETCH(QRect, saved);
        QFETCH(QRect, restored);
        const QList<QRect> screens{QRect(0, 0, 1920, 1040), QRect(1920, 0, 1280, 1024)};
        QCOMPARE(KeptOnScreen(saved, screens), restored);
    }

    void windowOpensWhereItWasClosed_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("maximised");
        QTest::newRow("normal") << "0" << false;
        QTest::newRow("maximised") << "2" << true;
        QTest::newRow("minimised opens normal") << "1" << false;
    }
    void windowOpensWhereItWasClosed() {
        QFETCH(QString, state);
        QFETCH(bool, maximised);
        TestHome home;
        QRect placed;
        {
            const std::unique_ptr<frmWizard> window = Main();
            QVERIFY(window);
            window->move(20, 10);
            window->resize(720, 560);
            placed = window->frameGeometry();
            window->close();
        }
        SaveSetting(QStringLiteral("frmWizard.WindowState"), state);
        const std::unique_ptr<frmWizard> window = Main();
        QVERIFY(window);
        QTRY_COMPARE(window->isMaximized(), maximised);
        if (!maximised)
            QCOMPARE(window->frameGeometry(), placed);
        window->showNormal();
        QTRY_COMPARE(window->frameGeometry(), placed);
    }

    void minimisedPlacementWritesOnlyTheState() {
        TestHome home;
        QWidget window;
        window.setObjectName(QStringLiteral("frmWizard"));
        window.show();
        window.setWindowState(Qt::WindowMinimized);
        SaveFormPlacement(window, QString());
        QCOMPARE(GetSetting(QStringLiteral("frmWizard.WindowState")), QStringLiteral("1"));
        QCOMPARE(GetSetting(QStringLiteral("frmWizard.Width"), QStringLiteral("unset")),
                 QStringLiteral("unset"));
        SaveFormPlacement(window, QStringLiteral("Other"));
        QCOMPARE(GetSetting(QStringLiteral("Other.WindowState")), QStringLiteral("1"));
    }

    void engineCheckPassesWhenTheDriverIsThere() {
        TestHome home;
        QVERIFY(CheckDataAccess());
        QCOMPARE(home.prompts().count(), 0);
    }
};

TOMEKEEP_TEST(StartupTest);
#include "tst_startup.moc"
