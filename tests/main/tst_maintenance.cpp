#include "app/Paths.h"
#include "app/ProgressWindows.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "db/RecordHelpers.h"
#include "db/Recordset.h"
#include "main/BookTestData.h"
#include "main/Maintenance.h"
#include "main/frmStartOver.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

qint64 number(const QString& sql, const QVariantList& params = {}) {
    const auto value = QueryNumber(sql, params);
    return value ? *value : -1;
}

int lookupId(const QString& table, const QString& name) {
    const auto id = GetLookupId(table, table + QStringLiteral("Id"), name);
    return id ? *id : -1;
}

int addBook(const QString& title) {
    BookFields book;
    book.title = title;
    book.subjectId = book.formatId = book.ratingId = book.locationId = 1;
    book.authorId = 1;
    const auto id = InsertBook(book);
    return id ? *id : -1;
}

// Adds `count` books whose subject row does not exist, quickly.
void addBooksWithoutSubject(int count) {
    QVERIFY(gConn.execute(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                       "INSERT INTO [Book] ([SubjectId], [LocationId], [FormatId], [RatingId], [AuthorId], "
                       "[Title], [LabelNumber], "
                       "[Copyright], [Pages], [Stars], [AcquireDate], [Cost], [LentDate]) "
                       "SELECT 999, 1, 1, 1, 1, printf('Lost %05d', i), '', 0, 0, 0, '1899-01-01', 0, "
                       "'1899-01-01' FROM n"),
        {count}));
}

QString nameOf(const QString& table, const QString& title) {
    auto row = Recordset::open(u"SELECT t.[Name] FROM [Book] AS b INNER JOIN [" + table + u"] AS t ON t.[" +
                                   table + u"Id] = b.[" + table + u"Id] WHERE b.[Title] = ?",
                               {title});
    return row && !row->eof() ? row->text(0) : QStringLiteral("<none>");
}

qint64 unknownRows(const QString& table) {
    return number(u"SELECT COUNT(*) FROM [" + table + u"] WHERE [Name] = '(unknown)'");
}

} // namespace

class MaintenanceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void checkLookupRefFindsOrPointsAtUnknown() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        int id = 5;
        auto found = CheckLookupRef(id, QStringLiteral("Format"), QStringLiteral("FormatId"));
        QVERIFY(found && *found);
        QCOMPARE(id, 5);
        id = 999;
        found = CheckLookupRef(id, QStringLiteral("Format"), QStringLiteral("FormatId"));
        QVERIFY(found && !*found);
        QCOMPARE(id, lookupId(QStringLiteral("Format"), QStringLiteral("(unknown)")));
        int again = 0;
        found = CheckLookupRef(again, QStringLiteral("Format"), QStringLiteral("FormatId"));
        QVERIFY(found && !*found);
        QCOMPARE(again, id);
        QCOMPARE(unknownRows(QStringLiteral("Format")), 1);
    }

    void repairPointsBrokenBooksAtUnknownRows() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const int lostTwice = addBook(QStringLiteral("Lost subject and location"));
        const int lostFormat = addBook(QStringLiteral("Lost format"));
        const int noRating = addBook(QStringLiteral("Rating never set"));
        const int lostAuthor = addBook(QStringLiteral("Lost author"));
        const int goneSubject = lookupId(QStringLiteral("Subject"), QStringLiteral("Gone subject"));
        const int goneLocation = lookupId(QStringLiteral("Location"), QStringLiteral("Gone location"));
        const int goneFormat = lookupId(QStringLiteral("Format"), QStringLiteral("Gone format"));
        QVERIFY(gConn.execute(
            QStringLiteral("UPDATE [Book] SET [SubjectId] = ?, [LocationId] = ? WHERE [BookId] = ?"),
            {goneSubject, goneLocation, lostTwice}));
        QVERIFY(gConn.execute(QStringLiteral("UPDATE [Book] SET [FormatId] = ? WHERE [BookId] = ?"),
                              {goneFormat, lostFormat}));
        QVERIFY(
            gConn.execute(QStringLiteral("UPDATE [Book] SET [RatingId] = 0 WHERE [BookId] = ?"), {noRating}));
        QVERIFY(gConn.execute(QStringLiteral("UPDATE [Book] SET [AuthorId] = 5000 WHERE [BookId] = ?"),
                              {lostAuthor}));
        for (const QString& table :
             {QStringLiteral("Subject"), QStringLiteral("Location"), QStringLiteral("Format")})
            QVERIFY(gConn.execute(u"DELETE FROM [" + table + u"] WHERE [Name] LIKE 'Gone %'"));

        int reloads = 0;
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        CheckAndRepair([&reloads] { ++reloads; });
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QCOMPARE(home.prompts().records().at(0).title, QStringLiteral("Repair"));
        QCOMPARE(home.prompts().records().at(0).text, QStringLiteral("Repair database?"));
        QCOMPARE(home.prompts().records().at(0).buttons, PromptButtons::YesNoCancel);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Repair complete"));
        QCOMPARE(home.prompts().last().text, QStringLiteral("4 problems repaired."));
        QCOMPARE(reloads, 1);
        QCOMPARE(ProgressWindow(), nullptr);
        QCOMPARE(nameOf(QStringLiteral("Subject"), QStringLiteral("Lost subject and location")),
                 QStringLiteral("(unknown)"));
        QCOMPARE(nameOf(QStringLiteral("Location"), QStringLiteral("Lost subject and location")),
                 QStringLiteral("(unknown)"));
        QCOMPARE(nameOf(QStringLiteral("Format"), QStringLiteral("Lost format")),
                 QStringLiteral("(unknown)"));
        QCOMPARE(nameOf(QStringLiteral("Rating"), QStringLiteral("Rating never set")),
                 QStringLiteral("(unknown)"));
        QCOMPARE(number(QStringLiteral("SELECT [AuthorId] FROM [Book] WHERE [BookId] = ?"), {lostAuthor}),
                 5000);

        // A second run finds nothing and adds no second "(unknown)" row.
        home.prompts().clear();
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        CheckAndRepair([&reloads] { ++reloads; });
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QCOMPARE(home.prompts().last().text, QStringLiteral("No problems found."));
        QCOMPARE(reloads, 1);
        for (const QString& table : {QStringLiteral("Subject"), QStringLiteral("Location"),
                                     QStringLiteral("Format"), QStringLiteral("Rating")})
            QCOMPARE(unknownRows(table), 1);
    }

    void repairReusesAnUnknownRowAndStopsWhenAsked() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const int unknown = lookupId(QStringLiteral("Subject"), QStringLiteral("(unknown)"));
        addBooksWithoutSubject(2500);
        int steps = 0;
        const auto repairs = RepairBookReferences([&steps] { return ++steps < 1500; });
        QVERIFY(repairs);
        QCOMPARE(*repairs, 1500);
        QVERIFY(!gConn.inTransaction());
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [SubjectId] = ?"), {unknown}),
                 1500);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [SubjectId] = 999")), 1000);
        // Books are examined in order of title: the first 1500 titles are the repaired ones.
        auto last = Recordset::open(QStringLiteral("SELECT MAX([Title]) FROM [Book] WHERE [SubjectId] = ?"),
                                    {unknown});
        QVERIFY(last && last->text(0) == QStringLiteral("Lost 01500"));
        QCOMPARE(unknownRows(QStringLiteral("Subject")), 1);
    }

    void cancelStopsTheRepair() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        addBooksWithoutSubject(50);
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
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QVERIFY(wasVisible);
        QCOMPARE(ProgressWindow(), nullptr);
        QCOMPARE(home.prompts().last().text, QStringLiteral("1 problems repaired."));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [SubjectId] = 999")), 49);
    }

    void anAnswerOtherThanYesChangesNothing() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        addBooksWithoutSubject(3);
        const qint64 authors = number(QStringLiteral("SELECT COUNT(*) FROM [Author]"));
        home.prompts().answer(PromptAnswer::No).answer(PromptAnswer::Cancel);
        CheckAndRepair({});
        DeleteUnusedAuthors();
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QCOMPARE(home.prompts().count(), 2);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [SubjectId] = 999")), 3);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Author]")), authors);
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
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Author]")), 926);
        if (!setup.isEmpty())
            QVERIFY(gConn.execute(setup));
        const qint64 books = number(QStringLiteral("SELECT COUNT(*) FROM [Book]"));
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        DeleteUnusedAuthors();
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QCOMPARE(home.prompts().records().at(0).title, QStringLiteral("Delete?"));
        QCOMPARE(home.prompts().records().at(0).text,
                 QStringLiteral("Delete all authors that are not currently used?"));
        QCOMPARE(home.prompts().last().title, QStringLiteral("Done"));
        QCOMPARE(home.prompts().last().text, QString::number(deleted) + QStringLiteral(" authors deleted."));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Author]")), 926 - deleted);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Book]")), books);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Book] AS b INNER JOIN [Author] AS a "
                                       "ON a.[AuthorId] = b.[AuthorId]")),
                 number(QStringLiteral("SELECT COUNT(*) FROM [Author]")));
    }

    // The edit pending in the editor belongs to the catalogue being wiped.
    void startOverDropsThePendingEdit() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        window->txtTitle->setText(QStringLiteral("Edited in the old catalogue"));
        window->cboSubject->setEditText(QStringLiteral("Collection 4"));
        home.onNextModal([](QDialog& dialog) {
            auto& startOver = dynamic_cast<frmStartOver&>(dialog);
            startOver.chkStartOver1->setChecked(true);
            startOver.cmdStartOver->click();
            return startOver.result();
        });
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        window->mnuToolsStartOver->trigger();
        QCOMPARE(home.prompts().texts(), (QStringList{QStringLiteral("Reset database (delete all books)?"),
                                                      QStringLiteral("System reset.")}));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Subject] WHERE [Name] = 'Collection 4'")), 0);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [Title] = 'Sample Book #1'")), 1);
        QCOMPARE(window->txtTitle->text(), QStringLiteral("Sample Book #1"));
        QVERIFY(!window->IsDirty());
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void startOverAsksTwiceThenResets() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        addBook(QStringLiteral("Second book"));
        addBook(QStringLiteral("Third book"));
        const QString catalogue = CatalogueFilePath(gDBName);
        QFile stale(catalogue + QStringLiteral("-wal"));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("left over");
        stale.close();
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
                 << QString::number(number(QStringLiteral("SELECT COUNT(*) FROM [Book]")));
            window.cmdStartOver->click(); // Yes
            seen << QString::number(window.isVisible());
            return window.result();
        });
        home.prompts().answerOk().answer(PromptAnswer::No).answer(PromptAnswer::Yes).answerOk();
        int reloads = 0;
        ShowStartOver(nullptr, [&reloads] { ++reloads; });
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QCOMPARE(seen, (QStringList{QStringLiteral("Start Over"), QStringLiteral("3 books on file"),
                                    QStringLiteral("Start over (delete all data and start again)"),
                                    QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("1"),
                                    QStringLiteral("3"), QStringLiteral("0")}));
        const QStringList texts = home.prompts().texts();
        QCOMPARE(texts, (QStringList{QStringLiteral("You have selected nothing to reset."),
                                     QStringLiteral("Reset database (delete all books)?"),
                                     QStringLiteral("Reset database (delete all books)?"),
                                     QStringLiteral("System reset.")}));
        QCOMPARE(home.prompts().last().title, QStringLiteral("Complete"));
        QCOMPARE(reloads, 1);
        QVERIFY(gConn.isOpen());
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Book]")), 1);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [Title] = 'Sample Book #1'")), 1);
        QVERIFY(!QFile::exists(catalogue + QStringLiteral("-wal")));
    }

    void startOverThatCannotDeleteSaysSoOnce() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const QString catalogue = CatalogueFilePath(gDBName);
        // The open catalogue is moved aside and a folder takes its name: it can be neither
        // deleted as a file nor opened again.
        QVERIFY(QFile::rename(catalogue, catalogue + QStringLiteral(".moved")));
        QVERIFY(QDir().mkpath(catalogue + QStringLiteral("/inside")));
        home.onNextModal([](QDialog& dialog) {
            auto& window = dynamic_cast<frmStartOver&>(dialog);
            window.chkStartOver1->setChecked(true);
            window.cmdStartOver->click();
            return window.isVisible() ? -1 : window.result();
        });
        home.prompts().answer(PromptAnswer::Yes).answerOk().answerOk();
        int reloads = 0;
        ShowStartOver(nullptr, [&reloads] { ++reloads; });
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QCOMPARE(home.prompts().count(), 3);
        QCOMPARE(home.prompts().records().at(1).title, QStringLiteral("Error"));
        QVERIFY(home.prompts().records().at(1).text.startsWith(QStringLiteral("Cannot delete ")));
        QCOMPARE(home.prompts().records().at(2).title, QStringLiteral("Error"));
        QCOMPARE(reloads, 1);
        QVERIFY(!gConn.isOpen());

        // With the folder gone the catalogue is found again.
        QVERIFY(QDir(catalogue).removeRecursively());
        QVERIFY(QFile::rename(catalogue + QStringLiteral(".moved"), catalogue));
        QVERIFY(OpenDatabase());
    }
};

TOMEKEEP_TEST(MaintenanceTest);
#include "tst_maintenance.moc"
