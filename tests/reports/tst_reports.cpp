#include "ReportCapture.h"
#include "app/Paths.h"
#include "db/Connection.h"
#include "db/RecordHelpers.h"
#include "reports/PageCanvas.h"
#include "reports/Reports.h"
#include "reports/frmPrinting.h"
#include "support/CaseTestData.h"
#include "support/Parts.h"
#include "support/TestHome.h"

Q_DECLARE_METATYPE(ReportKind)

namespace {

// Lookup rows of a new catalogue.
constexpr int kLivingRoom = 2;
constexpr int kLibraryRoom = 3;

// History, Living Room, Hardcover, All ages.
BookFields book(const QString& title) {
    BookFields fields;
    fields.subjectId = 12;
    fields.locationId = kLivingRoom;
    fields.formatId = 2;
    fields.ratingId = 6;
    fields.title = title;
    fields.publisher = u"Penguin"_s;
    fields.copyright = 1999;
    fields.pages = 321;
    fields.stars = 4.5;
    return fields;
}

int addBook(const BookFields& fields) {
    const DbResult<int> id = InsertBook(fields);
    return id ? *id : -1;
}

// A new catalogue with its lists but no book.
bool openEmptyCatalogue(TestHome& home) {
    return home.openFreshCatalogue() && gConn.execute(u"DELETE FROM [Book]"_s).ok();
}

// The lines from the last text written before the end marker (tab line included) on.
QStringList tailFrom(const QStringList& lines, const QString& text) {
    const qsizetype at = lines.lastIndexOf(text);
    const qsizetype end = lines.indexOf(u"/ENDOFREPORT"_s);
    return at < 0 ? QStringList() : lines.mid(at, end - at);
}

// The texts after the page heading of page 1 (database, name, page, date).
QStringList reportTexts(const QStringList& lines) {
    return textsOf(lines).mid(4);
}

// The lines of a report on a new catalogue holding only these books; a prompt nobody expected
// is added at the end, so that the comparison fails.
QStringList reportOn(ReportKind kind, const QList<BookFields>& books = {}) {
    TestHome home;
    if (!openEmptyCatalogue(home))
        return {u"no catalogue"_s};
    for (const BookFields& fields : books) {
        if (addBook(fields) <= 0)
            return {u"refused: "_s + fields.title};
    }
    ReportCapture capture;
    RunReport(kind);
    return capture.lines() + home.prompts().unexpected();
}

} // namespace

class ReportsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyCatalogueBlocks_data() {
        AddColumns<ReportKind, QString, QString>("kind", "texts", "tail");
        const QString rule = u"|/NORMAL|/BOX|0.1|0.85|7.8|0.85|1|/CR"_s;
        const QString noBooks = u"|/CR|/TEXT|No books found.|1"_s;
        const QString columns = u"Stars|Subject|Location|Rating|Format|Min.|No books found."_s;
        AddRow("book listing", ReportKind::BookListing, u"Title|"_s + columns, u"Min.|7"_s + rule + noBooks);
        AddRow("by label", ReportKind::ListingByLabel, u"Label #|Title|"_s + columns,
               u"Min.|8"_s + rule + u"|/CR|/SETTAB|2|0|1|/TEXT|No books found.|1"_s);
        AddRow("detailed", ReportKind::DetailedListing, "No books found.",
               "2.9|1|/CR|/CR|/CR|/SETTAB|2|0|1|/TEXT|No books found.|1");
        AddRow("inventory", ReportKind::InventoryByLocation,
               "Title|Subject|Rating|Pages|Format|Label #|No books found.|Book count: 0",
               u"Label #|6"_s + rule + noBooks + u"|/CR|/CR|/TEXT|Book count: 0|1"_s);
        AddRow("cost", ReportKind::CostSummary, "Title|Acquired|Label #|Amount|No books found with a cost.",
               u"Amount|6"_s + rule + u"|/CR|/TEXT|No books found with a cost.|1"_s);
        AddRow("lent", ReportKind::BooksLentOut, "Title|Lent To|Lent Date|No books are lent out.",
               u"Lent Date|3"_s + rule + u"|/CR|/TEXT|No books are lent out.|1"_s);
    }
    void emptyCatalogueBlocks() {
        const auto [kind, texts, tail] = FetchColumns<ReportKind, QString, QString>("kind", "texts", "tail");
        const QStringList lines = reportOn(kind);
        QCOMPARE(textsOf(lines),
                 QStringList({"Database: BIBLIO", MakeReport(kind)->Name(), "Page 1", "03/05/2024"}) +
                     Parts(texts));
        QCOMPARE(tailFrom(lines, Parts(tail).first()), Parts(tail));
    }

    void costTotalIsExactMoney() {
        // Added as binary fractions these come to 0.80499…, which would show as $0.80.
        BookFields a = book(u"A Tale of Seventeen Remarkably Long Words in One Title"_s);
        a.cost = Money::fromDouble(0.7);
        a.acquireDate = QDate(2002, 11, 5);
        a.labelNumber = u"L-1"_s;
        BookFields b = book(u"B"_s);
        b.cost = Money::fromDouble(0.1);
        BookFields c = book(u"C"_s);
        c.cost = Money::fromDouble(0.005);
        c.acquireDate = QDate(1899, 12, 30);
        const QStringList lines = reportOn(ReportKind::CostSummary, {c, book(u"D free"_s), a, b});
        const QStringList texts = reportTexts(lines).mid(4);
        QCOMPARE(texts.mid(1),
                 Parts("11/05/2002|L-1|$0.70|B||$0.10|C||$0.01|$0.81|Book count (that have a cost): 3"));
        // The long title is cut to its 2.15 inch column, never wrapped.
        PageCanvas canvas;
        canvas.SetFont(CanvasFont(u"Times New Roman"_s, 10, 1));
        QVERIFY(a.title.startsWith(texts[0]) && canvas.TextWidth(texts[0]) <= 3096 &&
                canvas.TextWidth(a.title.left(texts[0].size() + 1)) > 3096);
        QCOMPARE(tailFrom(lines, u"/LINEABOVE"_s),
                 Parts("/LINEABOVE|5|0.75|1|/BOLD|/TEXT|$0.81|6|/NORMAL|/CR|/CR|/TEXT|"
                       "Book count (that have a cost): 3|1"));
        // The book bought before 1900 has no "Acquired" text at all.
        QCOMPARE(tailFrom(lines, u"C"_s).mid(0, 6), Parts("C|1|/TEXT||4|/TEXT"));
    }

    void lentReportFilters() {
        BookFields blanks = book(u"Blanks only"_s);
        blanks.lentTo = u"   "_s;
        BookFields dated = book(u"Date only"_s);
        dated.lentDate = QDate(2020, 1, 2);
        BookFields named = book(u"Name only"_s);
        named.lentTo = u"Ann"_s;
        QCOMPARE(reportTexts(reportOn(ReportKind::BooksLentOut, {blanks, dated, named})).mid(3),
                 Parts("Date only||01/02/2020|Name only|Ann|Book count (lent out): 2"));
        // Books that were read but none printed: the empty-result text.
        QCOMPARE(reportTexts(reportOn(ReportKind::BooksLentOut, {blanks})).mid(3),
                 QStringList{"No books are lent out."});
    }

    void inventoryGroupsByLocation() {
        BookFields first = book(u"Zebra"_s);
        first.labelNumber = u"Z1"_s;
        BookFields second = book(u"Aardvark"_s);
        second.locationId = kLibraryRoom;
        second.pages = 1234;
        BookFields orphan = book(u"Nowhere"_s);
        orphan.locationId = 999;
        const QStringList lines = reportOn(ReportKind::InventoryByLocation, {first, second, orphan});
        const QString block = u"|1|/NORMAL|/CR|/CR|/TEXT|%1|1|/TEXT|History|2|/TEXT|All ages|3|/TEXT|%2|4|"
                              "/TEXT|Hardcover|5|/TEXT|%3|6|/CR|/CR|"_s;
        QCOMPARE(tailFrom(lines, u"Library Room"_s),
                 Parts(u"Library Room"_s + block.arg("Aardvark", "1234", "") + u"/BOLD|/TEXT|Living Room"_s +
                       block.arg("Zebra", "321", "Z1") + u"/CR|/TEXT|Book count: 2|1"_s));
        QCOMPARE(lines[lines.lastIndexOf(u"Library Room"_s) - 2], u"/BOLD"_s);
    }

    void listingsOrderAndShowBooks() {
        BookFields first = book(u"Beta"_s);
        first.labelNumber = u"A-1"_s;
        first.stars = 3;
        BookFields second = book(u"Alpha"_s);
        second.labelNumber = u"B-2"_s;
        second.locationId = kLibraryRoom;
        QCOMPARE(reportTexts(reportOn(ReportKind::ListingByLabel, {first, second})).mid(8),
                 Parts("A-1|Beta|3.0|History|Living Room|All ages|Hardcover|321|"
                       "B-2|Alpha|4.5|History|Library Room|All ages|Hardcover|321|Book count: 2"));
        // The book listing goes by location first.
        QCOMPARE(reportTexts(reportOn(ReportKind::BookListing, {first, second})).mid(7, 2),
                 Parts("Alpha|4.5"));
    }

    void titlesComeAsAReaderOrdersThem() {
        const QStringList ordered = ReadingOrderTitles();
        QList<BookFields> books;
        for (auto title = ordered.crbegin(); title != ordered.crend(); ++title)
            books << book(*title);
        QStringList listed = reportTexts(reportOn(ReportKind::DetailedListing, books));
        listed.removeIf([&ordered](const QString& text) { return !ordered.contains(text); });
        QCOMPARE(listed, ordered);
    }

    void detailedBlockOfOneBook() {
        TestHome home;
        QVERIFY(openEmptyCatalogue(home));
        BookFields fields = book(u"The Detailed Book"_s);
        const DbResult<int> author = GetLookupId(u"Author"_s, u"AuthorId"_s, u"Austen, Jane"_s);
        QVERIFY(author.ok());
        fields.authorId = *author;
        fields.labelNumber = u"D-7"_s;
        fields.acquireDate = QDate(2001, 2, 3);
        fields.cost = Money::fromDouble(12.5);
        fields.lentTo = u"Sam"_s;
        fields.notes = u"First line of the notes\r\nand a second line long enough to need wrapping "
                       "within its column, which is not much more than two and a half inches "
                       "wide on the page"_s;
        const int id = addBook(fields);
        QVERIFY(id > 0);
        for (const int award : {8, 2, 8})
            QVERIFY(AddBookAward(id, award).ok());
        ReportCapture capture;
        RunReport(ReportKind::DetailedListing);
        const QStringList lines = capture.lines();
        QStringList texts = reportTexts(lines);
        QCOMPARE(texts.takeLast(), u"Book count: 1"_s);
        QCOMPARE(texts.mid(0, 33),
                 Parts("Stars:|4.5|Title:|The Detailed Book|Location:|Living Room|Subject:|History|Label #:|"
                       "D-7|Format:|Hardcover|Pages:|321|Acquired:|02/03/2001|Rating:|All ages|Copyright:|"
                       "1999|Cost:|$12.50|Publisher:|Penguin|Lent To:|Sam|Author:|Austen, Jane|Lent Date:|"
                       "Awards:|Nebula Award|Pulitzer Prize|Notes:"));
        QCOMPARE(tailFrom(lines, u"Nebula Award"_s).mid(0, 6),
                 Parts("Nebula Award|2|/CR|/TEXT|Pulitzer Prize|2"));
        // The notes wrap at stop 2 over several lines, their line break now a blank.
        QVERIFY(texts.size() > 35);
        QCOMPARE(texts.mid(33).join(QString()), QString(fields.notes).replace(u"\r\n"_s, u" "_s));
        QCOMPARE(tailFrom(lines, u"/SETTAB"_s).mid(0, 4), Parts("/SETTAB|2|4|1"));
    }

    void cancelStopsAfterTheCurrentBook() {
        TestHome home;
        QVERIFY(openEmptyCatalogue(home));
        for (int i = 0; i < 20; ++i)
            QVERIFY(addBook(book(u"Book %1"_s.arg(i, 2, 10, QLatin1Char('0')))) > 0);
        ReportCapture capture;
        const qint64 previousInterval = Writer().SetEventInterval(0);
        QStringList discarded;
        capture.atClose = [&] {
            QFile file(Writer().SpoolPath());
            if (file.open(QIODevice::ReadOnly))
                discarded = ReportCapture::LinesOf(file.readAll());
        };
        QString seen; // the window's caption and label
        // Once the first book's line has begun (five heading lines down), press Cancel.
        std::function<void()> watch = [&] {
            frmPrinting* window = PrintingWindow();
            if (window && Writer().VerticalPosition() > 5 * Writer().LineHeight()) {
                seen = window->windowTitle() + u'|' + window->lblPrint->text();
                window->cmdCancel->click();
                return;
            }
            QTimer::singleShot(0, watch);
        };
        QTimer::singleShot(0, watch);
        RunReport(ReportKind::BookListing);
        Writer().SetEventInterval(previousInterval);
        QVERIFY(gReportCancelled);
        QCOMPARE(seen, u"Building Report|Book Listing, Page: 1"_s);
        QVERIFY(capture.shown.isEmpty() && !PrintingWindow() && QDir(SpoolFolder()).isEmpty());
        // The book being written was finished, then the count of books written so far.
        const QStringList texts = textsOf(discarded);
        QCOMPARE(texts.mid(texts.indexOf(u"Book 00"_s)),
                 Parts("Book 00|4.5|History|Living Room|All ages|Hardcover|321|Book count: 1"));
        // The next report starts afresh.
        RunReport(ReportKind::BookListing);
        QVERIFY(!gReportCancelled && capture.shown.size() == 1);
    }

    void failedQueryIsToldAndLeavesNothing() {
        FRESH_CHECKED_HOME(home);
        QVERIFY(gConn.execute(u"DROP TABLE [Rating]"_s).ok());
        home.prompts().answerOk();
        ReportCapture capture;
        RunReport(ReportKind::InventoryByLocation);
        QVERIFY(capture.shown.isEmpty() && QDir(SpoolFolder()).isEmpty());
        // One prompt, titled "Error", its text the database's error about the missing table.
        const QString told = home.prompts().lastShown();
        QVERIFY2(home.prompts().count() == 1 && told.startsWith(u"Error: Error "_s) &&
                     told.contains(u"Rating"_s),
                 qPrintable(told));
        // Reports that need no rating still run.
        RunReport(ReportKind::CostSummary);
        QCOMPARE(capture.shown.size(), 1);
    }
};

TOMEKEEP_TEST(ReportsTest);
#include "tst_reports.moc"
