#include "LookupTestSupport.h"
#include "app/Settings.h"
#include "db/Connection.h"
#include "internet/InternetSearch.h"
#include "lookups/LookupNames.h"
#include "lookups/frmLookupList.h"
#include "lookups/frmLookupName.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QLabel>

using namespace lookuptest;

class LookupListTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void eachTableWithItsOwnTexts_data() {
        QTest::addColumn<LookupList>("which");
        QTest::addColumn<QStringList>("windows");  // list window, caption, name dialog, label
        QTest::addColumn<QStringList>("captions"); // add, edit
        QTest::addColumn<QString>("duplicateTitle");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("useIt"); // makes the sample book use the row numbered ?

        const auto row = [](const char* name, LookupList which, QStringList windows, QString noun,
                            QString title, QString refusal, int limit, QString useIt) {
            QTest::newRow(name) << which << windows << QStringList{u"Add " + noun, u"Edit " + noun} << title
                                << refusal << limit << useIt;
        };
        const QString bookUses = QStringLiteral("UPDATE [Book] SET [%1] = ?");
        row("ratings", LookupList::Ratings, {"frmRatings", "Ratings", "frmRating", "Name:"}, "Rating",
            "Warning", "Cannot delete this rating.  It is used in ", 10, bookUses.arg("RatingId"));
        row("subjects", LookupList::Subjects, {"frmSubjects", "Subjects", "frmSubject", "Name:"}, "Subject",
            "Warning", "Cannot delete this subject.  It is used in ", 50, bookUses.arg("SubjectId"));
        row("awards", LookupList::Awards, {"frmAwards", "Awards", "frmAward", "Award:"}, "Award",
            "Information", "Cannot delete this award.  Is is used in ", 50,
            "INSERT INTO [BookAward] ([BookId], [AwardId]) VALUES (1, ?)");
        row("formats", LookupList::Formats, {"frmFormats", "Formats", "frmFormat", "Name:"}, "Format",
            "Information", "Cannot delete this format.  Is is used in ", 50, bookUses.arg("FormatId"));
        row("locations", LookupList::Locations, {"frmLocations", "Storage Locations", "frmLocation", "Name:"},
            "Location", "Information", "Cannot delete this location.  Is is used in ", 50,
            bookUses.arg("LocationId"));
        row("authors", LookupList::Authors, {"frmAuthors", "Authors", "frmAuthor", "Name:"}, "Author",
            "Information", "Cannot delete this author.  They are used in ", 50, bookUses.arg("AuthorId"));
    }

    // Add, a refused duplicate, a refused delete and a rename, each through the windows,
    // with the texts of the table the window works on.
    void eachTableWithItsOwnTexts() {
        QFETCH(LookupList, which);
        QFETCH(QStringList, windows);
        QFETCH(QStringList, captions);
        QFETCH(QString, duplicateTitle);
        QFETCH(QString, refusal);
        QFETCH(int, limit);
        QFETCH(QString, useIt);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const LookupMember& member = LookupMemberOf(which);
        frmLookupList window(member);
        QCOMPARE(window.objectName(), windows[0]);
        QCOMPARE(window.windowTitle(), windows[1]);
        QCOMPARE(QStringList({window.cmdAdd->text(), window.cmdEdit->text(), window.cmdDelete->text(),
                              window.cmdClose->text()}),
                 QStringList({"&Add", "&Edit", "&Delete", "Close"}));

        NameDialogSeen seen;
        home.onNextModal(saveName(QStringLiteral("Ölund"), &seen));
        click(window, QStringLiteral("cmdAdd"));
        QCOMPARE(QStringList({seen.objectName, seen.label}), windows.mid(2));
        QCOMPARE(seen.caption, captions[0]);
        QCOMPARE(seen.initialText, QString());
        QCOMPARE(seen.maxLength, limit);
        QCOMPARE(seen.hasInternetLookup, which == LookupList::Authors);
        QVERIFY(!seen.stayedOpen);
        QVERIFY(entries(*window.lstData).contains(QStringLiteral("Ölund")));
        QCOMPARE(window.lstData->currentRow(), 0);

        home.prompts().answerOk();
        home.onNextModal(saveName(QStringLiteral("öLUND"), &seen));
        click(window, QStringLiteral("cmdAdd"));
        QVERIFY(seen.stayedOpen);
        QCOMPARE(home.prompts().last().title, duplicateTitle);
        QCOMPARE(home.prompts().last().text,
                 QStringLiteral("%1 'öLUND' already exists.  Please enter a unique name to add.")
                     .arg(windows[2].mid(3)));
        QCOMPARE(number(u"SELECT COUNT(*) FROM [" + member.table + u"] WHERE [Name] = 'Ölund'"), 1);

        const qint64 id =
            number(u"SELECT [" + member.idColumn + u"] FROM [" + member.table + u"] WHERE [Name] = 'Ölund'");
        QVERIFY(gConn.execute(useIt, {id}));
        selectName(*window.lstData, QStringLiteral("Ölund"));
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        click(window, QStringLiteral("cmdDelete"));
        QCOMPARE(home.prompts().records()[1].text, QStringLiteral("Delete 'Ölund'?"));
        QCOMPARE(home.prompts().records()[1].buttons, PromptButtons::YesNoCancel);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Information"));
        QCOMPARE(home.prompts().last().text, refusal + u"1 books.");
        QCOMPARE(window.lstData->currentItem()->text(), QStringLiteral("Ölund"));

        home.onNextModal(saveName(QStringLiteral("Zed"), &seen));
        click(window, QStringLiteral("cmdEdit"));
        QCOMPARE(seen.caption, captions[1]);
        QCOMPARE(seen.initialText, QStringLiteral("Ölund"));
        QVERIFY(entries(*window.lstData).contains(QStringLiteral("Zed")));
        QVERIFY(!entries(*window.lstData).contains(QStringLiteral("Ölund")));
        // The row keeps its identifier, so the books that used it show the new name.
        QCOMPARE(
            number(u"SELECT [Name] = 'Zed' FROM [" + member.table + u"] WHERE [" + member.idColumn + u"] = ?",
                   {id}),
            1);
        QCOMPARE(home.prompts().count(), 3);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void awardsAreCountedOnTheBooksAwardListsInThousands() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const qint64 nobel =
            number(QStringLiteral("SELECT [AwardId] FROM [Award] WHERE [Name] = 'Nobel Prize'"));
        {
            Transaction links(gConn);
            for (int i = 0; i < 1234; ++i)
                QVERIFY(gConn.execute(
                    QStringLiteral("INSERT INTO [BookAward] ([BookId], [AwardId]) VALUES (1, ?)"), {nobel}));
            QVERIFY(links.commit());
        }
        frmLookupList window(LookupMemberOf(LookupList::Awards));
        home.prompts().answer(PromptAnswer::Yes).answerOk().answer(PromptAnswer::Yes);
        selectName(*window.lstData, QStringLiteral("Nobel Prize"));
        click(window, QStringLiteral("cmdDelete"));
        QCOMPARE(home.prompts().last().text,
                 QStringLiteral("Cannot delete this award.  Is is used in 1,234 books."));
        // An award no book lists goes, even though books exist.
        selectName(*window.lstData, QStringLiteral("Audie Award"));
        click(window, QStringLiteral("cmdDelete"));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Award] WHERE [Name] = 'Audie Award'")), 0);
        QVERIFY(!entries(*window.lstData).contains(QStringLiteral("Audie Award")));
        QCOMPARE(window.lstData->currentRow(), 0);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    // Renaming can leave two rows of one name, the older one in use: the row the user selected
    // is the one deleted or renamed, so the twin can always be cleaned up.
    void twinNamesActOnTheSelectedRow_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("delete") << "cmdDelete";
        QTest::newRow("rename") << "cmdEdit";
    }

    void twinNamesActOnTheSelectedRow() {
        QFETCH(QString, button);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        frmLookupList window(LookupMemberOf(LookupList::Subjects));
        home.onNextModal(saveName(QStringLiteral("Poetry")));
        click(window, QStringLiteral("cmdAdd"));
        const qint64 twin = number(QStringLiteral("SELECT MAX([SubjectId]) FROM [Subject]"));
        const qint64 used = number(QStringLiteral("SELECT [SubjectId] FROM [Book] WHERE [BookId] = 1"));
        selectName(*window.lstData, QStringLiteral("Poetry"));
        home.onNextModal(saveName(QStringLiteral("(none)")));
        click(window, QStringLiteral("cmdEdit"));
        QCOMPARE(window.lstData->findItems(QStringLiteral("(none)"), Qt::MatchExactly).size(), 2);

        for (QListWidgetItem* item : window.lstData->findItems(QStringLiteral("(none)"), Qt::MatchExactly)) {
            if (item->data(Qt::UserRole).toLongLong() == twin)
                window.lstData->setCurrentItem(item);
        }
        if (button == QStringLiteral("cmdDelete"))
            home.prompts().answer(PromptAnswer::Yes);
        else
            home.onNextModal(saveName(QStringLiteral("Verse")));
        click(window, button);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Subject] WHERE [SubjectId] = ?"), {twin}),
                 button == QStringLiteral("cmdDelete") ? 0 : 1);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Subject] WHERE [Name] = 'Verse'")),
                 button == QStringLiteral("cmdDelete") ? 0 : 1);
        QCOMPARE(
            number(QStringLiteral("SELECT [Name] = '(none)' FROM [Subject] WHERE [SubjectId] = ?"), {used}),
            1);
        QCOMPARE(window.lstData->findItems(QStringLiteral("(none)"), Qt::MatchExactly).size(), 1);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    // A stored name longer than the box's limit is shown whole, and Enter on it changes nothing.
    void longNameConfirmedUnchangedStays() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const QString name = QStringLiteral("Baby-3 years");
        const qint64 before =
            number(QStringLiteral("SELECT COUNT(*) FROM [Rating] WHERE [Name] = ?"), {name});
        QCOMPARE(before, 1);
        frmLookupList window(LookupMemberOf(LookupList::Ratings));
        window.show();
        selectName(*window.lstData, name);
        QString shown;
        home.onNextModal([&shown](QDialog& dialog) {
            auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("txtName"));
            shown = box->text();
            QTest::keyClick(box, Qt::Key_Return);
            return dialog.result();
        });
        QTest::keyClick(window.lstData, Qt::Key_Return);
        QCOMPARE(shown, name);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Rating] WHERE [Name] = ?"), {name}), 1);
        QVERIFY(entries(*window.lstData).contains(name));
        QCOMPARE(home.pendingModalActions(), 0);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void emptyListKeysAndCancel() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        QVERIFY(gConn.execute(QStringLiteral("DELETE FROM [Format]")));
        frmLookupList window(LookupMemberOf(LookupList::Formats));
        window.show();
        QCOMPARE(window.lstData->count(), 0);
        home.prompts().answerOk().answerOk();
        QTest::keyClick(window.lstData, Qt::Key_Return);
        QTest::keyClick(window.cmdClose, Qt::Key_Delete);
        QCOMPARE(home.prompts().texts(),
                 QStringList({"Click on an item to edit.", "Click on an item to delete."}));

        NameDialogSeen seen;
        home.onNextModal(saveName(QStringLiteral("Vinyl"), &seen));
        QTest::keyClick(window.cmdDelete, Qt::Key_Insert);
        QCOMPARE(seen.caption, QStringLiteral("Add Format"));
        home.onNextModal(cancelDialog());
        QTest::keyClick(window.lstData, Qt::Key_Enter);
        QCOMPARE(entries(*window.lstData), QStringList{"Vinyl"});

        home.onNextModal(saveName(QStringLiteral("Shellac"), &seen));
        const QRect first = window.lstData->visualItemRect(window.lstData->item(0));
        QTest::mouseClick(window.lstData->viewport(), Qt::LeftButton, {}, first.center());
        QTest::mouseDClick(window.lstData->viewport(), Qt::LeftButton, {}, first.center());
        QCOMPARE(seen.initialText, QStringLiteral("Vinyl"));
        QCOMPARE(entries(*window.lstData), QStringList{"Shellac"});

        QTest::keyClick(window.lstData, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(home.pendingModalActions(), 0);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void refusedSaveKeepsTheDialogAndItsText() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        QVERIFY(gConn.execute(QStringLiteral("CREATE TRIGGER [Full] BEFORE INSERT ON [Location] "
                                             "BEGIN SELECT RAISE(ABORT, 'disk is full'); END")));
        const LookupMember& member = LookupMemberOf(LookupList::Locations);
        frmLookupName dialog(member);
        dialog.Mode = QStringLiteral("ADD");
        dialog.show();
        dialog.txtName->setText(QStringLiteral("Attic"));
        home.prompts().answerOk();
        click(dialog, QStringLiteral("cmdSave"));
        QCOMPARE(home.prompts().last().title, QStringLiteral("Error"));
        QVERIFY2(home.prompts().last().text.startsWith(QStringLiteral("Error ")) &&
                     home.prompts().last().text.contains(QStringLiteral("disk is full")),
                 qPrintable(home.prompts().last().text));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.txtName->text(), QStringLiteral("Attic"));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Location] WHERE [Name] = 'Attic'")), 0);

        QVERIFY(gConn.execute(QStringLiteral("DROP TRIGGER [Full]")));
        click(dialog, QStringLiteral("cmdSave"));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Location] WHERE [Name] = 'Attic'")), 1);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    // The typed "Surname, Given" reaches the catalogue as " Given Surname", which the New York
    // catalogue turns back to surname first.
    void authorLookupImageFollowsTheSetting() {
        TestHome home;
        QList<QUrl> opened;
        const UrlOpener previous = SetUrlOpener([&opened](const QUrl& url) { opened << url; });
        const LookupMember& authors = LookupMemberOf(LookupList::Authors);
        frmLookupName unset(authors);
        unset.show();
        QVERIFY(!unset.imgInternet->isVisible());

        SaveSetting(QStringLiteral("InternetSite"), QStringLiteral("New York Public Library"));
        frmLookupName dialog(authors);
        dialog.show();
        QVERIFY(dialog.imgInternet->isVisible());
        dialog.txtName->setText(QStringLiteral("Tolstoy, Leo"));
        QTest::mouseClick(dialog.imgInternet, Qt::LeftButton);
        SetUrlOpener(previous);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened[0].toString(), QStringLiteral("http://catalog.nypl.org/search/a?SEARCH=Tolstoy+Leo"));
        QVERIFY(dialog.isVisible());
    }
};

TOMEKEEP_TEST(LookupListTest);
#include "tst_lookuplists.moc"
