#include "app/Leftovers.h"
#include "app/Paths.h"
#include "app/Placement.h"
#include "app/ProgressWindows.h"
#include "app/RecentCatalogues.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "main/BookListModel.h"
#include "main/SearchState.h"
#include "main/frmWizard.h"
#include "support/ReadOnlyAccess.h"
#include "support/TestHome.h"

class StartupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A plain start opens the stored catalogue, its name cleaned first, and creates it on the first
    // run; a file given on the command line is opened where it lies, or refused and left alone.
    void startUpOpensTheCatalogue_data() {
        AddColumns<QString, QString, QString, QString>("stored", "file", "kind", "caption");
        AddRow("first run", QString(), "", "", "Tomekeep (BIBLIO)");
        AddRow("name cleaned", " home-lib 2 ", "", "", "Tomekeep (HOMELIB2)");
        AddRow("name cut to a valid file name", QString(10000, u'x'), "", "",
               u"Tomekeep (%1)"_s.arg(QString(kMaxCatalogueNameLength, u'X')));
        AddRow("spaces and any case, another folder", QString(), "Some Folder/Garden Shed.SQLite",
               "catalogue", "Tomekeep (Garden Shed)");
        AddRow("a named catalogue's own file", QString(), "HOME.sqlite", "catalogue", "Tomekeep (HOME)");
        AddRow("not a catalogue", QString(), "notes.sqlite", "junk", "");
        AddRow("no such file", QString(), "Gone/Lost.sqlite", "none", "");
    }

    void startUpOpensTheCatalogue() {
        const auto [stored, file, kind, caption] =
            FetchColumns<QString, QString, QString, QString>("stored", "file", "kind", "caption");
        CheckedHome home;
        if (!stored.isNull())
            SaveSetting(u"DBName"_s, stored);
        gSearchMode = kSearchNotes;
        const QString path = file.isEmpty() ? QString() : home.file(file);
        if (kind == u"catalogue"_s)
            QVERIFY(home.makeCatalogueFile(path));
        if (kind == u"junk"_s)
            WriteFile(path, QByteArray(3000, 'x'));
        if (caption.isEmpty())
            home.prompts().answerOk();
        const std::unique_ptr<frmWizard> window = Main(path);
        if (caption.isEmpty()) {
            QVERIFY(!window && !gConn.isOpen() && !QFile::exists(home.file(u"BIBLIO.sqlite"_s)));
            const QString told = home.prompts().lastShown();
            // A file that is not a catalogue is told with the engine's own error.
            QVERIFY2(told.startsWith(u"Error: Tomekeep cannot open the book database '%1'."_s.arg(
                         QFileInfo(file).completeBaseName())) &&
                         told.contains(u"Error 26 ("_s) == (kind == u"junk"_s),
                     qPrintable(told));
            QCOMPARE(QFileInfo(path).size(), kind == u"junk"_s ? 3000 : 0);
            return;
        }
        QVERIFY(!SplashWindow() && window && window->isVisible() && window->ListModel().rowCount() == 1);
        QVERIFY(gSearchMode == kSearchAll);
        QCOMPARE(window->windowTitle(), caption);
        if (path.isEmpty()) {
            QVERIFY(QFile::exists(home.file(caption.mid(10).chopped(1) + u".sqlite")));
            return;
        }
        QVERIFY(gConn.filePath() == path && !QFile::exists(home.file(u"BIBLIO.sqlite"_s)));
        // Only a named catalogue's own file becomes the catalogue the next plain start opens.
        const bool named = caption == u"Tomekeep (HOME)"_s;
        QCOMPARE(GetSetting(u"DBName"_s, u"unset"_s) + u' ' + gDBName,
                 named ? u"HOME HOME"_s : u"unset BIBLIO"_s);
        QCOMPARE(RecentCatalogues(), QStringList({path}));
    }

    void readOnlyCatalogueIsShownButNeverWritten() {
        FRESH_CHECKED_HOME(home);
        gConn.close();
        const ReadOnlyAccess readOnly(home.file(u"BIBLIO.sqlite"_s), home.path());
        home.prompts().answerOk();
        const std::unique_ptr<frmWizard> window = Main();
        QVERIFY2(window, qPrintable(home.prompts().texts().join(u'|')));
        QCOMPARE(window->windowTitle(), u"Tomekeep (BIBLIO) - read-only"_s);
        QCOMPARE(home.prompts().last().text,
                 u"The book database 'BIBLIO' is read-only: its books can be looked at but not changed."_s);
        QCOMPARE(window->txtTitle->text(), u"Sample Book #1"_s);
        QVERIFY(gConn.isReadOnly() && window->txtTitle->isReadOnly() &&
                !window->mnuToolsImport->isEnabled() && !window->cboSubject->isEnabled() &&
                !window->cmdAddBook->isEnabled() && !window->cmdAddAward->isEnabled());
        QTest::keyClicks(window->txtTitle, u"x"_s);
        QVERIFY(!window->IsDirty() && window->SaveCurrentBook());
    }

    // File, Exit, Esc and the Close button ask the same question: No and Cancel leave the program
    // running; only Yes closes it, saving the window's state and its placement in twips.
    void exitAsksAndOnlyYesCloses() {
        TestHome home;
        const std::unique_ptr<frmWizard> window = Main();
        QVERIFY(window);
        window->activateWindow();
        QTRY_VERIFY(window->isActiveWindow());
        window->setGeometry(150, 120, 800, 600);
        home.prompts().answer(PromptAnswer::No).answer(PromptAnswer::Cancel).answer(PromptAnswer::No);
        window->mnuFileExit_Click();
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QTest::mouseClick(window->cmdClose, Qt::LeftButton);
        QCOMPARE(home.prompts().texts(), QStringList(3, u"Exit Tomekeep?"_s));
        QVERIFY(window->isVisible() && gConn.isOpen());
        QCOMPARE(GetSetting(u"frmWizard.WindowState"_s, u"unset"_s), u"unset"_s);
        home.prompts().answer(PromptAnswer::Yes);
        window->mnuFileExit_Click();
        QCOMPARE(home.prompts().lastShown(), u"Tomekeep: Exit Tomekeep?"_s);
        QVERIFY(home.prompts().last().buttons == PromptButtons::YesNoCancel && !window->isVisible() &&
                !gConn.isOpen());
        QCOMPARE(GetSetting(u"frmWizard.WindowState"_s), u"0"_s);
        const auto stored = [](const QString& key) {
            return GetNumericSetting(u"frmWizard."_s + key, -1);
        };
        QCOMPARE(QRect(stored(u"Left"_s), stored(u"Top"_s), stored(u"Width"_s), stored(u"Height"_s)),
                 QRect(window->frameGeometry().topLeft() * 15, window->frameGeometry().size() * 15));
    }

    void placementIsKeptOnScreen_data() {
        AddColumns<QRect, QRect>("saved", "restored");
        // Two screens side by side: 1920 x 1040 available, then 1280 x 1024 to its right.
        QTest::newRow("inside the first") << QRect(100, 80, 900, 700) << QRect(100, 80, 900, 700);
        QTest::newRow("on the second") << QRect(2000, 100, 800, 600) << QRect(2000, 100, 800, 600);
        AddRow("hanging off the right edge", QRect(3000, 100, 800, 600), QRect(2400, 100, 800, 600));
        QTest::newRow("mostly on the second") << QRect(1800, 50, 800, 600) << QRect(1920, 50, 800, 600);
        QTest::newRow("above the top") << QRect(100, -300, 900, 700) << QRect(100, 0, 900, 700);
        QTest::newRow("a screen that is gone") << QRect(5000, 3000, 800, 600) << QRect(1120, 440, 800, 600);
        QTest::newRow("larger than the screen") << QRect(-50, -50, 2500, 1200) << QRect(0, 0, 1920, 1040);
    }
    void placementIsKeptOnScreen() {
        const auto [saved, restored] = FetchColumns<QRect, QRect>("saved", "restored");
        const QList<QRect> screens{QRect(0, 0, 1920, 1040), QRect(1920, 0, 1280, 1024)};
        QCOMPARE(KeptOnScreen(saved, screens), restored);
    }

    void windowOpensWhereItWasClosed_data() {
        QTest::addColumn<QString>("state");
        QTest::newRow("normal") << "0";
        QTest::newRow("maximised") << "2";
        QTest::newRow("minimised opens normal") << "1";
    }
    // The close box shuts down without a question. A maximised or minimised window keeps only its
    // state: the placement it had stays for when it is shown normal again.
    void windowOpensWhereItWasClosed() {
        QFETCH(QString, state);
        TestHome home;
        QRect placed;
        {
            const std::unique_ptr<frmWizard> window = Main();
            QVERIFY(window);
            // The editor is wider than the test screen leaves room for beside a left offset.
            window->move(0, 40);
            window->resize(720, 520);
            placed = window->frameGeometry();
            window->close();
            QVERIFY(home.prompts().count() == 0 && !gConn.isOpen());
        }
        if (state != u"0"_s) {
            const std::unique_ptr<frmWizard> window = Main();
            QVERIFY(window);
            window->move(0, 80);
            window->setWindowState(state == u"2"_s ? Qt::WindowMaximized : Qt::WindowMinimized);
            QTRY_VERIFY(window->isMaximized() || window->isMinimized());
            // A placement saved under another name is kept apart.
            SaveFormPlacement(*window, u"Other"_s);
            QCOMPARE(GetSetting(u"Other.WindowState"_s), state);
            window->close();
        }
        QCOMPARE(GetSetting(u"frmWizard.WindowState"_s), state);
        const std::unique_ptr<frmWizard> window = Main();
        QVERIFY(window);
        QTRY_COMPARE(int(window->windowState() & ~Qt::WindowActive),
                     state == u"2"_s ? int(Qt::WindowMaximized) : 0);
        window->showNormal();
        QTRY_COMPARE(window->frameGeometry(), placed);
    }

    // Help and version are printed where no window can open.
    void informationNeedsNoDisplay() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(display));
        for (const auto& [option, printed] :
             {std::pair{"--help", "Tomekeep keeps the catalogue"}, std::pair{"--version", "Tomekeep 1."}}) {
            QProcess program;
            program.setProcessEnvironment(environment);
            program.start(QStringLiteral(TOMEKEEP_PROGRAM), {QString::fromLatin1(option)});
            QVERIFY(program.waitForFinished(30000) && program.exitStatus() == QProcess::NormalExit &&
                    program.exitCode() == 0);
            QVERIFY2(
                QString::fromLocal8Bit(program.readAllStandardOutput()).contains(QString::fromUtf8(printed)),
                option);
        }
    }

    // What killed runs left is removed at start-up, unless another program runs and may own it.
    void leftoversAreRemovedWhenNoOtherProgramRuns_data() {
        AddColumns<QString, bool>("otherProgram", "removed");
        QTest::newRow("none") << "" << true;
        QTest::newRow("running") << "running" << false;
        QTest::newRow("killed") << "killed" << true;
    }

    void leftoversAreRemovedWhenNoOtherProgramRuns() {
        const auto [otherProgram, removed] = FetchColumns<QString, bool>("otherProgram", "removed");
        TestHome home;
        const QString spool = SpoolFolder();
        const QStringList leftovers = {home.file(u"BIBLIO.a1B2c3.creating"_s),
                                       home.file(u"BIBLIO.a1B2c3.creating-journal"_s),
                                       spool + u"/00036000.tmp"_s};
        const QStringList kept = {home.file(u"BIBLIO.sqlite"_s), spool + u"/notes.tmp"_s,
                                  spool + u"/123.tmp"_s};
        for (const QString& file : leftovers + kept)
            WriteFile(file, "x");
        QLockFile running(spool + u"/tomekeep-1.lock"_s);
        const QString killed = spool + u"/tomekeep-2.lock"_s;
        if (otherProgram == u"running"_s)
            QVERIFY(running.tryLock(0));
        // A mark left under a number above Linux's limit for process numbers: its program has ended.
        if (otherProgram == u"killed"_s)
            WriteFile(killed, u"4194305\ntomekeep\n%1\n"_s.arg(QSysInfo::machineHostName()).toUtf8());
        {
            const RunningProgram program;
            QVERIFY(program.registered());
            for (const QString& file : leftovers)
                QVERIFY2(QFile::exists(file) != removed, qPrintable(file));
            for (const QString& file : kept)
                QVERIFY2(QFile::exists(file), qPrintable(file));
            QVERIFY(!QFile::exists(killed));
        }
        QCOMPARE(QDir(spool).entryList({u"tomekeep-*.lock"_s}, QDir::Files).size(),
                 otherProgram == u"running"_s ? 1 : 0);
    }
};

TOMEKEEP_TEST(StartupTest);
#include "tst_startup.moc"
