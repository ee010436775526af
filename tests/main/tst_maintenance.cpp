#include "app/Paths.h"
#include "app/ProgressWindows.h"
#include "db/Catalogue.h"
#include "main/BookTestData.h"
#include "main/Maintenance.h"

namespace {

// Adds `count` books whose subject row does not exist, quickly.
void addBooksWithoutSubject(int count) {
    QVERIFY(
        gConn.execute(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                      "INSERT INTO [Book] ([SubjectId], [LocationId], [FormatId], [RatingId], [AuthorId], "
                      "[Title], [LabelNumber], "
                      "[Copyright], [Pages], [Stars], [AcquireDate], [Cost], [LentDate]) "
                      "SELECT 999, 1, 1, 1, 1, printf('Lost %05d', i), '', 0, 0, 0, '1899-01-01', 0, "
                      "'1899-01-01' FROM n"_s,
                      {count}));
}

qint64 unknownRows(const QString& table) {
    return NumberOf(u"SELECT COUNT(*) FROM [" + table + u"] WHERE [Name] = '(unknown)'");
}

} // namespace

class MaintenanceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // An answer other than Yes changes nothing; Cancel in the progress window stops the repair;
    // a whole run points broken books at "(unknown)" rows, and a second run finds nothing.
    void repairPointsBrokenBooksAtUnknownRows() {
        FRESH_CHECKED_HOME(home);
        // Lookup numbers no row holds; a book written before ratings had no rating at all.
        AddTestBook(u"Lost subject and location"_s, [](BookFields& b) { b.subjectId = b.locationId = 990; });
        AddTestBook(u"Lost format"_s, [](BookFields& b) { b.formatId = 990; });
        AddTestBook(u"Rating never set"_s, [](BookFields& b) { b.ratingId = 0; });
        const int lostAuthor = AddTestBook(u"Lost author"_s, [](BookFields& b) { b.authorId = 5000; });
        addBooksWithoutSubject(50);
        const qint64 authors = NumberOf(u"SELECT COUNT(*) FROM [Author]"_s);
        const QString withoutSubject = u"SELECT COUNT(*) FROM [Book] WHERE [SubjectId] = 999"_s;
        home.prompts().answer(PromptAnswer::No).answer(PromptAnswer::Cancel);
        CheckAndRepair({});
        DeleteUnusedAuthors();
        QCOMPARE(home.prompts().count(), 2);
        QVERIFY(NumberOf(withoutSubject) == 50 && NumberOf(u"SELECT COUNT(*) FROM [Author]"_s) == authors);

        home.prompts().answer(PromptAnswer::Yes).answerOk();
        bool wasVisible = false;
        // The user presses Cancel as soon as the window is on screen, during the first book.
        QTimer press;
        QObject::connect(&press, &QTimer::timeout, [&press, &wasVisible] {
            if (!ProgressWindow() || !ProgressWindow()->isVisible())
                return;
            wasVisible = true;
            ProgressWindow()->cmdCancel->click();
            press.stop();
        });
        press.start(0);
        CheckAndRepair({});
        QVERIFY(wasVisible && !ProgressWindow());
        QCOMPARE(home.prompts().last().text + u'|' + QString::number(NumberOf(withoutSubject)),
                 u"1 problems repaired.|49"_s);

        int reloads = 0;
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        CheckAndRepair([&reloads] { ++reloads; });
        const auto& question = home.prompts().records().at(0);
        QCOMPARE(question.title + u": " + question.text, u"Repair: Repair database?"_s);
        QCOMPARE(question.buttons, PromptButtons::YesNoCancel);
        QCOMPARE(home.prompts().lastShown(), u"Repair complete: 53 problems repaired."_s);
        QVERIFY(reloads == 1 && !ProgressWindow());
        // Each added book's subject, location, format and rating, in the order they were added.
        QCOMPARE(
            TextsOf(
                u"SELECT s.[Name], l.[Name], f.[Name], r.[Name] FROM [Book] b JOIN [Subject] s USING "
                "([SubjectId]) JOIN [Location] l USING ([LocationId]) JOIN [Format] f USING ([FormatId]) "
                "JOIN [Rating] r USING ([RatingId]) WHERE b.[BookId] BETWEEN 2 AND 5 ORDER BY b.[BookId]"_s),
            QStringList({"(unknown)|(unknown)|(none)|(none)", "(none)|(none)|(unknown)|(none)",
                         "(none)|(none)|(none)|(unknown)", "(none)|(none)|(none)|(none)"}));
        QCOMPARE(NumberOf(u"SELECT [AuthorId] FROM [Book] WHERE [BookId] = ?"_s, {lostAuthor}), 5000);

        // A second run finds nothing and adds no second "(unknown)" row.
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        CheckAndRepair([&reloads] { ++reloads; });
        QCOMPARE(home.prompts().last().text + u'|' + QString::number(reloads), u"No problems found.|1"_s);
        for (const QString& table : {u"Subject"_s, u"Location"_s, u"Format"_s, u"Rating"_s})
            QCOMPARE(unknownRows(table), 1);
    }

    void repairReusesAnUnknownRowAndStopsWhenAsked() {
        FRESH_CHECKED_HOME(home);
        const int unknown = *GetLookupId(u"Subject"_s, u"SubjectId"_s, u"(unknown)"_s);
        addBooksWithoutSubject(2500);
        int steps = 0;
        const auto repairs = RepairBookReferences([&steps] { return ++steps < 1500; });
        QVERIFY(repairs);
        QCOMPARE(*repairs, 1500);
        QVERIFY(!gConn.inTransaction());
        // Books are examined in order of title: the first 1500 titles are the repaired ones (each line
        // the number of books and their last title, those left without a subject first).
        QCOMPARE(TextsOf(u"SELECT COUNT(*), MAX([Title]) FROM [Book] WHERE [SubjectId] IN (?, 999) "
                         "GROUP BY [SubjectId] ORDER BY [SubjectId] = 999 DESC"_s,
                         {unknown}),
                 QStringList({"1000|Lost 02500", "1500|Lost 01500"}));
        QCOMPARE(unknownRows(u"Subject"_s), 1);
    }

    void unusedAuthorsAreDeleted_data() {
        AddColumns<QString, int>("setup", "deleted");
        QTest::newRow("the sample book's author stays") << "" << 925;
        QTest::newRow("no books") << "DELETE FROM [Book]" << 926;
        QTest::newRow("a book without author") << "UPDATE [Book] SET [AuthorId] = NULL" << 926;
        QTest::newRow("a book whose author is gone") << "UPDATE [Book] SET [AuthorId] = 5000" << 926;
    }

    void unusedAuthorsAreDeleted() {
        const auto [setup, deleted] = FetchColumns<QString, int>("setup", "deleted");
        FRESH_CHECKED_HOME(home);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Author]"_s), 926);
        if (!setup.isEmpty())
            QVERIFY(gConn.execute(setup));
        const qint64 books = NumberOf(u"SELECT COUNT(*) FROM [Book]"_s);
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        DeleteUnusedAuthors();
        QCOMPARE(home.prompts().records().at(0).title + u": " + home.prompts().records().at(0).text,
                 u"Delete?: Delete all authors that are not currently used?"_s);
        QCOMPARE(home.prompts().lastShown(), u"Done: %1 authors deleted."_s.arg(deleted));
        // Authors left, books kept, and books whose author is among those left (every author left is used).
        QCOMPARE(
            TextsOf(
                u"SELECT (SELECT COUNT(*) FROM [Author]), (SELECT COUNT(*) FROM [Book]), (SELECT COUNT(*) "
                "FROM [Book] AS b INNER JOIN [Author] AS a ON a.[AuthorId] = b.[AuthorId])"_s),
            QStringList(u"%1|%2|%1"_s.arg(926 - deleted).arg(books)));
    }

    // Start Over asks twice, drops the edit pending in the editor (it belongs to the catalogue
    // being wiped) and leaves a new catalogue with its sample book; one that cannot delete the
    // catalogue says so once.
    void startOverAsksTwiceThenResets() {
        FRESH_CHECKED_HOME(home);
        AddTestBook(u"Second book"_s);
        AddTestBook(u"Third book"_s);
        const QString catalogue = CatalogueFilePath(gDBName);
        WriteFile(catalogue + u"-wal"_s, "left over");
        const auto window = OpenMainWindow();
        window->txtTitle->setText(u"Edited in the old catalogue"_s);
        window->cboSubject->setEditText(u"Collection 4"_s);
        QStringList seen;
        home.onNextModal([&seen](QDialog& dialog) {
            auto& window = dynamic_cast<frmStartOver&>(dialog);
            seen << window.windowTitle() << window.lblInfo1->text() << window.chkStartOver1->text()
                 << QString::number(window.chkStartOver1->isChecked());
            window.cmdStartOver->click(); // box clear: a warning
            seen << QString::number(window.isVisible());
            window.chkStartOver1->setChecked(true);
            window.cmdStartOver->click(); // No
            seen << QString::number(window.isVisible())
                 << QString::number(NumberOf(u"SELECT COUNT(*) FROM [Book]"_s));
            window.cmdStartOver->click(); // Yes
            seen << QString::number(window.isVisible());
            return window.result();
        });
        home.prompts().answerOk().answer(PromptAnswer::No).answer(PromptAnswer::Yes).answerOk();
        window->mnuToolsStartOver->trigger();
        QCOMPARE(seen.join(u'|'),
                 u"Start Over|3 books on file|Start over (delete all data and start again)|0|1|1|3|0"_s);
        QCOMPARE(home.prompts().texts().join(u'|'),
                 u"You have selected nothing to reset.|Reset database (delete all books)?|"
                 "Reset database (delete all books)?|System reset."_s);
        QVERIFY(home.prompts().last().title == u"Complete"_s && !QFile::exists(catalogue + u"-wal"_s));
        // The new catalogue's only book, and the pending edit's subject was never added.
        QCOMPARE(
            TextsOf(
                u"SELECT [Title], (SELECT COUNT(*) FROM [Subject] WHERE [Name] = 'Collection 4') FROM [Book]"_s),
            QStringList(u"Sample Book #1|0"_s));
        QVERIFY(window->txtTitle->text() == u"Sample Book #1"_s && !window->IsDirty());

        // The open catalogue is moved aside and a folder takes its name: it can be neither
        // deleted as a file nor opened again, which Start Over says once.
        QVERIFY(QFile::rename(catalogue, catalogue + u".moved"_s));
        QVERIFY(QDir().mkpath(catalogue + u"/inside"_s));
        home.onNextModal(ConfirmStartOver);
        home.prompts().answer(PromptAnswer::Yes).answerOk().answerOk();
        const int heard = home.prompts().count();
        int reloads = 0;
        ShowStartOver(nullptr, [&reloads] { ++reloads; });
        // The question, an error that names what could not be deleted, then the failed reopen's.
        const auto told = home.prompts().records().mid(heard);
        QCOMPARE(told.size(), 3);
        QCOMPARE(told[1].title + u'|' + told[1].text.left(14) + u'|' + told[2].title,
                 u"Error|Cannot delete |Error"_s);
        QVERIFY(reloads == 1 && !gConn.isOpen());

        // With the folder gone the catalogue is found again.
        QVERIFY(QDir(catalogue).removeRecursively());
        QVERIFY(QFile::rename(catalogue + u".moved"_s, catalogue));
        QVERIFY(OpenDatabase());
    }
};

TOMEKEEP_TEST(MaintenanceTest);
#include "tst_maintenance.moc"
