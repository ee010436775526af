#include "app/RecentCatalogues.h"
#include "app/Settings.h"
#include "db/Catalogue.h"
#include "main/BookTestData.h"

class SwitchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typedNameIsCleanedAndOpened_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file"); // the catalogue file opened
        AddRow("blank and lower case", "home library", "HOMELIBRARY", "HOMELIBRARY.sqlite");
        AddRow("punctuation dropped", "home-lib 2", "HOMELIB2", "HOMELIB2.sqlite");
        AddRow("nothing left is the standard", "-*-", "BIBLIO", "BIBLIO.sqlite");
        AddRow("the open one again", "biblio", "BIBLIO", "BIBLIO.sqlite");
        AddRow("a file of another case", "mybooks", "MYBOOKS", "mybooks.sqlite");
    }

    void typedNameIsCleanedAndOpened() {
        QFETCH(QString, typed);
        QFETCH(QString, name);
        QFETCH(QString, file);
        FRESH_CHECKED_HOME(home);
        AddTestBook(u"Added before the switch"_s);
        // A copy of the open catalogue under a name in another letter case.
        if (file == u"mybooks.sqlite"_s) {
            gConn.close();
            QVERIFY(QFile::copy(home.file(u"BIBLIO.sqlite"_s), home.file(file)));
            QVERIFY(OpenDatabase());
        }
        const auto window = OpenMainWindow();
        home.prompts().input(typed).answerOk();
        window->mnuFileOpen->trigger();
        QCOMPARE(home.prompts().records().first().title + u": " + home.prompts().records().first().text,
                 u"Open Book Database: Enter the name of the book database to open or create.  "
                 "(Note: 'BIBLIO' is the standard database):"_s);
        QCOMPARE(home.prompts().lastInitialText(), u"BIBLIO"_s);
        QCOMPARE(home.prompts().lastShown(), u"Tomekeep: '%1' database opened."_s.arg(name));
        // The stored name, the name in use, the window's caption and the file open.
        QCOMPARE(QStringList({GetSetting(u"DBName"_s), gDBName, window->windowTitle(), gConn.filePath()}),
                 QStringList({name, name, u"Tomekeep (%1)"_s.arg(name), home.file(file)}));
        const bool added = name == u"BIBLIO"_s || file == u"mybooks.sqlite"_s;
        QCOMPARE(QString::number(window->ListModel().rowCount()) + u'|' + window->txtTitle->text(),
                 added ? u"2|Added before the switch"_s : u"1|Sample Book #1"_s);
    }

    // An empty answer changes nothing; a lookup question answered No stops the switch before
    // the name is asked for; a file that is not a catalogue leaves the open one as it was.
    void failedSwitchGoesBackToTheOpenCatalogue() {
        FRESH_CHECKED_HOME(home);
        StoreListSort({BookListModel::ColYear, Qt::DescendingOrder});
        const auto window = OpenMainWindow();
        home.prompts().input(QString());
        window->mnuFileOpen_Click();
        QVERIFY(home.prompts().count() == 1 && GetSetting(u"DBName"_s, u"unset"_s) == u"unset"_s);
        window->cboLocation->setEditText(u"Attic"_s);
        home.prompts().answer(PromptAnswer::No);
        window->mnuFileOpen_Click();
        QCOMPARE(home.prompts().texts().mid(1), QStringList({"Location 'Attic' does not exist.  Add it?"}));
        window->cboLocation->setEditText(u"(none)"_s);
        WriteFile(home.file(u"BROKEN.sqlite"_s), QByteArray(4096, 'x'));
        home.prompts().input(u"broken"_s).answerOk();
        window->mnuFileOpen_Click();
        QCOMPARE(home.prompts().count(), 4);
        QVERIFY2(home.prompts().lastShown().startsWith(u"Error: Error 26 ("_s),
                 qPrintable(home.prompts().lastShown()));
        QCOMPARE(QStringList({gDBName, GetSetting(u"DBName"_s), window->windowTitle()}).join(u'|'),
                 u"BIBLIO|BIBLIO|Tomekeep (BIBLIO)"_s);
        // Still open, as it was listed, sorted and editable.
        QVERIFY(gConn.isOpen() && window->ListModel().rowCount() == 1 &&
                window->ListModel().sortColumn() == BookListModel::ColYear && window->txtTitle->isEnabled());
        window->txtTitle->setText(u"Still editable"_s);
        QVERIFY(window->SaveCurrentBook());
        QCOMPARE(StoredColumn(1, u"Title"_s).toString(), u"Still editable"_s);
        QCOMPARE(QFile(home.file(u"BROKEN.sqlite"_s)).size(), 4096);
    }

    void activeSearchCarriesOverToTheNewCatalogue() {
        FRESH_CHECKED_HOME(home);
        AddTestBook(u"Zebra Crossing"_s);
        gSearchMode = kSearchTitle;
        gSearchTitle = u"zebra*"_s;
        const auto window = OpenMainWindow();
        QCOMPARE(ListedTitles(window->ListModel()), QStringList({"Zebra Crossing"}));
        home.prompts().input(u"other"_s).answer(PromptAnswer::No).answerOk();
        window->mnuFileOpen_Click();
        QCOMPARE(home.prompts().texts().mid(1),
                 QStringList({"Your search no longer finds any Books.  Clear your search?",
                              "'OTHER' database opened."}));
        QVERIFY(gSearchMode == kSearchTitle && window->ListModel().rowCount() == 0 &&
                !window->txtTitle->isEnabled());
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
        FRESH_CHECKED_HOME(home);
        const QString path = home.file(file);
        if (catalogue) {
            QVERIFY(home.makeCatalogueFile(path));
        } else {
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            WriteFile(path, "milk, eggs");
        }
        const auto window = OpenMainWindow(true);
        AddTestBook(u"Only in BIBLIO"_s);
        window->PopulateLstMain();
        home.prompts().file(path);
        if (!catalogue)
            home.prompts().answerOk();
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
        // The file chooser's title and the folder it starts in.
        QCOMPARE(home.prompts().records().value(0).title + u'|' + home.prompts().lastStartPath(),
                 u"Open Catalogue File|" + home.path());
        QCOMPARE(window->windowTitle() + u'|' + QString::number(window->ListModel().rowCount()),
                 catalogue ? u"Tomekeep (garden Shed)|1"_s : u"Tomekeep (BIBLIO)|2"_s);
        QCOMPARE(RecentCatalogues(), catalogue ? QStringList({path}) : QStringList());
        // The next plain start still opens the named catalogue.
        QCOMPARE(gDBName + u'|' + GetSetting(u"DBName"_s, u"BIBLIO"_s), u"BIBLIO|BIBLIO"_s);
        // A file that is not a catalogue is told as an error and left as it was.
        if (!catalogue)
            QVERIFY(home.prompts().last().title == u"Error"_s && QFileInfo(path).size() == 10);
        // The name-based File, Open goes back to the data folder's catalogues.
        home.prompts().input(u"biblio"_s).answerOk();
        window->mnuFileOpen->trigger();
        QCOMPARE(window->windowTitle() + u'|' + gConn.filePath(),
                 u"Tomekeep (BIBLIO)|" + home.file(u"BIBLIO.sqlite"_s));
    }

    void recentCataloguesNewestFirstAndForgetMissingOnes() {
        FRESH_CHECKED_HOME(home);
        for (int i = 0; i < kRecentCataloguesKept + 2; ++i)
            RememberRecentCatalogue(home.file(u"old %1.sqlite"_s.arg(i)));
        QCOMPARE(RecentCatalogues().size(), kRecentCataloguesKept);
        QCOMPARE(RecentCatalogues().first(), home.file(u"old %1.sqlite"_s.arg(kRecentCataloguesKept + 1)));
        const QString first = home.file(u"A & B/First.sqlite"_s);
        const QString second = home.file(u"Second.sqlite"_s);
        QVERIFY(home.makeCatalogueFile(first));
        QVERIFY(home.makeCatalogueFile(second));
        const auto window = OpenMainWindow();
        for (const QString& file : {first, second, first})
            window->OpenCatalogueFile(file);
        QCOMPARE(RecentCatalogues().mid(0, 2), QStringList({first, second}));
        const QList<QAction*> entries = window->mnuFileRecent->actions();
        QVERIFY(RecentCatalogues().size() == kRecentCataloguesKept &&
                entries.size() == kRecentCataloguesKept);
        QCOMPARE(entries[0]->text(), u"&1 "_s + QString(first).replace(u'&', u"&&"_s));

        entries[1]->trigger();
        QCOMPARE(window->windowTitle(), u"Tomekeep (Second)"_s);
        QVERIFY(QFile::remove(first));
        home.prompts().answerOk();
        window->mnuFileRecent->actions()[1]->trigger();
        QCOMPARE(home.prompts().last().text,
                 u"'%1' is no longer there; it has been taken off the recent catalogues."_s.arg(first));
        QVERIFY(window->windowTitle() == u"Tomekeep (Second)"_s && gConn.isOpen());
        QVERIFY(!RecentCatalogues().contains(first) &&
                window->mnuFileRecent->actions().size() == kRecentCataloguesKept - 1);
    }
};

TOMEKEEP_TEST(SwitchTest);
#include "tst_switch.moc"
