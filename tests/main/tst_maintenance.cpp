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

QString nameOf(const QString& table, const QString& title) {
    auto row = Recordset::open(u"SELECT t.[Name] FROM [Book] AS b INNER JOIN [" + table + u"] AS t ON t.[" +
                                   table + u"Id] = b.[" + table + u"Id] WHERE b.[Title] = ?",
                               {title});
    return row && !row->eof() ? row->text(0) : u"<none>"_s;
}

qint64 unknownRows(const QString& table) {
    return NumberOf(u"SELECT COUNT(*) FROM [" + table + u"] WHERE [Name] = '(unknown)'");
}

} // namespace

class MaintenanceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void repairPointsBrokenBooksAtUnknownRows() {
        FRESH_MAIN_HOME(home);
        // Lookup numbers no row holds; a book written before ratings had no rating at all.
        AddTestBook(u"Lost subject and location"_s, [](BookFields& b) { b.subjectId = b.locationId = 990; });
        AddTestBook(u"Lost format"_s, [](BookFields& b) { b.formatId = 990; });
        AddTestBook(u"Rating never set"_s, [](BookFields& b) { b.ratingId = 0; });
        const int lostAuthor = AddTestBook(u"Lost author"_s, [](BookFields& b) { b.authorId = 5000; });
        int reloads = 0;
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        CheckAndRepair([&reloads] { ++reloads; });
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        const auto& question = home.prompts().records().at(0);
        QCOMPARE(question.title + u": " + question.text, u"Repair: Repair database?"_s);
        QCOMPARE(question.buttons, PromptButtons::YesNoCancel);
        QCOMPARE(home.prompts().lastShown(), u"Repair complete: 4 problems repaired."_s);
        QCOMPARE(reloads, 1);
        QCOMPARE(ProgressWindow(), nullptr);
        QCOMPARE(
            QStringList({nameOf(u"Subject"_s, u"Lost subject and location"_s),
                         nameOf(u"Location"_s, u"Lost subject and location"_s),
                         nameOf(u"Format"_s, u"Lost format"_s), nameOf(u"Rating"_s, u"Rating never set"_s)})
                .join(u'|'),
            u"(unknown)|(unknown)|(unknown)|(unknown)"_s);
        QCOMPARE(NumberOf(u"SELECT [AuthorId] FROM [Book] WHERE [BookId] = ?"_s, {lostAuthor}), 5000);

        // A second run finds nothing and adds no second "(unknown)" row.
        home.prompts().clear();
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        CheckAndRepair([&reloads] { ++reloads; });
        QCOMPARE(home.prompts().last().text, u"No problems found."_s);
        QCOMPARE(reloads, 1);
        for (const QString& table : {u"Subject"_s, u"Location"_s, u"Format"_s, u"Rating"_s})
            QCOMPARE(unknownRows(table), 1);
    }

    void repairReusesAnUnknownRowAndStopsWhenAsked() {
        FRESH_MAIN_HOME(home);
        const int unknown = *GetLookupId(u"Subject"_s, u"SubjectId"_s, u"(unknown)"_s);
        addBooksWithoutSubject(2500);
        int steps = 0;
        const auto repairs = RepairBookReferences([&steps] { return ++steps < 1500; });
        QVERIFY(repairs);
        QCOMPARE(*repairs, 1500);
        QVERIFY(!gConn.inTransaction());
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE [SubjectId] = ?"_s, {unknown}), 1500);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE [SubjectId] = 999"_s), 1000);
        // Books are examined in order of title: the first 1500 titles are the repaired ones.
        QCOMPARE(TextsOf(u"SELECT MAX([Title]) FROM [Book] WHERE [SubjectId] = ?"_s, {unknown}),
                 QStringList{"Lost 01500"});
        QCOMPARE(unknownRows(u"Subject"_s), 1);
    }

    // An answer other than Yes changes nothing; Cancel in the progress window stops the repair.
    void cancelStopsTheRepair() {
        FRESH_MAIN_HOME(home);
        addBooksWithoutSubject(50);
        const qint64 authors = NumberOf(u"SELECT COUNT(*) FROM [Author]"_s);
        home.prompts().answer(PromptAnswer::No).answer(PromptAnswer::Cancel);
        CheckAndRepair({});
        DeleteUnusedAuthors();
        QCOMPARE(home.prompts().count(), 2);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE [SubjectId] = 999"_s), 50);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Author]"_s), authors);
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
        QVERIFY(wasVisible);
        QCOMPARE(ProgressWindow(), nullptr);
        QCOMPARE(home.prompts().last().text, u"1 problems repaired."_s);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE [SubjectId] = 999"_s), 49);
    }

    void unusedAuthorsAreDeleted_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("deleted");
        QTest::newRow("the sample book's author stays") << "" << 925;
        QTest::newRow("no books") << "DELETE FROM [Book]" << 926;
        QTest::newRow("a book without author") << "UPDATE [Book] SET [AuthorId] = NULL" << 926;
        QTest::newRow("a book whose author is gone") << "UPDATE [Book] SET [AuthorId] = 5000" << 926;
    }

    void unusedAuthorsAreDeleted() {
        QFETCH(QString, setup);
        QFETCH(int, deleted);
        FRESH_MAIN_HOME(home);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Author]"_s), 926);
        if (!setup.isEmpty())
            QVERIFY(gConn.execute(setup));
        const qint64 books = NumberOf(u"SELECT COUNT(*) FROM [Book]"_s);
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        DeleteUnusedAuthors();
        QCOMPARE(home.prompts().records().at(0).title + u": " + home.prompts().records().at(0).text,
                 u"Delete?: Delete all authors that are not currently used?"_s);
        QCOMPARE(home.prompts().lastShown(), u"Done: %1 authors deleted."_s.arg(deleted));
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Author]"_s), 926 - deleted);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book]"_s), books);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] AS b INNER JOIN [Author] AS a "
                          "ON a.[AuthorId] = b.[AuthorId]"_s),
                 NumberOf(u"SELECT COUNT(*) FROM [Author]"_s));
    }

    // Start Over asks twice, drops the edit pending in the editor (it belongs to the catalogue
    // being wiped) and leaves a new catalogue with its sample book.
    void startOverAsksTwiceThenResets() {
        FRESH_MAIN_HOME(home);
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
        QCOMPARE(home.prompts().last().title, u"Complete"_s);
        QVERIFY(gConn.isOpen());
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book]"_s), 1);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE [Title] = 'Sample Book #1'"_s), 1);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Subject] WHERE [Name] = 'Collection 4'"_s), 0);
        QVERIFY(!QFile::exists(catalogue + u"-wal"_s));
        QCOMPARE(window->txtTitle->text(), u"Sample Book #1"_s);
        QVERIFY(!window->IsDirty());
    }

    void startOverThatCannotDeleteSaysSoOnce() {
        FRESH_MAIN_HOME(home);
        const QString catalogue = CatalogueFilePath(gDBName);
        // The open catalogue is moved aside and a folder takes its name: it can be neither
        // deleted as a file nor opened again.
        QVERIFY(QFile::rename(catalogue, catalogue + u".moved"_s));
        QVERIFY(QDir().mkpath(catalogue + u"/inside"_s));
        home.onNextModal(ConfirmStartOver);
        home.prompts().answer(PromptAnswer::Yes).answerOk().answerOk();
        int reloads = 0;
        ShowStartOver(nullptr, [&reloads] { ++reloads; });
        QCOMPARE(home.prompts().count(), 3);
        QCOMPARE(home.prompts().records().at(1).title, u"Error"_s);
        QVERIFY(home.prompts().records().at(1).text.startsWith(u"Cannot delete "_s));
        QCOMPARE(home.prompts().records().at(2).title, u"Error"_s);
        QCOMPARE(reloads, 1);
        QVERIFY(!gConn.isOpen());

        // With the folder gone the catalogue is found again.
        QVERIFY(QDir(catalogue).removeRecursively());
        QVERIFY(QFile::rename(catalogue + u".moved"_s, catalogue));
        QVERIFY(OpenDatabase());
    }
};

TOMEKEEP_TEST(MaintenanceTest);
#include "tst_maintenance.moc"
