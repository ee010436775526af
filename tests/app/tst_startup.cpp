#include "app/ProgressWindows.h"
#include "app/RecentCatalogues.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "main/BookListModel.h"
#include "main/SearchState.h"
#include "main/frmWizard.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QFile>
#include <QFileInfo>
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

    void commandLineFileOpensWhereItLies_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::newRow("spaces and any case, another folder") << "Some Folder/Garden Shed.SQLite"
                                                             << "catalogue"
                                                             << "Tomekeep (Garden Shed)";
        QTest::newRow("a named catalogue's own file") << "HOME.sqlite"
                                                      << "catalogue"
                                                      << "Tomekeep (HOME)";
        QTest::newRow("not a catalogue") << "notes.sqlite"
                                         << "junk"
                                         << "";
        QTest::newRow("no such file") << "Gone/Lost.sqlite"
                                      << "none"
                                      << "";
    }

    void commandLineFileOpensWhereItLies() {
        QFETCH(QString, file);
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        TestHome home;
        const QString path = home.file(file);
        if (kind == QStringLiteral("catalogue"))
            QVERIFY(home.makeCatalogueFile(path));
        if (kind == QStringLiteral("junk")) {
            QFile junk(path);
            QVERIFY(junk.open(QIODevice::WriteOnly));
            junk.write(QByteArray(3000, 'x'));
        }
        if (caption.isEmpty())
            home.prompts().answerOk();
        const std::unique_ptr<frmWizard> window = Main(path);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QVERIFY(!QFile::exists(home.file(QStringLiteral("BIBLIO.sqlite"))));
        if (caption.isEmpty()) {
            QVERIFY(!window);
            QCOMPARE(home.prompts().last().title, QStringLiteral("Error"));
            QVERIFY2(home.prompts().last().text.startsWith(
                         QStringLiteral("Tomekeep cannot open the book database '%1'.")
                             .arg(QFileInfo(file).completeBaseName())),
                     qPrintable(home.prompts().last().text));
            QCOMPARE(QFileInfo(path).size(), kind == QStringLiteral("junk") ? 3000 : 0);
            QVERIFY(!gConn.isOpen());
            return;
        }
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), caption);
        QCOMPARE(gConn.filePath(), path);
        QCOMPARE(window->ListModel().rowCount(), 1);
        // Only a named catalogue's own file becomes the catalogue the next plain start opens.
        const bool named = caption == QStringLiteral("Tomekeep (HOME)");
        QCOMPARE(GetSetting(QStringLiteral("DBName"), QStringLiteral("unset")),
                 named ? QStringLiteral("HOME") : QStringLiteral("unset"));
        QCOMPARE(gDBName, named ? QStringLiteral("HOME") : QStringLiteral("BIBLIO"));
        QCOMPARE(RecentCatalogues(), QStringList({path}));
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
