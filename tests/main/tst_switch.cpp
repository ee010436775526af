#include "app/RecentCatalogues.h"
#include "app/Settings.h"
#include "db/Catalogue.h"
#include "main/BookTestData.h"

class SwitchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // One window switched from catalogue to catalogue: by a typed name (cleaned to letters and
    // digits, nothing left being the standard one, a file of another letter case found), from the
    // file chooser anywhere, and from the recent catalogues, newest first, which forget a missing
    // one. An empty answer changes nothing, a lookup question answered No stops the switch before
    // the name is asked for, a file that is not a catalogue leaves the open one as it was, and a
    // search in force carries over.
    void catalogueSwitches() {
        FRESH_CHECKED_HOME(home);
        AddTestBook(u"Added before the switch"_s);
        // A copy of the open catalogue under a name in another letter case.
        gConn.close();
        QVERIFY(QFile::copy(home.file(u"BIBLIO.sqlite"_s), home.file(u"mybooks.sqlite"_s)));
        QVERIFY(OpenDatabase());
        WriteFile(home.file(u"BROKEN.sqlite"_s), QByteArray(4096, 'x'));
        const QString shed = home.file(u"Elsewhere/garden Shed.sqlite"_s);
        const QString shopping = home.file(u"Elsewhere/Shopping List.sqlite"_s);
        QVERIFY(home.makeCatalogueFile(shed));
        WriteFile(shopping, "milk, eggs");
        for (int i = 0; i < kRecentCataloguesKept + 2; ++i)
            RememberRecentCatalogue(home.file(u"old %1.sqlite"_s.arg(i)));
        StoreListSort({BookListModel::ColYear, Qt::DescendingOrder});
        const auto window = OpenMainWindow(true);
        int heard = 0;
        // The caption, the name in use and the stored one, the file open, the books listed (and
        // "off" for an editor with none), what the user was told ("asked" for a name or a file
        // asked for), the data folder written "~".
        const auto stateOf = [&] {
            QStringList state = {window->windowTitle(), gDBName + u'/' + GetSetting(u"DBName"_s, u"unset"_s),
                                 QDir(home.path()).relativeFilePath(gConn.filePath()),
                                 QString::number(window->ListModel().rowCount()) +
                                     (window->txtTitle->isEnabled() ? u""_s : u" off"_s)};
            for (const auto& record : home.prompts().records().mid(heard))
                state << (record.kind == ScriptedPrompts::Kind::Message ? record.title + u": " + record.text
                                                                        : u"asked"_s);
            heard = home.prompts().count();
            return state.join(u'|').replace(home.path(), u"~"_s);
        };
        const auto typeName = [&](const QString& typed) {
            home.prompts().input(typed).answerOk();
            window->mnuFileOpen->trigger();
        };
        // A typed name, the name made of it, the file opened and the books it lists.
        const char* const typedNames[][3] = {{"home library", "HOMELIBRARY", "HOMELIBRARY.sqlite|1"},
                                             {"home-lib 2", "HOMELIB2", "HOMELIB2.sqlite|1"},
                                             {"-*-", "BIBLIO", "BIBLIO.sqlite|2"},
                                             {"biblio", "BIBLIO", "BIBLIO.sqlite|2"},
                                             {"mybooks", "MYBOOKS", "mybooks.sqlite|2"}};
        for (const auto& [typed, name, opened] : typedNames) {
            typeName(QString::fromLatin1(typed));
            CHECK_STEP(typed, u"Tomekeep (%1)|%1/%1|%2|asked|Tomekeep: '%1' database opened."_s.arg(
                                  QString::fromLatin1(name), QString::fromLatin1(opened)));
        }
        // The question, and the name the box offered for the last answer: the one then in use.
        const auto& question = home.prompts().records().first();
        QCOMPARE(question.title + u": " + question.text + u'|' + home.prompts().lastInitialText(),
                 u"Open Book Database: Enter the name of the book database to open or create.  "
                 "(Note: 'BIBLIO' is the standard database):|BIBLIO"_s);

        home.prompts().input(QString());
        window->mnuFileOpen_Click();
        CHECK_STEP("an empty name changes nothing",
                   "Tomekeep (MYBOOKS)|MYBOOKS/MYBOOKS|mybooks.sqlite|2|asked");
        window->cboLocation->setEditText(u"Attic"_s);
        home.prompts().answer(PromptAnswer::No);
        window->mnuFileOpen_Click();
        CHECK_STEP("No to a new lookup name stops before the name is asked",
                   "Tomekeep (MYBOOKS)|MYBOOKS/MYBOOKS|mybooks.sqlite|2|"
                   "Add Location?: Location 'Attic' does not exist.  Add it?");
        window->cboLocation->setEditText(u"(none)"_s);
        home.prompts().input(u"broken"_s).answerOk();
        window->mnuFileOpen_Click();
        CHECK_STEP("a broken file leaves the open catalogue",
                   "Tomekeep (MYBOOKS)|MYBOOKS/MYBOOKS|mybooks.sqlite|2|asked|"
                   "Error: Error 26 (file is not a database)");
        // Still sorted as it was, and editable.
        QCOMPARE(window->ListModel().sortColumn(), int(BookListModel::ColYear));
        window->txtTitle->setText(u"Still editable"_s);
        QVERIFY(window->SaveCurrentBook());
        QCOMPARE(ListedTitles(window->ListModel())
                     << QString::number(QFile(home.file(u"BROKEN.sqlite"_s)).size()),
                 QStringList({"Still editable", "Added before the switch", "4096"}));

        gSearchMode = kSearchTitle;
        gSearchTitle = u"still*"_s;
        window->PopulateLstMain();
        home.prompts().input(u"other"_s).answer(PromptAnswer::No).answerOk();
        window->mnuFileOpen_Click();
        CHECK_STEP("a search in force carries over",
                   "Tomekeep (OTHER)|OTHER/OTHER|OTHER.sqlite|0 off|asked|"
                   "Clear Search: Your search no longer finds any Books.  Clear your search?|"
                   "Tomekeep: 'OTHER' database opened.");
        QCOMPARE(gSearchMode, int(kSearchTitle));
        gSearchMode = kSearchAll;

        home.prompts().file(shed);
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
        CHECK_STEP("a catalogue file from the chooser, any folder, spaces and case",
                   "Tomekeep (garden Shed)|OTHER/OTHER|Elsewhere/garden Shed.sqlite|1|asked");
        // The chooser, which starts in the data folder; the recent catalogues, newest first, as many
        // as are kept.
        QCOMPARE(
            (QStringList({home.prompts().last().title, home.prompts().lastStartPath()}) + RecentCatalogues())
                .join(u',')
                .replace(home.path(), u"~"_s),
            u"Open Catalogue File,~,~/Elsewhere/garden Shed.sqlite,~/OTHER.sqlite,~/mybooks.sqlite,"
            "~/BIBLIO.sqlite,~/HOMELIB2.sqlite,~/HOMELIBRARY.sqlite,~/old 9.sqlite,~/old 8.sqlite"_s);
        home.prompts().file(shopping).answerOk();
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
        CHECK_STEP("a file that is no catalogue",
                   "Tomekeep (garden Shed)|OTHER/OTHER|Elsewhere/garden Shed.sqlite|1|asked|"
                   "Error: Error 26 (file is not a database)");
        QVERIFY(QFileInfo(shopping).size() == 10 && !RecentCatalogues().contains(shopping));
        typeName(u"biblio"_s);
        CHECK_STEP(
            "a typed name opens from the data folder again",
            "Tomekeep (BIBLIO)|BIBLIO/BIBLIO|BIBLIO.sqlite|2|asked|Tomekeep: 'BIBLIO' database opened.");

        const QString first = home.file(u"A & B/First.sqlite"_s);
        QVERIFY(home.makeCatalogueFile(first));
        for (const QString& file : {first, shed, first})
            window->OpenCatalogueFile(file);
        const QList<QAction*> entries = window->mnuFileRecent->actions();
        QCOMPARE(entries.size(), kRecentCataloguesKept);
        QCOMPARE(entries[0]->text() + u'|' + entries[1]->text(),
                 QString(u"&1 " + QString(first).replace(u'&', u"&&"_s) + u"|&2 " + shed));
        entries[1]->trigger();
        CHECK_STEP("a recent catalogue",
                   "Tomekeep (garden Shed)|BIBLIO/BIBLIO|Elsewhere/garden Shed.sqlite|1");
        QVERIFY(QFile::remove(first));
        home.prompts().answerOk();
        window->mnuFileRecent->actions()[1]->trigger();
        CHECK_STEP("a recent catalogue no longer there",
                   "Tomekeep (garden Shed)|BIBLIO/BIBLIO|Elsewhere/garden Shed.sqlite|1|"
                   "Tomekeep: '~/A & B/First.sqlite' is no longer there; it has been taken off the recent "
                   "catalogues.");
        QVERIFY(gConn.isOpen() && !RecentCatalogues().contains(first) &&
                window->mnuFileRecent->actions().size() == kRecentCataloguesKept - 1);
    }
};

TOMEKEEP_TEST(SwitchTest);
#include "tst_switch.moc"
