#include "app/Settings.h"
#include "main/BookListQuery.h"
#include "main/BookTestData.h"
#include "main/QuickFilter.h"
#include "support/CaseTestData.h"
#include "support/SqliteTool.h"

#include <QAbstractItemModelTester>

namespace {

// A book under a number of the test's choosing.
int addNumberedBook(int id, const QString& title, int pages, int year, double stars) {
    // Titles equal but for letter case are one title to the editor: the title is written after.
    const int added = AddTestBook(QString::number(id), [&](BookFields& b) {
        b.pages = pages;
        b.copyright = year;
        b.stars = stars;
    });
    if (!gConn.execute(u"UPDATE [Book] SET [BookId] = ?, [Title] = ? WHERE [BookId] = ?"_s,
                       {id, title, added}))
        qFatal("could not renumber the test book");
    return id;
}

// Books "Book 001" to "Book n" (and the catalogue's own sample book), written in one statement.
void addCountedBooks(int count) {
    QVERIFY(gConn.execute(u"DELETE FROM [Book]"_s));
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
        titles << u"Book %1"_s.arg(i, 3, 10, QChar(u'0'));
    return titles;
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

// A catalogue whose titles, authors, awards and subjects try the list's own rules; each search's
// plain matching is tried through the Search menu's windows.
void addSearchBooks() {
    for (const char* title :
         {"The Hobbit", "War and Peace", "Coward", "100% Cotton", "Straße der Sterne", "Émile"})
        AddTestBook(QString::fromUtf8(title));
    AddTestBook(u"Star Wars"_s, [](BookFields& b) { b.authorId = 20; });
    const int dune = AddTestBook(u"Dune"_s, [](BookFields& b) { b.authorId = 10; });
    AddTestBook(u"Dune Messiah"_s, [](BookFields& b) { b.authorId = 10; });
    AddTestBook(u"Lost Subject"_s, [](BookFields& b) { b.subjectId = 999; });
    // Nebula Award and National Book Award: both match "N*".
    QVERIFY(AddBookAward(dune, 8));
    QVERIFY(AddBookAward(dune, 3));
}

} // namespace

class BookListTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyModeListsWhatItsPatternFinds_data() {
        // titles: "|" between titles
        AddColumns<int, QString, QString, QString>("mode", "pattern", "authorIds", "titles");
        const char* all = "The Hobbit|War and Peace|Star Wars|Coward|Dune|Dune Messiah|100% Cotton|"
                          "Sample Book #1|Straße der Sterne|Émile";
        const int title = kSearchTitle;
        AddRow("all books, none with a missing subject", int(kSearchAll), "", "", all);
        AddRow("contains, any case", title, "*war*", "", "War and Peace|Star Wars|Coward");
        AddRow("whole title only", title, "dune", "", "Dune");
        AddRow("one character", title, "?UNE", "", "Dune");
        AddRow("accented capital", title, "ÉMILE*", "", "Émile");
        AddRow("capital sharp s", title, "STRAẞE*", "", "Straße der Sterne");
        AddRow("sharp s is not ss", title, "Strasse*", "", "");
        AddRow("typed percent is a wildcard", title, "1%n", "", "100% Cotton");
        AddRow("missing subject is in no list", title, "Lost*", "", "");
        AddRow("two matching awards, one row", int(kSearchAward), "N*", "", "Dune");
        AddRow("author ids, junk left out", int(kSearchAuthor), "", "10,x, 20",
               "Dune|Dune Messiah|Star Wars");
        AddRow("no author ids, no books", int(kSearchAuthor), "", "", "");
        AddRow("author ids cannot inject", int(kSearchAuthor), "", "0) OR (1=1", "");
        AddRow("unknown mode lists all", 2, "x", "", all);
    }

    void everyModeListsWhatItsPatternFinds() {
        const auto [mode, pattern, authorIds, titles] =
            FetchColumns<int, QString, QString, QString>("mode", "pattern", "authorIds", "titles");
        const QStringList expected = sorted(titles.split(u'|', Qt::SkipEmptyParts));
        FRESH_CHECKED_HOME(home);
        addSearchBooks();
        // The list reads the active mode's own pattern; the other modes' patterns find nothing.
        gSearchTitle = gSearchAward = u"no such*"_s;
        (mode == kSearchAward ? gSearchAward : gSearchTitle) = pattern;
        gSearchMode = mode;
        gSearchAuthorIds = authorIds;
        const auto rows = FetchBookRows(CurrentBookListQuery());
        QVERIFY2(rows, qPrintable(rows ? QString() : rows.error().messageText()));
        QStringList found;
        for (const BookRow& book : *rows)
            found << book.title;
        QCOMPARE(sorted(found), expected);
        // The list's own read, through the title keys where it can, finds the same books.
        BookListModel model;
        const std::optional<ListQuery> search =
            mode == kSearchAll ? std::nullopt : std::optional(BookIdsQuery(mode, pattern, authorIds, true));
        QVERIFY(model.reload(search, BookListModel::ColTitle, Qt::AscendingOrder));
        QCOMPARE(sorted(ListedTitles(model)), expected);
    }

    void rowsShowTheirColumnsAsText() {
        FRESH_CHECKED_HOME(home);
        const int thin = AddTestBook(u"Thin"_s, [](BookFields& b) {
            b.pages = 5;
            b.copyright = 1999;
            b.stars = 4;
            b.authorId = 3;
            b.subjectId = 14;
        });
        AddTestBook(u"Orphan"_s, [](BookFields& b) { b.authorId = 99999; });
        BookListModel model;
        QVERIFY(model.reload(std::nullopt, BookListModel::ColTitle, Qt::AscendingOrder));
        const auto rowText = [&model](int bookId) {
            QStringList texts;
            for (int column = 0; column < model.columnCount(); ++column)
                texts << model.text(model.rowOfBook(bookId), column);
            return texts.join(u'|');
        };
        QCOMPARE(rowText(thin),
                 u"%1|Thin|%2|Horror|(none)|005|1999|4"_s.arg(BookNumberText(thin), *GetAuthorName(3)));
        // The sample book's stars; the orphan's author is blank.
        QCOMPARE(rowText(1).section(u'|', 7) + u'|' + rowText(thin + 1).section(u'|', 2, 2), u"3.5|"_s);
        QCOMPARE(model.data(model.index(model.rowOfBook(thin), 1), BookListModel::BookIdRole).toInt(), thin);
        const QStringList numbers = {BookNumberText(12), BookNumberText(123456), PagesListText(0),
                                     PagesListText(1200), PagesListText(-5)};
        QCOMPARE(numbers.join(u' '), u"00012 123456 000 1200 -005"_s);
    }

    void sortRules_data() {
        AddColumns<int, int, QString>("column", "order", "titles");
        const int up = Qt::AscendingOrder, down = Qt::DescendingOrder;
        AddRow("title by letters, then case", int(BookListModel::ColTitle), up, "apple banana Banana cherry");
        AddRow("title descending", int(BookListModel::ColTitle), down, "cherry Banana banana apple");
        AddRow("pages by value", int(BookListModel::ColPages), up, "banana Banana apple cherry");
        AddRow("book number past five digits", int(BookListModel::ColBookNumber), up,
               "cherry Banana apple banana");
        AddRow("year, ties by title", int(BookListModel::ColYear), up, "cherry apple banana Banana");
        AddRow("year descending, ties still by title", int(BookListModel::ColYear), down,
               "apple banana Banana cherry");
        AddRow("stars", int(BookListModel::ColStars), up, "cherry Banana apple banana");
        AddRow("stars descending", int(BookListModel::ColStars), down, "banana apple Banana cherry");
        AddRow("subject by name, not number", int(BookListModel::ColSubject), up,
               "banana apple Banana cherry");
        AddRow("location by name, not number", int(BookListModel::ColLocation), up,
               "banana apple Banana cherry");
    }

    void sortRules() {
        const auto [column, order, titles] = FetchColumns<int, int, QString>("column", "order", "titles");
        FRESH_CHECKED_HOME(home);
        QVERIFY(gConn.execute(u"DELETE FROM [Book]"_s));
        addNumberedBook(99999, u"Banana"_s, 999, 2001, 2.5);
        addNumberedBook(100000, u"apple"_s, 1000, 2001, 4);
        addNumberedBook(100001, u"banana"_s, 5, 2001, 4.5);
        addNumberedBook(7, u"cherry"_s, 1200, 1990, 0);
        // Names made in another order than they sort in.
        for (const auto& [id, name] :
             {std::pair{7, "Zoology"}, {100000, "Music"}, {100001, "Art"}, {99999, "Poetry"}})
            for (const QString table : {"Subject", "Location"})
                QVERIFY(gConn.execute(u"UPDATE [Book] SET [%1Id] = ? WHERE [BookId] = ?"_s.arg(table),
                                      {*GetLookupId(table, table + u"Id", QString::fromUtf8(name)), id}));
        BookListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(model.reload(std::nullopt, BookListModel::ColTitle, Qt::AscendingOrder));
        // A row held across the sort (the shown book's) stays on its book.
        const QPersistentModelIndex kept = model.index(model.rowOfBook(7), BookListModel::ColTitle);
        model.sort(column, Qt::SortOrder(order));
        QCOMPARE(ListedTitles(model).join(u' '), titles);
        QCOMPARE(model.bookIdAt(kept.row()), 7);
        model.clear();
        QVERIFY(!kept.isValid());
        // A fresh read in that order lists the same.
        QVERIFY(model.reload(std::nullopt, column, Qt::SortOrder(order)));
        QCOMPARE(ListedTitles(model).join(u' '), titles);
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
        FRESH_CHECKED_HOME(home);
        addCountedBooks(books);
        BookListModel model(nullptr, 4);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(model.reload(std::nullopt, BookListModel::ColTitle, Qt::DescendingOrder));
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
        Connection other(u"other program"_s);
        QVERIFY(other.open(gConn.filePath()));
        for (const int row : {1, 4})
            QVERIFY(other.execute(u"UPDATE [Book] SET [Title] = 'Renamed' WHERE [BookId] = ?"_s,
                                  {model.bookIdAt(row)}));
        QVERIFY(other.execute(u"DELETE FROM [Book] WHERE [BookId] = ?"_s, {deleted}));
        expected[4] = u"Renamed"_s;
        expected.last().clear();
        QCOMPARE(ListedTitles(model), expected);
        QCOMPARE(model.bookIdAt(books - 1), deleted);
        model.refreshRow(1);
        QCOMPARE(model.text(1, BookListModel::ColTitle), u"Renamed"_s);
        QVERIFY(model.reload(std::nullopt, BookListModel::ColTitle, Qt::AscendingOrder));
        // One row fewer, the two renamed books last.
        QCOMPARE(ListedTitles(model).mid(books - 3), QStringList({"Renamed", "Renamed"}));
        QCOMPARE(model.rowOfBook(deleted), -1);
    }

    // Accented and lower-case titles and authors sit where a reader looks for them.
    void mixedTextsListInReadingOrder() {
        FRESH_CHECKED_HOME(home);
        QVERIFY(gConn.execute(u"DELETE FROM [Book]"_s));
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

    // Stored sort settings that make no sense read as the default, by title. Header clicks sort
    // and are remembered for the next start; there a typed letter selects the first title it
    // begins in the shown order, without showing the book.
    void headerClicksSortAndAreRemembered() {
        FRESH_CHECKED_HOME(home);
        const std::pair<const char*, int> books[] = {
            {"Old", 1950}, {"New", 2020}, {"Moby Dick", 1871}, {"Middlemarch", 1851}};
        for (const auto& [title, year] : books)
            AddTestBook(QString::fromLatin1(title), [year](BookFields& b) { b.copyright = year; });
        // Junk reads as "by book number"; a number outside the columns, and any order but 1, as the default.
        const int title = BookListModel::ColTitle;
        const QList<std::pair<const char*, int>> stored = {
            {"abc", BookListModel::ColBookNumber}, {"8", title}, {"-1", title}, {"99", title}};
        for (const auto& [text, column] : stored) {
            SaveSetting(u"SortCol"_s, QString::fromLatin1(text));
            QCOMPARE(StoredListSort().column, column);
        }
        SaveSetting(u"SortOrder"_s, u"2"_s);
        QCOMPARE(StoredListSort().order, Qt::AscendingOrder);
        // A click on the sorted column turns its order; a click on another starts it ascending.
        ListSort sort{BookListModel::ColTitle, Qt::AscendingOrder};
        for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder, Qt::AscendingOrder}) {
            sort = ClickedListSort(sort, BookListModel::ColYear);
            QCOMPARE(sort.order, order);
        }
        QCOMPARE(sort.column, int(BookListModel::ColYear));
        const QString thisYear = QString::number(QDate::currentDate().year());
        const QStringList newestFirst = {thisYear, "2020", "1950", "1871", "1851"};
        {
            const auto window = OpenMainWindow();
            QCOMPARE(ListedTitles(window->ListModel()),
                     QStringList({"Middlemarch", "Moby Dick", "New", "Old", "Sample Book #1"}));
            QHeaderView* header = window->lstMain->header();
            const QPoint year(header->sectionViewportPosition(BookListModel::ColYear) + 4,
                              header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, year);
            QCOMPARE(ColumnTexts(window->ListModel(), BookListModel::ColYear),
                     QStringList(newestFirst.crbegin(), newestFirst.crend()));
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, year);
            QCOMPARE(ColumnTexts(window->ListModel(), BookListModel::ColYear), newestFirst);
            QCOMPARE(header->sortIndicatorSection(), int(BookListModel::ColYear));
            QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
            QCOMPARE(GetSetting(u"SortCol"_s), u"6"_s);
            QCOMPARE(GetSetting(u"SortOrder"_s), u"1"_s);
        }
        const auto window = OpenMainWindow();
        QCOMPARE(ColumnTexts(window->ListModel(), BookListModel::ColYear), newestFirst);
        QCOMPARE(window->lstMain->selectedBookId(), 1);
        const QString shown = window->txtBookId->text();
        window->lstMain->setFocus();
        QTest::keyClick(window->lstMain, Qt::Key_M, Qt::NoModifier);
        QCOMPARE(window->ListModel().book(window->lstMain->selectedRow()).title, u"Moby Dick"_s);
        QCOMPARE(window->txtBookId->text(), shown);
        QTest::keyClick(window->lstMain, Qt::Key_Z, Qt::NoModifier);
        QCOMPARE(window->ListModel().book(window->lstMain->selectedRow()).title, u"Moby Dick"_s);
        QTest::keyClick(window->lstMain, Qt::Key_Down, Qt::NoModifier);
        QCOMPARE(window->txtTitle->text(), u"Middlemarch"_s);
    }

    // Cancel and No keep a search that finds nothing; Yes clears it and lists every book.
    void emptySearchAsksToClear() {
        FRESH_MAIN_WINDOW(home, window);
        gSearchMode = kSearchTitle;
        gSearchTitle = u"nothing*"_s;
        for (const PromptAnswer answer : {PromptAnswer::Cancel, PromptAnswer::No, PromptAnswer::Yes}) {
            home.prompts().answer(answer);
            window->PopulateLstMain();
            QCOMPARE(home.prompts().lastShown(),
                     u"Clear Search: Your search no longer finds any Books.  Clear your search?"_s);
            QCOMPARE(home.prompts().last().buttons, PromptButtons::YesNoCancel);
            const int listed = answer == PromptAnswer::Yes ? 1 : 0;
            QCOMPARE(window->ListModel().rowCount(), listed);
            QCOMPARE(window->lblCount->text(), u"Books in list: %1"_s.arg(listed));
            QCOMPARE(gSearchMode, listed ? int(kSearchAll) : int(kSearchTitle));
            QCOMPARE(window->txtTitle->isEnabled(), listed == 1);
            QCOMPARE(window->txtTitle->text(), listed ? u"Sample Book #1"_s : QString());
            QVERIFY(!window->IsDirty() && !window->cmdSaveChanges->isEnabled());
        }
        // Search, Clear Search reloads the list only while a search is in force.
        AddTestBook(u"Added behind the list's back"_s);
        window->mnuSearchClear->trigger();
        QCOMPARE(window->ListModel().rowCount(), 1);
        gSearchMode = kSearchTitle;
        window->mnuSearchClear->trigger();
        QCOMPARE(gSearchMode, int(kSearchAll));
        QCOMPARE(window->ListModel().rowCount(), 2);
    }

    // Titles another program writes or changes keep their place in the alphabetical order: the
    // list keys them again before it reads them, and a catalogue that may only be read, whose keys
    // cannot be written, sorts its titles as it reads them.
    void titlesOtherProgramsWroteListInReadingOrder() {
        FRESH_CHECKED_HOME(home);
        QVERIFY(gConn.execute(u"DELETE FROM [Book]"_s));
        for (const QString& title : {u"Échos du Nord"_s, u"Bach"_s, u"zebra"_s})
            AddTestBook(title);
        const QString path = gConn.filePath();
        const auto listed = [] {
            BookListModel model;
            return model.reload(std::nullopt, BookListModel::ColTitle, Qt::AscendingOrder)
                       ? ListedTitles(model)
                       : QStringList{u"failed"_s};
        };
        QCOMPARE(listed(), QStringList({u"Bach"_s, u"Échos du Nord"_s, u"zebra"_s}));
        const QString added =
            u"INSERT INTO Book (SubjectId, LocationId, FormatId, RatingId, Title, LabelNumber, "
            "Copyright, Pages, Stars, AcquireDate, Cost, LentDate) VALUES "
            "(1, 1, 1, 1, 'apple', '', 0, 0, 0, '', 0, '');"_s;
        QCOMPARE(SqliteTool(path, u"UPDATE Book SET Title = 'Ärger im Öl' WHERE Title = 'Échos du Nord'; "_s +
                                      added),
                 QString());
        QCOMPARE(listed(), QStringList({u"apple"_s, u"Ärger im Öl"_s, u"Bach"_s, u"zebra"_s}));
        QCOMPARE(SqliteTool(path, u"UPDATE Book SET Title = 'Aaron' WHERE Title = 'zebra';"_s), QString());
        QVERIFY(gConn.open(path, Connection::OpenMode::ReadOnlyFile));
        QCOMPARE(listed(), QStringList({u"Aaron"_s, u"apple"_s, u"Ärger im Öl"_s, u"Bach"_s}));
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE [TitleOrder] IS NULL"_s), 1);
    }

    void filterMatches_data() {
        // fields: title, author, subject, publisher, label, notes
        AddColumns<QString, QStringList, bool>("typed", "fields", "matches");
        const QStringList book = {u"Germinal"_s,    u"Émile ZOLA"_s, u"Fiction"_s,
                                  u"Charpentier"_s, u"FR-042"_s,     u"Signed copy\nfirst édition"_s};
        QTest::newRow("letter case") << "zola" << book << true;
        QTest::newRow("accent stored, not typed") << "emile" << book << true;
        QTest::newRow("accent typed, not stored") << "gérminal" << book << true;
        QTest::newRow("upper-case accent typed") << "ÉMILE" << book << true;
        QTest::newRow("title") << "ermin" << book << true;
        QTest::newRow("subject") << "fict" << book << true;
        QTest::newRow("publisher") << "charp" << book << true;
        QTest::newRow("label number") << "fr-04" << book << true;
        QTest::newRow("notes, second line") << "edition" << book << true;
        QTest::newRow("every word, any field") << "  zola   germinal " << book << true;
        QTest::newRow("one word missing") << "zola nana" << book << false;
        QTest::newRow("no word across two fields") << "minalemile" << book << false;
        QTest::newRow("nothing typed") << "   " << book << true;
        QTest::newRow("no match") << "tolstoy" << book << false;
        QTest::newRow("Greek case") << "οδύσσεια" << QStringList({u"ΟΔΎΣΣΕΙΑ"_s}) << true;
        QTest::newRow("beyond the first plane") << "𝔄b" << QStringList({u"x𝔄B"_s}) << true;
    }

    void filterMatches() {
        auto [typed, fields, matches] =
            FetchColumns<QString, QStringList, bool>("typed", "fields", "matches");
        while (fields.size() < 6)
            fields << QString();
        const std::string key =
            BookFilterKey({fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]});
        QCOMPARE(MatchesFilter(key, FilterWords(typed)), matches);
        // Read straight from the catalogue's UTF-8, a field folds to the same key.
        std::string fromUtf8;
        for (const QString& field : fields)
            AppendUtf8FilterField(fromUtf8, field.toStdString());
        QCOMPARE(fromUtf8, key);
    }

    // A save that moves the shown book to another page keeps it selected there; deleting the
    // last row lists the rest. Typing in the filter narrows the list over the search in force.
    void savesDeletesAndTypingOverPages() {
        FRESH_CHECKED_HOME(home);
        const int books = 3 * BookListModel::kPageRows;
        // Three pages, and enough books that a narrowed filter reads its few candidates one by one.
        addCountedBooks(books);
        const int authorId = *GetLookupId(u"Author"_s, u"AuthorId"_s, u"Émile Zola"_s);
        AddTestBook(u"Germinal"_s, [authorId](BookFields& b) { b.authorId = authorId; });
        AddTestBook(u"Nana"_s, [authorId](BookFields& b) { b.authorId = authorId; });
        AddTestBook(u"The Zoo"_s, [](BookFields& b) { b.notes = u"about ZOLA"_s; });
        const QStringList zola = {u"Germinal"_s, u"Nana"_s, u"The Zoo"_s};
        const auto window = OpenMainWindow(true);
        QCOMPARE(window->lblCount->text(), u"Books in list: %1"_s.arg(books + 3));
        const int first = window->lstMain->selectedBookId();
        window->txtTitle->setText(u"Zz last"_s);
        QTest::mouseClick(window->cmdSaveChanges, Qt::LeftButton);
        QCOMPARE(QList<int>({window->lstMain->selectedRow(), window->lstMain->selectedBookId()}),
                 QList<int>({books + 2, first}));
        const QStringList titles = ListedTitles(window->ListModel());
        QCOMPARE(titles.first() + u'|' + titles.last(), u"Book 002|Zz last"_s);
        home.prompts().answer(PromptAnswer::Yes);
        QTest::mouseClick(window->cmdDeleteBook, Qt::LeftButton);
        QCOMPARE(window->lblCount->text(), u"Books in list: %1"_s.arg(books + 2));
        QCOMPARE(ListedTitles(window->ListModel()), countedTitles(2, books) + zola);
        QVERIFY(window->lstMain->selectedRow() == 0 && window->txtTitle->text() == u"Book 002"_s);

        QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(window->txtFilter->hasFocus());
        QTest::keyClicks(window->txtFilter, u"ZOL"_s);
        QCOMPARE(ListedTitles(window->ListModel()), zola);
        QVERIFY(window->txtTitle->text() == u"Germinal"_s && window->txtFilter->hasFocus());

        // A view over the search in force: a title search is narrowed, not replaced.
        gSearchMode = kSearchTitle;
        gSearchTitle = u"*n*"_s;
        window->PopulateLstMain();
        QCOMPARE(ListedTitles(window->ListModel()), QStringList({u"Germinal"_s, u"Nana"_s}));
        QTest::keyClicks(window->txtFilter, u" nan"_s);
        // The list, then the shown title.
        QCOMPARE(ListedTitles(window->ListModel()) << window->txtTitle->text(),
                 QStringList({"Nana", "Nana"}));

        QTest::keyClicks(window->txtFilter, u"x"_s);
        QVERIFY(window->ListModel().rowCount() == 0 && !window->txtTitle->isEnabled());

        // Esc in the filter clears it (and does not ask to exit): the search's whole list is back.
        QTest::keyClick(window->txtFilter, Qt::Key_Escape);
        QCOMPARE(window->txtFilter->text() + u'|' + window->lblCount->text(), u"|Books in list: 2"_s);
        QVERIFY(window->ListModel().rowCount() == 2 && window->txtTitle->isEnabled() && window->isVisible());
    }
};

TOMEKEEP_TEST(BookListTest);
#include "tst_booklist.moc"
