#include "app/RecentCatalogues.h"
#include "app/Settings.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "main/BookListModel.h"
#include "main/BookTestData.h"
#include "main/SearchState.h"
#include "main/frmWizard.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace {

const QString kPrompt = QStringLiteral("Enter the name of the book database to open or create.  "
                                       "(Note: 'BIBLIO' is the standard database):");

} // namespace

class SwitchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typedNameIsCleanedAndOpened_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("name");
        QTest::newRow("blank and lower case") << "home library"
                                              << "HOMELIBRARY";
        QTest::newRow("punctuation dropped") << "home-lib 2"
                                             << "HOMELIB2";
        QTest::newRow("nothing left is the standard") << "-*-"
                                                      << "BIBLIO";
        QTest::newRow("the open one again") << "biblio"
                                            << "BIBLIO";
    }

    void typedNameIsCleanedAndOpened() {
        QFETCH(QString, typed);
        QFETCH(QString, name);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        AddTestBook(QStringLiteral("Only in BIBLIO"));
        const auto window = OpenMainWindow();
        home.prompts().input(typed).answerOk();
        window->mnuFileOpen->trigger();
        QCOMPARE(home.prompts().records().first().title, QStringLiteral("Open Book Database"));
        QCOMPARE(home.prompts().records().first().text, kPrompt);
        QCOMPARE(home.prompts().lastInitialText(), QStringLiteral("BIBLIO"));
        QCOMPARE(home.prompts().last().title, QStringLiteral("Tomekeep"));
        QCOMPARE(home.prompts().last().text, u'\'' + name + QStringLiteral("' database opened."));
        QCOMPARE(GetSetting(QStringLiteral("DBName")), name);
        QCOMPARE(gDBName, name);
        QCOMPARE(window->windowTitle(), QStringLiteral("Tomekeep (%1)").arg(name));
        QVERIFY(QFile::exists(home.file(name + QStringLiteral(".sqlite"))));
        const bool same = name == QStringLiteral("BIBLIO");
        QCOMPARE(window->ListModel().rowCount(), same ? 2 : 1);
        QCOMPARE(window->txtTitle->text(),
                 same ? QStringLiteral("Only in BIBLIO") : QStringLiteral("Sample Book #1"));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void catalogueFileMatchesWhateverItsCase() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        AddTestBook(QStringLiteral("Only in mybooks"));
        gConn.close();
        QVERIFY(QFile::rename(home.file(QStringLiteral("BIBLIO.sqlite")),
                              home.file(QStringLiteral("mybooks.sqlite"))));
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        home.prompts().input(QStringLiteral("mybooks")).answerOk();
        window->mnuFileOpen->trigger();
        QCOMPARE(home.prompts().last().text, QStringLiteral("'MYBOOKS' database opened."));
        QCOMPARE(window->ListModel().rowCount(), 2);
        QVERIFY(!QFile::exists(home.file(QStringLiteral("MYBOOKS.sqlite"))));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void emptyAnswerChangesNothing() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        home.prompts().input(QString());
        window->mnuFileOpen_Click();
        QCOMPARE(home.prompts().count(), 1);
        QCOMPARE(GetSetting(QStringLiteral("DBName"), QStringLiteral("unset")), QStringLiteral("unset"));
        QVERIFY(gConn.isOpen());
        QCOMPARE(window->ListModel().rowCount(), 1);
    }

    void unsavedBookKeptOnNoStopsTheSwitch() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        window->cboLocation->setEditText(QStringLiteral("Attic"));
        home.prompts().answer(PromptAnswer::No);
        window->mnuFileOpen_Click();
        QCOMPARE(home.prompts().texts(), QStringList({"Location 'Attic' does not exist.  Add it?"}));
        QCOMPARE(gDBName, QStringLiteral("BIBLIO"));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void failedSwitchGoesBackToTheOpenCatalogue() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        StoreListSort({BookListModel::ColYear, Qt::DescendingOrder});
        const auto window = OpenMainWindow();
        {
            QFile broken(home.file(QStringLiteral("BROKEN.sqlite")));
            QVERIFY(broken.open(QIODevice::WriteOnly));
            broken.write(QByteArray(4096, 'x'));
        }
        home.prompts().input(QStringLiteral("broken")).answerOk();
        window->mnuFileOpen_Click();
        QCOMPARE(home.prompts().count(), 2);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Error"));
        QVERIFY2(home.prompts().last().text.startsWith(QStringLiteral("Error 26 (")),
                 qPrintable(home.prompts().last().text));
        QCOMPARE(gDBName, QStringLiteral("BIBLIO"));
        QCOMPARE(GetSetting(QStringLiteral("DBName")), QStringLiteral("BIBLIO"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Tomekeep (BIBLIO)"));
        QVERIFY(gConn.isOpen());
        QCOMPARE(window->ListModel().rowCount(), 1);
        QCOMPARE(window->ListModel().sortColumn(), int(BookListModel::ColYear));
        QVERIFY(window->txtTitle->isEnabled());
        window->txtTitle->setText(QStringLiteral("Still editable"));
        QVERIFY(window->SaveCurrentBook());
        QCOMPARE(StoredColumn(1, QStringLiteral("Title")).toString(), QStringLiteral("Still editable"));
        QCOMPARE(QFile(home.file(QStringLiteral("BROKEN.sqlite"))).size(), 4096);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void activeSearchCarriesOverToTheNewCatalogue() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        AddTestBook(QStringLiteral("Zebra Crossing"));
        gSearchMode = kSearchTitle;
        gSearchTitle = QStringLiteral("zebra*");
        const auto window = OpenMainWindow();
        QCOMPARE(ListedTitles(window->ListModel()), QStringList({"Zebra Crossing"}));
        home.prompts().input(QStringLiteral("other")).answer(PromptAnswer::No).answerOk();
        window->mnuFileOpen_Click();
        QCOMPARE(home.prompts().texts().mid(1),
                 QStringList({"Your search no longer finds any Books.  Clear your search?",
                              "'OTHER' database opened."}));
        QCOMPARE(gSearchMode, int(kSearchTitle));
        QCOMPARE(window->ListModel().rowCount(), 0);
        QVERIFY(!window->txtTitle->isEnabled());
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void openCatalogueFileFromTheDialog_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("catalogue");
        QTest::newRow("any folder, spaces, any case") << "Elsewhere/garden Shed.sqlite" << true;
        QTest::newRow("not a catalogue") << "Elsewhere/Shopping List.sqlite" << false;
    }

    void openCatalogueFileFromTheDialog() {
        QFETCH(QString, file);
        QFETCH(bool, catalogue);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const QString path = home.file(file);
        if (catalogue) {
            QVERIFY(home.makeCatalogueFile(path));
        } else {
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            QFile junk(path);
            QVERIFY(junk.open(QIODevice::WriteOnly));
            junk.write("milk, eggs");
        }
        const auto window = OpenMainWindow();
        AddTestBook(QStringLiteral("Only in BIBLIO"));
        window->PopulateLstMain();
        home.prompts().file(path);
        if (!catalogue)
            home.prompts().answerOk();
        window->activateWindow();
        QTRY_VERIFY(window->isActiveWindow());
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QVERIFY(home.prompts().count() > 0);
        QCOMPARE(home.prompts().records().first().title, QStringLiteral("Open Catalogue File"));
        QCOMPARE(home.prompts().lastStartPath(), home.path());
        QCOMPARE(window->windowTitle(),
                 catalogue ? QStringLiteral("Tomekeep (garden Shed)") : QStringLiteral("Tomekeep (BIBLIO)"));
        QCOMPARE(window->ListModel().rowCount(), catalogue ? 1 : 2);
        QCOMPARE(RecentCatalogues(), catalogue ? QStringList({path}) : QStringList());
        // The next plain start still opens the named catalogue.
        QCOMPARE(gDBName, QStringLiteral("BIBLIO"));
        QCOMPARE(GetSetting(QStringLiteral("DBName"), QStringLiteral("BIBLIO")), QStringLiteral("BIBLIO"));
        if (!catalogue) {
            QCOMPARE(home.prompts().last().title, QStringLiteral("Error"));
            QCOMPARE(QFileInfo(path).size(), 10);
        }
        // The name-based File, Open goes back to the data folder's catalogues.
        home.prompts().input(QStringLiteral("biblio")).answerOk();
        window->mnuFileOpen->trigger();
        QCOMPARE(window->windowTitle(), QStringLiteral("Tomekeep (BIBLIO)"));
        QCOMPARE(gConn.filePath(), home.file(QStringLiteral("BIBLIO.sqlite")));
    }

    void recentCataloguesNewestFirstAndForgetMissingOnes() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        for (int i = 0; i < kRecentCataloguesKept + 2; ++i)
            RememberRecentCatalogue(home.file(QStringLiteral("old %1.sqlite").arg(i)));
        QCOMPARE(RecentCatalogues().size(), kRecentCataloguesKept);
        QCOMPARE(RecentCatalogues().first(),
                 home.file(QStringLiteral("old %1.sqlite").arg(kRecentCataloguesKept + 1)));
        const QString first = home.file(QStringLiteral("A & B/First.sqlite"));
        const QString second = home.file(QStringLiteral("Second.sqlite"));
        QVERIFY(home.makeCatalogueFile(first));
        QVERIFY(home.makeCatalogueFile(second));
        const auto window = OpenMainWindow();
        for (const QString& file : {first, second, first})
            window->OpenCatalogueFile(file);
        QCOMPARE(RecentCatalogues().mid(0, 2), QStringList({first, second}));
        QCOMPARE(RecentCatalogues().size(), kRecentCataloguesKept);
        const QList<QAction*> entries = window->mnuFileRecent->actions();
        QCOMPARE(entries.size(), kRecentCataloguesKept);
        QCOMPARE(entries[0]->text(),
                 QStringLiteral("&1 ") + QString(first).replace(u'&', QStringLiteral("&&")));

        entries[1]->trigger();
        QCOMPARE(window->windowTitle(), QStringLiteral("Tomekeep (Second)"));
        QVERIFY(QFile::remove(first));
        home.prompts().answerOk();
        window->mnuFileRecent->actions()[1]->trigger();
        QCOMPARE(home.prompts().last().text,
                 QStringLiteral("'%1' is no longer there; it has been taken off the recent catalogues.")
                     .arg(first));
        QCOMPARE(window->windowTitle(), QStringLiteral("Tomekeep (Second)"));
        QVERIFY(gConn.isOpen());
        QVERIFY(!RecentCatalogues().contains(first));
        QCOMPARE(window->mnuFileRecent->actions().size(), kRecentCataloguesKept - 1);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }
};

TOMEKEEP_TEST(SwitchTest);
#include "tst_switch.moc"
