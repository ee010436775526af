#include "app/Settings.h"
#include "db/Connection.h"
#include "main/BookListModel.h"
#include "main/BookListQuery.h"
#include "main/BookListView.h"
#include "main/BookTestData.h"
#include "main/SearchState.h"
#include "main/frmWizard.h"
#include "support/CaseTestData.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {

// A book under a number of the test's choosing.
int addNumberedBook(int id, const QString& title, int pages, int year, double stars) {
    // Titles equal but for letter case are one title to the editor: the title is written after.
    const int added = AddTestBook(QString::number(id), [&](BookFields& b) {
        b.pages = pages;
        b.copyright = year;
        b.stars = stars;
    });
    if (!gConn.execute(QStringLiteral("UPDATE [Book] SET [BookId] = ?, [Title] = ? WHERE [BookId] = ?"),
                       {id, title, added}))
        qFatal("could not renumber the test book");
    return id;
}

// Books "Book 001" to "Book n" (and the catalogue's own sample book), written in one statement.
void addCountedBooks(int count) {
    QVERIFY(gConn.execute(QStringLiteral("DELETE FROM [Book]")));
    QVERIFY(gConn.execute(
        QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
            "INSERT INTO [Book] ([SubjectId], [LocationId], [FormatId], [RatingId], [AuthorId], [Title], "
            "[LabelNumber], [Copyright], [Pages], [Stars], [AcquireDate], [Cost], [LentDate]) "
            "SELECT 1, 1, 1, 1, 1, printf('Book %03d', i), '', 2000, i, 0, '', 0, '' FROM n "
            "WHERE i <= ?"),
        {count, count}));
}

QStringList countedTitles(int from, int to) {
    QStringList titles;
    for (int i = from; i <= to; ++i)
        titles << QStringLiteral("Book %1").arg(i, 3, 10, QChar(u'0'));
    return titles;
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

// A catalogue whose titles, labels, publishers, awards, authors, subjects, locations and notes
// each tell the searches apart.
void addSearchBooks() {
    AddTestBook(QStringLiteral("The Hobbit"), [](BookFields& b) {
        b.labelNumber = QStringLiteral("A-1");
        b.publisher = QStringLiteral("Allen & Unwin");
        b.notes = QStringLiteral("Signed copy\nfirst edition");
    });
    AddTestBook(QStringLiteral("the road"));
    AddTestBook(QStringLiteral("THE END"));
    AddTestBook(QStringLiteral("Other Stories"));
    AddTestBook(QStringLiteral("War and Peace"), [](BookFields& b) { b.locationId = 5; });
    AddTestBook(QStringLiteral("Star Wars"), [](BookFields& b) { b.authorId = 20; });
    AddTestBook(QStringLiteral("Coward"), [](BookFields& b) { b.subjectId = 14; });
    const int dune = AddTestBook(QStringLiteral("Dune"), [](BookFields& b) {
        b.authorId = 10;
        b.locationId = 4;
    });
    AddTestBook(QStringLiteral("Dune Messiah"), [](BookFields& b) { b.authorId = 10; });
    AddTestBook(QStringLiteral("O'Brien's Tale"));
    AddTestBook(QStringLiteral("100% Cotton"));
    AddTestBook(QStringLiteral("Lost Subject"), [](BookFields& b) { b.subjectId = 999; });
    AddTestBook(QStringLiteral("Straße der Sterne"));
    AddTestBook(QStringLiteral("Émile"));
    // Nebula Award and National Book Award: both match "N*".
    QVERIFY(AddBookAward(dune, 8));
    QVERIFY(AddBookAward(dune, 3));
}

} // namespace

class BookListTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyModeListsWhatItsPatternFinds_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("authorIds");
        QTest::addColumn<QStringList>("titles");
        const QStringList all = {"The Hobbit",        "the road",       "THE END",     "Other Stories",
                                 "War and Peace",     "Star Wars",      "Coward",      "Dune",
                                 "Dune Messiah",      "O'Brien's Tale", "100% Cotton", "Sample Book #1",
                                 "Straße der Sterne", "Émile"};
        QTest::newRow("all books, none with a missing subject") << int(kSearchAll) << ""
                                                                << "" << all;
        QTest::newRow("starts with, any case") << int(kSearchTitle) << "The*"
                                               << "" << QStringList{"The Hobbit", "the road", "THE END"};
        QTest::newRow("contains") << int(kSearchTitle) << "*war*"
                                  << "" << QStringList{"War and Peace", "Star Wars", "Coward"};
        QTest::newRow("whole title only") << int(kSearchTitle) << "dune"
                                          << "" << QStringList{"Dune"};
        QTest::newRow("one character") << int(kSearchTitle) << "?UNE"
                                       << "" << QStringList{"Dune"};
        QTest::newRow("accented capital") << int(kSearchTitle) << "ÉMILE*"
                                          << "" << QStringList{"Émile"};
        QTest::newRow("capital sharp s") << int(kSearchTitle) << "STRAẞE*"
                                         << "" << QStringList{"Straße der Sterne"};
        QTest::newRow("sharp s is not ss") << int(kSearchTitle) << "Strasse*"
                                           << "" << QStringList{};
        QTest::newRow("single quote") << int(kSearchTitle) << "O'Brien*"
                                      << "" << QStringList{"O'Brien's Tale"};
        QTest::newRow("typed percent is a wildcard") << int(kSearchTitle) << "1%n"
                                                     << "" << QStringList{"100% Cotton"};
        QTest::newRow("missing subject is in no list") << int(kSearchTitle) << "Lost*"
                                                       << "" << QStringList{};
        QTest::newRow("label") << int(kSearchLabel) << "a-?"
                               << "" << QStringList{"The Hobbit"};
        QTest::newRow("two matching awards, one row") << int(kSearchAward) << "N*"
                                                      << "" << QStringList{"Dune"};
        QTest::newRow("award") << int(kSearchAward) << "*prize"
                               << "" << QStringList{"Sample Book #1"};
        QTest::newRow("publisher") << int(kSearchPublisher) << "allen*"
                                   << "" << QStringList{"The Hobbit"};
        QTest::newRow("author ids, junk left out")
            << int(kSearchAuthor) << ""
            << "10,x, 20" << QStringList{"Dune", "Dune Messiah", "Star Wars"};
        QTest::newRow("no author ids, no books") << int(kSearchAuthor) << ""
                                                 << "" << QStringList{};
        QTest::newRow("author ids cannot inject") << int(kSearchAuthor) << ""
                                                  << "0) OR (1=1" << QStringList{};
        QTest::newRow("subject") << int(kSearchSubject) << "hor*"
                                 << "" << QStringList{"Coward"};
        QTest::newRow("location") << int(kSearchLocation) << "*shelf ?"
                                  << "" << QStringList{"Dune", "War and Peace"};
        QTest::newRow("notes across lines") << int(kSearchNotes) << "*SIGNED*"
                                            << "" << QStringList{"The Hobbit"};
        QTest::newRow("unknown mode lists all") << 2 << "x"
                                                << "" << all;
    }

    void everyModeListsWhatItsPatternFinds() {
        QFETCH(int, mode);
        QFETCH(QString, pattern);
        QFETCH(QString, authorIds);
        QFETCH(QStringList, titles);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        addSearchBooks();
        const auto rows = FetchBookRows(BookListQuery(mode, pattern, authorIds));
        QVERIFY2(rows, qPrintable(rows ? QString() : rows.error().messageText()));
        QStringList found;
        for (const BookRow& book : *rows)
            found << book.title;
        QCOMPARE(sorted(found), sorted(titles));
        // The list's own read, through the title keys where it can, finds the same books.
        BookListModel model;
        const std::optional<ListQuery> search =
            mode == kSearchAll ? std::nullopt : std::optional(BookIdsQuery(mode, pattern, authorIds, true));
        QVERIFY(model.reload(search, BookListModel::ColTitle, Qt::AscendingOrder));
        QCOMPARE(sorted(ListedTitles(model)), sorted(titles));
    }

    void currentQueryTakesTheActiveModesOwnPattern() {
        TestHome home;
        gSearchMode = kSearchNotes;
        gSearchTitle = QStringLiteral("title pattern");
        gSearchNotes = QStringLiteral("notes*");
        const ListQuery query = CurrentBookListQuery();
        QCOMPARE(query.params, QVariantList{QStringLiteral("notes%")});
        QVERIFY(query.sql.contains(QStringLiteral("m.[Notes] LIKE ?")));
    }

    void rowsShowTheirColumnsAsText() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const int thin = AddTestBook(QStringLiteral("Thin"), [](BookFields& b) {
            b.pages = 5;
            b.copyright = 1999;
            b.stars = 4;
            b.authorId = 3;
            b.subjectId = 14;
        });
        AddTestBook(QStringLiteral("Orphan"), [](BookFields& b) { b.authorId = 99999; });
        BookListModel model;
        QVERIFY(model.reload(std::nullopt, BookListModel::ColTitle, Qt::AscendingOrder));
        const int at = model.rowOfBook(thin);
        QCOMPARE(model.text(at, BookListModel::ColBookNumber),
                 QStringLiteral("%1").arg(thin, 5, 10, QChar(u'0')));
        QCOMPARE(model.text(at, BookListModel::ColPages), QStringLiteral("005"));
        QCOMPARE(model.text(at, BookListModel::ColYear), QStringLiteral("1999"));
        QCOMPARE(model.text(at, BookListModel::ColStars), QStringLiteral("4"));
        QCOMPARE(model.text(at, BookListModel::ColSubject), QStringLiteral("Horror"));
        QCOMPARE(model.text(at, BookListModel::ColLocation), QStringLiteral("(none)"));
        QCOMPARE(model.text(at, BookListModel::ColAuthor), *GetAuthorName(3));
        QCOMPARE(model.text(model.rowOfBook(1), BookListModel::ColStars), QStringLiteral("3.5"));
        QCOMPARE(model.text(model.rowOfBook(thin + 1), BookListModel::ColAuthor), QString());
        QCOMPARE(model.data(model.index(at, BookListModel::ColTitle), BookListModel::BookIdRole).toInt(),
                 thin);
    }

    void numberTextsKeepTheirWidth() {
        QCOMPARE(BookNumberText(12), QStringLiteral("00012"));
        QCOMPARE(BookNumberText(123456), QStringLiteral("123456"));
        QCOMPARE(PagesListText(0), QStringLiteral("000"));
        QCOMPARE(PagesListText(1200), QStringLiteral("1200"));
        QCOMPARE(PagesListText(-5), QStringLiteral("-005"));
    }

    void sortRules_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("title by letters, then case")
            << int(BookListModel::ColTitle) << int(Qt::AscendingOrder)
            << QStringList{"apple", "banana", "Banana", "cherry"};
        QTest::newRow("title descending") << int(BookListModel::ColTitle) << int(Qt::DescendingOrder)
                                          << QStringList{"cherry", "Banana", "banana", "apple"};
        QTest::newRow("pages by value") << int(BookListModel::ColPages) << int(Qt::AscendingOrder)
                                        << QStringList{"banana", "Banana", "apple", "cherry"};
        QTest::newRow("book number past five digits")
            << int(BookListModel::ColBookNumber) << int(Qt::AscendingOrder)
            << QStringList{"cherry", "Banana", "apple", "banana"};
        QTest::newRow("year, ties by title") << int(BookListModel::ColYear) << int(Qt::AscendingOrder)
                                             << QStringList{"cherry", "apple", "banana", "Banana"};
        QTest::newRow("year descending, ties still by title")
            << int(BookListModel::ColYear) << int(Qt::DescendingOrder)
            << QStringList{"apple", "banana", "Banana", "cherry"};
        QTest::newRow("stars") << int(BookListModel::ColStars) << int(Qt::AscendingOrder)
                               << QStringList{"cherry", "Banana", "apple", "banana"};
    }

    void sortRules() {
        QFETCH(int, column);
        QFETCH(int, order);
        QFETCH(QStringList, titles);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        QVERIFY(gConn.execute(QStringLiteral("DELETE FROM [Book]")));
        addNumberedBook(99999, QStringLiteral("Banana"), 999, 2001, 2.5);
        addNumberedBook(100000, QStringLiteral("apple"), 1000, 2001, 4);
        addNumberedBook(100001, QStringLiteral("banana"), 5, 2001, 4.5);
        addNumberedBook(7, QStringLiteral("cherry"), 1200, 1990, 0);
        BookListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(model.reload(std::nullopt, BookListModel::ColTitle, Qt::AscendingOrder));
        model.sort(column, Qt::SortOrder(order));
        QCOMPARE(ListedTitles(model), titles);
        // A fresh read in that order lists the same.
        QVERIFY(model.reload(std::nullopt, column, Qt::SortOrder(order)));
        QCOMPARE(ListedTitles(model), titles);
    }

    // Rows are read a page at a time: every row of every page, the first and the last, reads
    // what the catalogue holds, and a change another program makes shows in a page read after it.
    void pagesReadWhatTheCatalogueHolds_data() {
        QTest::addColumn<int>("books");
        QTest::newRow("empty list") << 0;
        QTest::newRow("one row") << 1;
        QTest::newRow("exactly one page") << 4;
        QTest::newRow("one past a page") << 5;
        QTest::newRow("three pages") << 12;
    }

    void pagesReadWhatTheCatalogueHolds() {
        QFETCH(int, books);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        addCountedBooks(books);
        BookListModel model(nullptr, 4);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(model.reload(std::nullopt, BookListModel::ColTitle, Qt::DescendingOrder));
        QCOMPARE(model.rowCount(), books);
        QStringList expected = countedTitles(1, books);
        std::reverse(expected.begin(), expected.end());
        if (books < 12) {
            QCOMPARE(ListedTitles(model), expected);
            return;
        }
        // Page one is read; then another program renames a book of it and one of page two, and
        // deletes the last book.
        QCOMPARE(model.text(0, BookListModel::ColTitle), expected.first());
        const int deleted = model.bookIdAt(books - 1);
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(gConn.filePath());
        QVERIFY(other.open());
        for (const int row : {1, 4})
            QSqlQuery(QStringLiteral("UPDATE [Book] SET [Title] = 'Renamed' WHERE [BookId] = %1")
                          .arg(model.bookIdAt(row)),
                      other);
        QSqlQuery(QStringLiteral("DELETE FROM [Book] WHERE [BookId] = %1").arg(deleted), other);
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        expected[4] = QStringLiteral("Renamed");
        expected.last().clear();
        QCOMPARE(ListedTitles(model), expected);
        QCOMPARE(model.bookIdAt(books - 1), deleted);
        model.refreshRow(1);
        QCOMPARE(model.text(1, BookListModel::ColTitle), QStringLiteral("Renamed"));
        QVERIFY(model.reload(std::nullopt, BookListModel::ColTitle, Qt::AscendingOrder));
        QCOMPARE(model.rowCount(), books - 1);
        QCOMPARE(ListedTitles(model).mid(books - 3), QStringList({"Renamed", "Renamed"}));
        QCOMPARE(model.rowOfBook(deleted), -1);
    }

    // Accented and lower-case titles and authors sit where a reader looks for them.
    void mixedTextsListInReadingOrder() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        QVERIFY(gConn.execute(QStringLiteral("DELETE FROM [Book]")));
        const QStringList ordered = ReadingOrderTitles();
        for (auto text = ordered.crbegin(); text != ordered.crend(); ++text)
            AddTestBook(*text,
                        [&text](BookFields& b) { b.authorId = *GetLookupId("Author", "AuthorId", *text); });
        const auto window = OpenMainWindow();
        QCOMPARE(ListedTitles(window->ListModel()), ordered);
        window->ListModel().sort(BookListModel::ColAuthor, Qt::DescendingOrder);
        QCOMPARE(ColumnTexts(window->ListModel(), BookListModel::ColAuthor),
                 QStringList(ordered.crbegin(), ordered.crend()));
    }

    // A save that moves the shown book to another page keeps it selected there; deleting the
    // last row lists the rest.
    void savesAndDeletesAcrossPages() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        addCountedBooks(3 * BookListModel::kPageRows);
        const int books = 3 * BookListModel::kPageRows;
        const auto window = OpenMainWindow();
        QCOMPARE(window->lblCount->text(), QStringLiteral("Books in list: %1").arg(books));
        const int first = window->lstMain->selectedBookId();
        window->txtTitle->setText(QStringLiteral("Zz last"));
        QTest::mouseClick(window->cmdSaveChanges, Qt::LeftButton);
        QCOMPARE(window->lstMain->selectedRow(), books - 1);
        QCOMPARE(window->lstMain->selectedBookId(), first);
        QCOMPARE(window->ListModel().text(books - 1, BookListModel::ColTitle), QStringLiteral("Zz last"));
        QCOMPARE(window->ListModel().text(0, BookListModel::ColTitle), QStringLiteral("Book 002"));
        home.prompts().answer(PromptAnswer::Yes);
        QTest::mouseClick(window->cmdDeleteBook, Qt::LeftButton);
        QCOMPARE(window->lblCount->text(), QStringLiteral("Books in list: %1").arg(books - 1));
        QCOMPARE(ListedTitles(window->ListModel()), countedTitles(2, books));
        QCOMPARE(window->lstMain->selectedRow(), 0);
        QCOMPARE(window->txtTitle->text(), QStringLiteral("Book 002"));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void modelKeepsSelectionThroughSortsAndUpdates() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        QVERIFY(gConn.execute(QStringLiteral("DELETE FROM [Book]")));
        addNumberedBook(1, QStringLiteral("b"), 30, 2000, 0);
        addNumberedBook(2, QStringLiteral("a"), 10, 2000, 0);
        addNumberedBook(3, QStringLiteral("c"), 20, 2000, 0);
        BookListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(model.reload(std::nullopt, BookListModel::ColTitle, Qt::AscendingOrder));
        const QPersistentModelIndex kept = model.index(model.rowOfBook(3), BookListModel::ColTitle);
        model.sort(BookListModel::ColPages, Qt::DescendingOrder);
        QCOMPARE(model.bookIdAt(kept.row()), 3);
        QCOMPARE(kept.row(), 1);
        QVERIFY(gConn.execute(QStringLiteral("UPDATE [Book] SET [AuthorId] = 3 WHERE [BookId] = 3")));
        model.refreshRow(kept.row());
        QCOMPARE(model.text(kept.row(), BookListModel::ColAuthor), *GetAuthorName(3));
        model.clear();
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!kept.isValid());
    }

    void sortSettings() {
        TestHome home;
        QCOMPARE(StoredListSort().column, int(BookListModel::ColTitle));
        QCOMPARE(StoredListSort().order, Qt::AscendingOrder);
        SaveSetting(QStringLiteral("SortCol"), QStringLiteral("abc"));
        QCOMPARE(StoredListSort().column, int(BookListModel::ColBookNumber));
        for (const char* outside : {"8", "-1", "99"}) {
            SaveSetting(QStringLiteral("SortCol"), QLatin1String(outside));
            QCOMPARE(StoredListSort().column, int(BookListModel::ColTitle));
        }
        SaveSetting(QStringLiteral("SortOrder"), QStringLiteral("2"));
        QCOMPARE(StoredListSort().order, Qt::AscendingOrder);
        StoreListSort({BookListModel::ColYear, Qt::DescendingOrder});
        QCOMPARE(GetSetting(QStringLiteral("SortCol")), QStringLiteral("6"));
        QCOMPARE(GetSetting(QStringLiteral("SortOrder")), QStringLiteral("1"));

        ListSort sort{BookListModel::ColTitle, Qt::AscendingOrder};
        sort = ClickedListSort(sort, BookListModel::ColYear);
        QCOMPARE(sort.order, Qt::AscendingOrder);
        sort = ClickedListSort(sort, BookListModel::ColYear);
        QCOMPARE(sort.order, Qt::DescendingOrder);
        sort = ClickedListSort(sort, BookListModel::ColYear);
        QCOMPARE(sort.order, Qt::AscendingOrder);
        QCOMPARE(sort.column, int(BookListModel::ColYear));
    }

    void headerClicksSortAndAreRemembered() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        AddTestBook(QStringLiteral("Old"), [](BookFields& b) { b.copyright = 1950; });
        AddTestBook(QStringLiteral("New"), [](BookFields& b) { b.copyright = 2020; });
        const QStringList byTitle = {"New", "Old", "Sample Book #1"};
        const QString thisYear = QString::number(QDate::currentDate().year());
        {
            const auto window = OpenMainWindow();
            QCOMPARE(ListedTitles(window->ListModel()), byTitle);
            QHeaderView* header = window->lstMain->header();
            const QPoint year(header->sectionViewportPosition(BookListModel::ColYear) + 4,
                              header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, year);
            QCOMPARE(ColumnTexts(window->ListModel(), BookListModel::ColYear),
                     QStringList({"1950", "2020", thisYear}));
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, year);
            QCOMPARE(ColumnTexts(window->ListModel(), BookListModel::ColYear),
                     QStringList({thisYear, "2020", "1950"}));
            QCOMPARE(header->sortIndicatorSection(), int(BookListModel::ColYear));
            QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
            QCOMPARE(GetSetting(QStringLiteral("SortCol")), QStringLiteral("6"));
            QCOMPARE(GetSetting(QStringLiteral("SortOrder")), QStringLiteral("1"));
        }
        const auto restarted = OpenMainWindow();
        QCOMPARE(ColumnTexts(restarted->ListModel(), BookListModel::ColYear),
                 QStringList({thisYear, "2020", "1950"}));
        QCOMPARE(restarted->lstMain->selectedBookId(), 1);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void emptySearchAsksToClear_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("listed");
        QTest::newRow("yes lists all books") << int(PromptAnswer::Yes) << 1;
        QTest::newRow("no keeps the empty search") << int(PromptAnswer::No) << 0;
        QTest::newRow("cancel keeps the empty search") << int(PromptAnswer::Cancel) << 0;
    }

    void emptySearchAsksToClear() {
        QFETCH(int, answer);
        QFETCH(int, listed);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        gSearchMode = kSearchTitle;
        gSearchTitle = QStringLiteral("nothing*");
        home.prompts().answer(PromptAnswer(answer));
        window->PopulateLstMain();
        QCOMPARE(home.prompts().last().title, QStringLiteral("Clear Search"));
        QCOMPARE(home.prompts().last().text,
                 QStringLiteral("Your search no longer finds any Books.  Clear your search?"));
        QCOMPARE(home.prompts().last().buttons, PromptButtons::YesNoCancel);
        QCOMPARE(window->ListModel().rowCount(), listed);
        QCOMPARE(window->lblCount->text(), QStringLiteral("Books in list: %1").arg(listed));
        QCOMPARE(gSearchMode, listed ? int(kSearchAll) : int(kSearchTitle));
        QCOMPARE(window->txtTitle->isEnabled(), listed == 1);
        QCOMPARE(window->txtTitle->text(), listed ? QStringLiteral("Sample Book #1") : QString());
        QVERIFY(!window->IsDirty());
        QVERIFY(!window->cmdSaveChanges->isEnabled());
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void typedLetterJumpsInTheShownOrderWithoutShowing() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        AddTestBook(QStringLiteral("Moby Dick"), [](BookFields& b) { b.copyright = 1871; });
        AddTestBook(QStringLiteral("Middlemarch"), [](BookFields& b) { b.copyright = 1851; });
        AddTestBook(QStringLiteral("Emma"), [](BookFields& b) { b.copyright = 1815; });
        StoreListSort({BookListModel::ColYear, Qt::DescendingOrder});
        const auto window = OpenMainWindow();
        const QString shown = window->txtBookId->text();
        window->lstMain->setFocus();
        QTest::keyClick(window->lstMain, Qt::Key_M, Qt::NoModifier);
        QCOMPARE(window->ListModel().book(window->lstMain->selectedRow()).title, QStringLiteral("Moby Dick"));
        QCOMPARE(window->txtBookId->text(), shown);
        QTest::keyClick(window->lstMain, Qt::Key_Z, Qt::NoModifier);
        QCOMPARE(window->ListModel().book(window->lstMain->selectedRow()).title, QStringLiteral("Moby Dick"));
        QTest::keyClick(window->lstMain, Qt::Key_Down, Qt::NoModifier);
        QCOMPARE(window->txtTitle->text(), QStringLiteral("Middlemarch"));
    }
};

TOMEKEEP_TEST(BookListTest);
#include "tst_booklist.moc"
