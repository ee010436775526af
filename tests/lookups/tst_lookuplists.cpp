#include "LookupTestSupport.h"
#include "app/Settings.h"
#include "db/Connection.h"
#include "db/ReadingOrder.h"
#include "internet/InternetSearch.h"
#include "lookups/LookupNames.h"
#include "lookups/frmLookupList.h"
#include "lookups/frmLookupName.h"
#include "support/TestHome.h"

using namespace lookuptest;

class LookupListTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void eachTableWithItsOwnTexts_data() {
        // window: list window and caption
        // dialog: as NameDialogSeen shows it, %1 Add or Edit, %2 the text
        // useIt: makes the sample book use the row numbered ? (an award 1,234 times: counted in thousands)
        AddColumns<LookupList, QString, QString, QString, QString, QString>(
            "which", "window", "dialog", "duplicateTitle", "refusal", "useIt");
        const QString bookUses = u"UPDATE [Book] SET [%1] = ?"_s;
        AddRow("ratings", LookupList::Ratings, "frmRatings|Ratings", "frmRating|%1 Rating|Name:|%2|10|",
               "Warning", "Cannot delete this rating.  It is used in 1 books.", bookUses.arg("RatingId"));
        AddRow("subjects", LookupList::Subjects, "frmSubjects|Subjects", "frmSubject|%1 Subject|Name:|%2|50|",
               "Warning", "Cannot delete this subject.  It is used in 1 books.", bookUses.arg("SubjectId"));
        AddRow("awards", LookupList::Awards, "frmAwards|Awards", "frmAward|%1 Award|Award:|%2|50|",
               "Information", "Cannot delete this award.  Is is used in 1,234 books.",
               "WITH RECURSIVE [n]([i]) AS (SELECT 1 UNION ALL SELECT [i] + 1 FROM [n] WHERE [i] < 1234) "
               "INSERT INTO [BookAward] ([BookId], [AwardId]) SELECT 1, ? FROM [n]");
        AddRow("formats", LookupList::Formats, "frmFormats|Formats", "frmFormat|%1 Format|Name:|%2|50|",
               "Information", "Cannot delete this format.  Is is used in 1 books.", bookUses.arg("FormatId"));
        AddRow("locations", LookupList::Locations, "frmLocations|Storage Locations",
               "frmLocation|%1 Location|Name:|%2|50|", "Information",
               "Cannot delete this location.  Is is used in 1 books.", bookUses.arg("LocationId"));
        AddRow("authors", LookupList::Authors, "frmAuthors|Authors",
               "frmAuthor|%1 Author|Name:|%2|50|internet", "Information",
               "Cannot delete this author.  They are used in 1 books.", bookUses.arg("AuthorId"));
    }

    // Add, a refused duplicate, a refused delete and a rename, each through the windows,
    // with the texts of the table the window works on.
    void eachTableWithItsOwnTexts() {
        const auto [which, window, dialog, duplicateTitle, refusal, useIt] =
            FetchColumns<LookupList, QString, QString, QString, QString, QString>(
                "which", "window", "dialog", "duplicateTitle", "refusal", "useIt");
        FRESH_CHECKED_HOME(home);
        const LookupMember& member = LookupMemberOf(which);
        frmLookupList list(member);
        QCOMPARE(list.objectName() + u'|' + list.windowTitle(), window);
        QCOMPARE(list.cmdAdd->text() + list.cmdEdit->text() + list.cmdDelete->text() + list.cmdClose->text(),
                 u"&Add&Edit&DeleteClose"_s);

        NameDialogSeen seen;
        home.onNextModal(saveName(u"Ölund"_s, &seen));
        click(list, u"cmdAdd"_s);
        QCOMPARE(seen.shown, dialog.arg(u"Add"_s, QString()));
        QVERIFY(!seen.stayedOpen);
        QVERIFY(entries(*list.lstData).contains(u"Ölund"_s));
        QCOMPARE(list.lstData->currentRow(), 0);
        // Listed as a reader orders names: Ölund among the O's, not after Z.
        QStringList ordered = entries(*list.lstData);
        std::stable_sort(ordered.begin(), ordered.end(), [](const QString& a, const QString& b) {
            return ReadingOrder::forUser().compare(a, b) < 0;
        });
        QCOMPARE(entries(*list.lstData), ordered);

        home.prompts().answerOk();
        home.onNextModal(saveName(u"öLUND"_s, &seen));
        click(list, u"cmdAdd"_s);
        QVERIFY(seen.stayedOpen);
        QCOMPARE(home.prompts().lastShown(),
                 u"%1: %2 'öLUND' already exists.  Please enter a unique name to add."_s.arg(
                     duplicateTitle, dialog.section(u'|', 0, 0).mid(3)));
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [" + member.table + u"] WHERE [Name] = 'Ölund'"), 1);

        const qint64 id = NumberOf(u"SELECT [" + member.idColumn + u"] FROM [" + member.table +
                                   u"] WHERE [Name] = 'Ölund'");
        QVERIFY(gConn.execute(useIt, {id}));
        selectName(*list.lstData, u"Ölund"_s);
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        click(list, u"cmdDelete"_s);
        QCOMPARE(home.prompts().records()[1].text, u"Delete 'Ölund'?"_s);
        QCOMPARE(home.prompts().records()[1].buttons, PromptButtons::YesNoCancel);
        QCOMPARE(home.prompts().lastShown(), QString(u"Information: " + refusal));
        QCOMPARE(list.lstData->currentItem()->text(), u"Ölund"_s);

        home.onNextModal(saveName(u"Zed"_s, &seen));
        click(list, u"cmdEdit"_s);
        QCOMPARE(seen.shown, dialog.arg(u"Edit"_s, u"Ölund"_s));
        QVERIFY(entries(*list.lstData).contains(u"Zed"_s) && !entries(*list.lstData).contains(u"Ölund"_s));
        // The row keeps its identifier, so the books that used it show the new name.
        QCOMPARE(
            TextsOf(u"SELECT [Name] FROM [" + member.table + u"] WHERE [" + member.idColumn + u"] = ?", {id}),
            QStringList{u"Zed"_s});
    }

    // An award no book lists goes, while the books list others.
    void unusedAwardGoesWhileBooksListOthers() {
        FRESH_CHECKED_HOME(home);
        frmLookupList window(LookupMemberOf(LookupList::Awards));
        home.prompts().answer(PromptAnswer::Yes);
        selectName(*window.lstData, u"Audie Award"_s);
        click(window, u"cmdDelete"_s);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Award] WHERE [Name] = 'Audie Award'"_s), 0);
        QVERIFY(!entries(*window.lstData).contains(u"Audie Award"_s));
        QCOMPARE(window.lstData->currentRow(), 0);
    }

    // Renaming can leave two rows of one name, the older one in use: the row the user selected
    // is the one deleted or renamed, so the twin can always be cleaned up.
    void twinNamesActOnTheSelectedRow_data() {
        QTest::addColumn<QString>("button");
        AddRow("delete", "cmdDelete");
        AddRow("rename", "cmdEdit");
    }

    void twinNamesActOnTheSelectedRow() {
        QFETCH(QString, button);
        FRESH_CHECKED_HOME(home);
        frmLookupList window(LookupMemberOf(LookupList::Subjects));
        home.onNextModal(saveName(u"Poetry"_s));
        click(window, u"cmdAdd"_s);
        const qint64 twin = NumberOf(u"SELECT MAX([SubjectId]) FROM [Subject]"_s);
        const qint64 used = NumberOf(u"SELECT [SubjectId] FROM [Book] WHERE [BookId] = 1"_s);
        selectName(*window.lstData, u"Poetry"_s);
        home.onNextModal(saveName(u"(none)"_s));
        click(window, u"cmdEdit"_s);
        QCOMPARE(window.lstData->findItems(u"(none)"_s, Qt::MatchExactly).size(), 2);

        for (QListWidgetItem* item : window.lstData->findItems(u"(none)"_s, Qt::MatchExactly))
            if (item->data(Qt::UserRole).toLongLong() == twin)
                window.lstData->setCurrentItem(item);
        if (button == u"cmdDelete"_s)
            home.prompts().answer(PromptAnswer::Yes);
        else
            home.onNextModal(saveName(u"Verse"_s));
        click(window, button);
        // The twin is gone or renamed; the row in use (marked 1) keeps its name.
        const QStringList left =
            button == u"cmdDelete"_s ? QStringList{u"1|(none)"_s} : QStringList{u"1|(none)"_s, u"0|Verse"_s};
        QCOMPARE(TextsOf(u"SELECT [SubjectId] = ?, [Name] FROM [Subject] WHERE [SubjectId] IN (?, ?) "
                         "ORDER BY [SubjectId]"_s,
                         {used, used, twin}),
                 left);
        QCOMPARE(window.lstData->findItems(u"(none)"_s, Qt::MatchExactly).size(), 1);
    }

    // A stored name longer than the box's limit is shown whole, and Enter on it changes nothing. An
    // empty list answers Enter and Delete with a hint; Insert adds, a click or Enter edits, Esc closes.
    void listKeysOnALongNameAndOnAnEmptyList() {
        FRESH_CHECKED_HOME(home);
        const QString name = u"Baby-3 years"_s;
        frmLookupList ratings(LookupMemberOf(LookupList::Ratings));
        ratings.show();
        selectName(*ratings.lstData, name);
        QString shown;
        home.onNextModal([&shown](QDialog& dialog) {
            auto* box = dialog.findChild<QLineEdit*>(u"txtName"_s);
            shown = box->text();
            QTest::keyClick(box, Qt::Key_Return);
            return dialog.result();
        });
        QTest::keyClick(ratings.lstData, Qt::Key_Return);
        QCOMPARE(shown, name);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Rating] WHERE [Name] = ?"_s, {name}), 1);
        QVERIFY(entries(*ratings.lstData).contains(name) && home.pendingModalActions() == 0);

        QVERIFY(gConn.execute(u"DELETE FROM [Format]"_s));
        frmLookupList window(LookupMemberOf(LookupList::Formats));
        window.show();
        QCOMPARE(window.lstData->count(), 0);
        home.prompts().answerOk().answerOk();
        QTest::keyClick(window.lstData, Qt::Key_Return);
        QTest::keyClick(window.cmdClose, Qt::Key_Delete);
        QCOMPARE(home.prompts().texts(),
                 QStringList({"Click on an item to edit.", "Click on an item to delete."}));

        NameDialogSeen seen;
        home.onNextModal(saveName(u"Vinyl"_s, &seen));
        QTest::keyClick(window.cmdDelete, Qt::Key_Insert);
        QCOMPARE(seen.shown.section(u'|', 1, 1), u"Add Format"_s);
        home.onNextModal(cancelDialog());
        QTest::keyClick(window.lstData, Qt::Key_Enter);
        QCOMPARE(entries(*window.lstData), QStringList{"Vinyl"});

        home.onNextModal(saveName(u"Shellac"_s, &seen));
        const QRect first = window.lstData->visualItemRect(window.lstData->item(0));
        QTest::mouseClick(window.lstData->viewport(), Qt::LeftButton, {}, first.center());
        QTest::mouseDClick(window.lstData->viewport(), Qt::LeftButton, {}, first.center());
        QCOMPARE(seen.shown.section(u'|', 3, 3), u"Vinyl"_s);
        QCOMPARE(entries(*window.lstData), QStringList{"Shellac"});

        QTest::keyClick(window.lstData, Qt::Key_Escape);
        QVERIFY(!window.isVisible() && home.pendingModalActions() == 0);
    }

    // A save the catalogue refuses keeps the dialog and its text. The author dialog's look-up image
    // follows the site setting: the typed "Surname, Given" reaches the catalogue as " Given
    // Surname", which the New York catalogue turns back to surname first.
    void nameDialogKeepsARefusedNameAndLooksAuthorsUp() {
        FRESH_CHECKED_HOME(home);
        QVERIFY(gConn.execute(u"CREATE TRIGGER [Full] BEFORE INSERT ON [Location] "
                              "BEGIN SELECT RAISE(ABORT, 'disk is full'); END"_s));
        frmLookupName location(LookupMemberOf(LookupList::Locations));
        location.Mode = u"ADD"_s;
        location.show();
        location.txtName->setText(u"Attic"_s);
        home.prompts().answerOk();
        click(location, u"cmdSave"_s);
        const QString told = home.prompts().lastShown();
        QVERIFY2(told.startsWith(u"Error: Error "_s) && told.contains(u"disk is full"_s), qPrintable(told));
        QVERIFY(location.isVisible() && location.txtName->text() == u"Attic"_s);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Location] WHERE [Name] = 'Attic'"_s), 0);
        QVERIFY(gConn.execute(u"DROP TRIGGER [Full]"_s));
        click(location, u"cmdSave"_s);
        QVERIFY(!location.isVisible());
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Location] WHERE [Name] = 'Attic'"_s), 1);

        QList<QUrl> opened;
        const UrlOpener previous = SetUrlOpener([&opened](const QUrl& url) { opened << url; });
        const LookupMember& authors = LookupMemberOf(LookupList::Authors);
        frmLookupName unset(authors);
        unset.show();
        QVERIFY(!unset.imgInternet->isVisible());
        SaveSetting(u"InternetSite"_s, u"New York Public Library"_s);
        frmLookupName dialog(authors);
        dialog.show();
        QVERIFY(dialog.imgInternet->isVisible());
        dialog.txtName->setText(u"Tolstoy, Leo"_s);
        QTest::mouseClick(dialog.imgInternet, Qt::LeftButton);
        SetUrlOpener(previous);
        QCOMPARE(opened, QList<QUrl>{QUrl(u"http://catalog.nypl.org/search/a?SEARCH=Tolstoy+Leo"_s)});
        QVERIFY(dialog.isVisible());
    }
};

TOMEKEEP_TEST(LookupListTest);
#include "tst_lookuplists.moc"
