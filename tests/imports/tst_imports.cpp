#include "exchange/ExchangeTestSupport.h"
#include "imports/CsvExport.h"
#include "imports/CsvReader.h"
#include "imports/ForeignImport.h"
#include "imports/ImportWindows.h"
#include "support/Parts.h"
#include "support/TestHome.h"

using namespace exchangetest;

Q_DECLARE_METATYPE(ForeignKind)

namespace {

const QStringList kGoodreadsHeader =
    u"Book Id,Title,Author,Author l-f,Additional Authors,ISBN,ISBN13,My Rating,Average Rating,"
    "Publisher,Binding,Number of Pages,Year Published,Original Publication Year,Date Read,"
    "Date Added,Bookshelves,Bookshelves with positions,Exclusive Shelf,My Review,Spoiler,"
    "Private Notes,Read Count,Owned Copies"_s.split(u',');

const QStringList kLibraryThingHeader =
    u"Book Id,Title,Sort Character,Primary Author,Primary Author Role,Secondary Author,"
    "Publication,Date,Review,Rating,Comments,Private Comment,Media,Page Count,Acquired,Tags,"
    "Collections,ISBN,ISBNs"_s.split(u',');

// A row of the header's columns, every value empty but those given as "Column=value".
QStringList rowOf(const QStringList& header, const QStringList& values) {
    QStringList row(header.size());
    for (const QString& value : values) {
        const qsizetype equals = value.indexOf(u'=');
        row[header.indexOf(value.left(equals))] = value.mid(equals + 1);
    }
    return row;
}

QString fieldOf(const MappedRow& mapped, const QString& field) {
    if (!mapped.book)
        return u"refused: "_s + mapped.refusal;
    const ImportedBook& book = *mapped.book;
    QStringList values = {book.title, book.author, book.isbn, QString::number(book.stars), book.publisher};
    values << QString::number(book.pages) << QString::number(book.copyright) << DateToStored(book.acquired)
           << book.format << book.location << book.notes;
    return values.value(
        Parts("title|author|isbn|stars|publisher|pages|copyright|acquired|format|location|notes")
            .indexOf(field));
}

// The header and the rows as a file: fields quoted where they need it, split by the separator.
QString csvText(const QStringList& header, const QList<QStringList>& rows, const QString& lineEnd = u"\r\n"_s,
                QChar separator = u',') {
    QString text;
    for (const QStringList& row : QList<QStringList>{header} + rows) {
        QStringList fields;
        for (const QString& value : row)
            fields << CsvField(value);
        text += fields.join(separator) + lineEnd;
    }
    return text;
}

// A Goodreads export of five books and two rows that make none: quoted commas and line breaks,
// ISBNs as formulas (one empty), an empty rating, and two books of one title by different authors.
QByteArray goodreadsFile() {
    const auto row = [](const QStringList& values) {
        return rowOf(kGoodreadsHeader, values);
    };
    return csvText(
               kGoodreadsHeader,
               {row({"Book Id=1", "Title=Pride and Prejudice", "Author=Jane Austen", "ISBN==\"0141439513\"",
                     "ISBN13==\"9780141439518\"", "My Rating=5", "Publisher=Penguin Books, Ltd.",
                     "Binding=Mass Market Paperback", "Number of Pages=480", "Year Published=2002",
                     "Original Publication Year=1813", "Date Added=2023/01/15",
                     "Bookshelves=classics, favourites", "Exclusive Shelf=read",
                     "My Review=Loved it.\nRead it \"twice\".", "Private Notes=Gift from Ann"}),
                row({"Book Id=2", "Title=Collected Stories", "Author=Alice Munro", "ISBN==\"\"",
                     "ISBN13==\"\"", "Binding=Kindle Edition", "Original Publication Year=1996",
                     "Exclusive Shelf=to-read"}),
                row({"Book Id=3", "Title=Collected Stories", "Author=Raymond Carver", "ISBN==\"\"",
                     "ISBN13==\"\"", "My Rating=", "Binding=Audible Audio", "Exclusive Shelf=read"}),
                row({"Book Id=4", "Title=The Hobbit", "Author=J.R.R. Tolkien", "ISBN==\"0261102214\"",
                     "ISBN13==\"\"", "Binding=Unknown Binding", "Additional Authors=Christopher Tolkien",
                     "My Rating=4"}),
                row({"Book Id=5", "Title=Bad Rating", "Author=Nobody", "My Rating=7"}),
                row({"Book Id=6", "Title=Bad Date", "Author=Nobody", "Date Added=2023/02/30"}),
                row({"Book Id=7", "Title=Leaves of Grass", "Author=Walt Whitman", "Binding=Leather Bound"})})
        .toUtf8();
}

// The stored books as "title|author|isbn|stars|pages|year|acquired|format|location|notes".
QStringList storedBooks() {
    return TextsOf(u"SELECT b.[Title], IFNULL(a.[Name], ''), b.[ISBN], b.[Stars], b.[Pages], "
                   "b.[Copyright], b.[AcquireDate], f.[Name], l.[Name], b.[Notes] FROM [Book] AS b "
                   "LEFT JOIN [Author] AS a ON a.[AuthorId] = b.[AuthorId] "
                   "LEFT JOIN [Format] AS f ON f.[FormatId] = b.[FormatId] "
                   "LEFT JOIN [Location] AS l ON l.[LocationId] = b.[LocationId] WHERE b.[BookId] > 1 "
                   "ORDER BY 1, 2"_s);
}

int bookCount() {
    return static_cast<int>(NumberOf(u"SELECT COUNT(*) FROM [Book]"_s));
}

} // namespace

class ImportsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsRecords_data() {
        using Records = QList<QStringList>;
        using Lines = QList<int>;
        AddColumns<QByteArray, QList<QStringList>, QList<int>>("bytes", "records", "lines");
        AddRow("plain, CR LF", QByteArray("a,b,c\r\n1,2,3\r\n"), Records{{"a", "b", "c"}, {"1", "2", "3"}},
               Lines{1, 2});
        AddRow("quoted comma, quote and line break",
               QByteArray("t,n\r\n\"x, y\",\"say \"\"hi\"\"\r\nagain\"\r\nlast,\"\"\r\n"),
               Records{{"t", "n"}, {"x, y", "say \"hi\"\r\nagain"}, {"last", ""}}, Lines{1, 2, 4});
        AddRow("formulas, empty fields, no final line end", QByteArray("a,b,c\n=\"0141439513\",=\"\","),
               Records{{"a", "b", "c"}, {"=\"0141439513\"", "=\"\"", ""}}, Lines{1, 2});
        AddRow("blank lines passed over", QByteArray("a\n\n b \n\n"), Records{{"a"}, {" b "}}, Lines{1, 3});
        AddRow("UTF-8 with byte order mark", QByteArray("\xEF\xBB\xBFTitle,Author\n\xC3\x89mile,Zola\n"),
               Records{{"Title", "Author"}, {"Émile", "Zola"}}, Lines{1, 2});
        AddRow("Windows-1252", QByteArray("T,A\nCaf\xE9,x\n"), Records{{"T", "A"}, {"Café", "x"}},
               Lines{1, 2});
        const QString tabbed = u"Title\tPrimary Author\r\nLes Misérables, I\tHugo, Victor\r\n"_s;
        const Records tabRecords = {{"Title", "Primary Author"}, {"Les Misérables, I", "Hugo, Victor"}};
        for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
            QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
            QTest::newRow(encoding == QStringConverter::Utf16LE ? "UTF-16 LE, tabs" : "UTF-16 BE, tabs")
                << QByteArray(encoder.encode(tabbed)) << tabRecords << Lines{1, 2};
        }
    }

    void readsRecords() {
        auto [bytes, records, lines] =
            FetchColumns<QByteArray, QList<QStringList>, QList<int>>("bytes", "records", "lines");
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        CsvReader reader(buffer);
        QList<QStringList> read;
        QList<int> readLines;
        for (QStringList fields; reader.readRecord(fields);) {
            read << fields;
            readLines << reader.lineNumber();
        }
        QCOMPARE(reader.problemText(), QString());
        QCOMPARE(read, records);
        QCOMPARE(readLines, lines);
    }

    void mapsRows_data() {
        AddColumns<bool, QStringList, QString, QString>("goodreads", "values", "field", "expected");
        // A Goodreads row (gr) or a LibraryThing row (lt) titled T, with these values.
        const auto gr = [](const char* name, const QStringList& values, const char* field, QString expected) {
            AddRow(name, true, QStringList{"Title=T"} + values, field, expected);
        };
        const auto lt = [](const char* name, const QStringList& values, const char* field, QString expected) {
            AddRow(name, false, QStringList{"Title=T"} + values, field, expected);
        };
        gr("ISBN13 first", {"ISBN==\"0261102214\"", "ISBN13==\"9780141439518\""}, "isbn", "9780141439518");
        gr("wrong check digit", {"ISBN13==\"9780141439519\""}, "isbn", "");
        gr("rating 0 is not rated", {"My Rating=0"}, "stars", "0");
        gr("rating abc", {"My Rating=abc"}, "stars",
           "refused: \"My Rating\" holds abc, which is not a rating from 0 to 5.");
        gr("date in words", {"Date Added=yesterday"}, "acquired",
           "refused: \"Date Added\" holds yesterday, which is not a date (year/month/day).");
        gr("no title", {"Title= "}, "title", "refused: The book has no title.");
        gr("notes",
           {"Private Notes=Mine\nall mine", "My Review=Good", "Additional Authors=A, B",
            "Bookshelves=classics"},
           "notes", "Mine\nall mine\nGood\nAdditional authors: A, B\nBookshelves: classics");
        // Each binding and the format it becomes, as "binding=format" (more in the Goodreads file).
        const QString bindings =
            u"Trade Paperback=Paperback|paperback=Paperback|hardcover=Hardcover|Nook=eBook|"
            "ebook=eBook|Audiobook=Audio CD|Audio Cassette=Audio Cassette|=(none)"_s;
        for (const QString& pair : bindings.split(u'|')) {
            const QStringList parts = pair.split(u'=');
            gr(qPrintable(u"binding " + parts[0]), {u"Binding=" + parts[0]}, "format", parts[1]);
        }
        lt("ISBNs list", {"ISBNs=[0141439513], 9780141439518", "ISBN=0261102214"}, "isbn", "9780141439518");
        lt("ISBN column", {"ISBNs=", "ISBN=0261102214"}, "isbn", "9780261102217");
        lt("publication", {"Publication=Penguin Classics (2003), Edition: Reprint"}, "publisher",
           "Penguin Classics");
        lt("rating 7", {"Rating=7"}, "stars",
           "refused: \"Rating\" holds 7, which is not a rating from 0 to 5.");
        lt("acquired February 30th", {"Acquired=2023-02-30"}, "acquired",
           "refused: \"Acquired\" holds 2023-02-30, which is not a date (year/month/day).");
        lt("media ebook", {"Media=Ebook"}, "format", "eBook");
        lt("media book", {"Media=Book"}, "format", "(none)");
        lt("your library", {"Collections=Your library"}, "location", "(none)");
        lt("notes",
           {"Private Comment=Signed", "Comments=Fine\ncopy", "Secondary Author=Doe, John|Roe, Rich",
            "Tags=poetry, us"},
           "notes", "Signed\nFine\ncopy\nAdditional authors: John Doe; Rich Roe\nTags: poetry, us");
    }

    void mapsRows() {
        const auto [goodreads, values, field, expected] =
            FetchColumns<bool, QStringList, QString, QString>("goodreads", "values", "field", "expected");
        const QStringList& header = goodreads ? kGoodreadsHeader : kLibraryThingHeader;
        const ForeignColumns columns(header);
        QCOMPARE(columns.kind(), goodreads ? ForeignKind::Goodreads : ForeignKind::LibraryThing);
        const QStringList knownFormats = Parts("(none)|Hardcover|Paperback|eBook|Audio Cassette|Audio CD");
        QCOMPARE(fieldOf(columns.map(rowOf(header, values), knownFormats), field), expected);
    }

    // Each file imported twice: the second import updates every book and keeps what only
    // Tomekeep holds, and no name is added twice.
    void foreignFilesImportedTwiceAddEachBookOnce_data() {
        AddColumns<QByteArray, ForeignKind, QString, QStringList>("bytes", "kind", "summary", "books");
        AddRow("Goodreads", goodreadsFile(), ForeignKind::Goodreads,
               u"5 books added, 0 updated, 2 skipped.\n\nSkipped:\n"
               "Line 7: \"My Rating\" holds 7, which is not a rating from 0 to 5.\n"
               "Line 8: \"Date Added\" holds 2023/02/30, which is not a date (year/month/day)."_s,
               QStringList{"Collected Stories|Alice Munro||0|0|1996|1899-01-01|eBook|Wish list|",
                           "Collected Stories|Raymond Carver||0|0|0|1899-01-01|Audio CD|(none)|",
                           "Leaves of Grass|Walt Whitman||0|0|0|1899-01-01|Leather Bound|(none)|",
                           "Pride and Prejudice|Jane Austen|9780141439518|5|480|2002|2023-01-15|"
                           "Paperback|(none)|Gift from Ann\nLoved it.\nRead it \"twice\".\nBookshelves: "
                           "classics, favourites",
                           "The Hobbit|J.R.R. Tolkien|9780261102217|4|0|0|1899-01-01|(none)|(none)|"
                           "Additional authors: Christopher Tolkien"});
        const QList<QStringList> rows = {
            rowOf(kLibraryThingHeader,
                  {"Title=Leaves of Grass", "Primary Author=Whitman, Walt", "ISBNs=[0141439513]",
                   "Rating=4.5", "Media=Book, Paper Book, Paperback", "Acquired=2020-05-04",
                   "Collections=Your library, Wishlist", "Comments=Two\nlines"}),
            rowOf(kLibraryThingHeader, {"Title=\"Quoted\" title", "Primary Author=Doe, Jane", "Date=1999"})};
        const QString tabbed = csvText(kLibraryThingHeader, rows, u"\r\n"_s, u'\t');
        QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        const QStringList books = {
            "\"Quoted\" title|Jane Doe||0|0|1999|1899-01-01|(none)|(none)|",
            "Leaves of Grass|Walt Whitman|9780141439518|4.5|0|0|2020-05-04|Paperback|Wish "
            "list|Two\nlines\nCollections: Your library, Wishlist"};
        const QString summary = u"2 books added, 0 updated, 0 skipped."_s;
        const ForeignKind lt = ForeignKind::LibraryThing;
        AddRow("LibraryThing, tab-separated UTF-16", QByteArray(utf16.encode(tabbed)), lt, summary, books);
        AddRow("LibraryThing, tab-separated UTF-8", tabbed.toUtf8(), lt, summary, books);
        AddRow("LibraryThing, comma-separated UTF-8", csvText(kLibraryThingHeader, rows, u"\n"_s).toUtf8(),
               lt, summary, books);
    }

    void foreignFilesImportedTwiceAddEachBookOnce() {
        const auto [bytes, kind, summary, books] =
            FetchColumns<QByteArray, ForeignKind, QString, QStringList>("bytes", "kind", "summary", "books");
        FRESH_HOME(home);
        const QString path = home.file(u"library_export.csv"_s);
        WriteFile(path, bytes);
        const int count = int(books.size());
        for (const bool again : {false, true}) {
            const ForeignImportResult result = ImportForeignFile(path);
            QCOMPARE(result.error, QString());
            // status, kind, added, updated
            QCOMPARE(QList<int>({int(result.status), int(result.kind), result.added, result.updated}),
                     QList<int>({int(ForeignImportResult::Status::Done), int(kind), again ? 0 : count,
                                 again ? count : 0}));
            QCOMPARE(storedBooks(), books);
            if (!again) {
                QCOMPARE(ImportSummaryText(result), summary);
                QVERIFY(gConn.execute(u"UPDATE [Book] SET [LabelNumber] = 'A-1' WHERE [Title] = ?"_s,
                                      {u"Leaves of Grass"_s}));
            }
        }
        // The label kept, and one each of the names met in both imports.
        QCOMPARE(TextsOf(u"SELECT (SELECT COUNT(*) FROM [Book] WHERE [LabelNumber] = 'A-1'), "
                         "(SELECT COUNT(*) FROM [Author] WHERE [Name] = 'Walt Whitman'), "
                         "(SELECT COUNT(*) FROM [Location] WHERE [Name] = 'Wish list')"_s),
                 QStringList{u"1|1|1"_s});
    }

    void badFilesLeaveTheCatalogueAsItWas_data() {
        AddColumns<QByteArray, int, QString>("bytes", "status", "error");
        const QByteArray header = CsvRecord(kGoodreadsHeader).toUtf8() + "\n";
        const QByteArray book = "1,A book,An Author\n";
        const auto badFile = static_cast<int>(ForeignImportResult::Status::BadFile);
        const auto unknown = static_cast<int>(ForeignImportResult::Status::UnknownKind);
        AddRow("unknown header", QByteArray("Name,Writer\nA,B\n"), unknown, QString());
        AddRow("exchange file", exchangeFile({}), unknown, QString());
        AddRow("not text", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), badFile,
               u"This file is not text."_s);
        AddRow("unbalanced quotes", header + book + "2,\"Never closed,Author\n3,More,Text\n", badFile,
               u"The double quote that opens a field on line 3 is never closed."_s);
        AddRow("a line of 10 MB", header + book + "2," + QByteArray(10 << 20, 'x') + "\n", badFile,
               u"The record that begins on line 3 is longer than 1,048,576 "
               "characters."_s);
    }

    void badFilesLeaveTheCatalogueAsItWas() {
        const auto [bytes, status, error] =
            FetchColumns<QByteArray, int, QString>("bytes", "status", "error");
        FRESH_HOME(home);
        const QString path = home.file(u"bad.csv"_s);
        WriteFile(path, bytes);
        const QString authors = u"SELECT COUNT(*) FROM [Author]"_s;
        const QStringList before = catalogueBooks() << QString::number(NumberOf(authors));
        const ForeignImportResult result = ImportForeignFile(path);
        QCOMPARE(result.error, error);
        QCOMPARE(QList<int>({int(result.status), result.added}), QList<int>({status, 0}));
        QCOMPARE(catalogueBooks() << QString::number(NumberOf(authors)), before);
    }

    void csvExportReadsBackFieldForField() {
        FRESH_HOME(home);
        QVERIFY(addBook(richBook()) > 0);
        QVERIFY(gConn.execute(u"UPDATE [Book] SET [ISBN] = '9780141439518' WHERE [BookId] > 1"_s));
        const QString path = home.file(u"books.csv"_s);
        home.prompts().file(path).answerOk();
        ExportCsvCommand();
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QCOMPARE(home.prompts().lastShown(), u"Export complete: 2 books exported."_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.peek(3) == "\xEF\xBB\xBF");
        CsvReader reader(file);
        QList<QStringList> read;
        for (QStringList fields; reader.readRecord(fields);)
            read << fields;
        QCOMPARE(reader.problemText(), QString());
        QCOMPARE(read.size(), 3);
        QCOMPARE(read[0], CsvExportHeader());
        QCOMPARE(read[1].mid(1).join(u'|'),
                 u"Pride, Prejudice & O'Brien's \"Annotated\" Édition|Émile O'Zola|9780141439518|4.5|"
                 "Poésie & Théâtre|Paperback|312|9-12 years|1999|Éditions du Lac, Genève|"
                 "Bestseller; PEN/Faulkner Award|Grenier, étagère 2|A-0042|2002-11-05|19.95|Dr. O'Neill||"
                 "First line\r\nSecond, with comma\r\nThird: 5 €"_s);
        QCOMPARE(read[2].mid(1, 3), (QStringList{"Sample Book #1", read[2][2], ""}));
    }

    // The window shows the file's kind and rows before writing anything; Cancel during the import
    // leaves the catalogue as it was and the window ready to import again.
    void importWindowShowsTheKindAndPreviewBeforeWriting() {
        FRESH_HOME(home);
        const QString path = home.file(u"export.csv"_s);
        WriteFile(path, goodreadsFile());
        int reloads = 0;
        bool readyAgain = false;
        qint64 afterCancel = -1;
        home.prompts().file(path).answerOk().answerOk();
        home.onNextModal([&](QDialog& dialog) {
            auto& window = dynamic_cast<frmImportOther&>(dialog);
            window.cmdBrowse->click();
            if (!window.lblKind->text().contains(u"Goodreads library export"_s) ||
                window.lstPreview->topLevelItemCount() != 7 ||
                window.lstPreview->topLevelItem(0)->text(3) != u"9780141439518"_s ||
                !window.lstPreview->topLevelItem(4)->text(1).startsWith(u"Skipped: "_s) || bookCount() != 1)
                return -1;
            // The import lets events through on its first book: Cancel is pressed then.
            QTimer::singleShot(0, window.cmdCancel, &QPushButton::click);
            window.cmdImport->click();
            readyAgain = window.isVisible() && window.cmdImport->isEnabled();
            afterCancel =
                NumberOf(u"SELECT COUNT(*) FROM [Author] WHERE [Name] = 'Alice Munro'"_s) + bookCount();
            window.cmdImport->click();
            return window.result();
        });
        ShowForeignImportWindow(nullptr, [&reloads] { ++reloads; });
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        // modal actions left, ready after Cancel, books and Munros after Cancel, books, reloads
        QCOMPARE(QList<qint64>({home.pendingModalActions(), readyAgain, afterCancel, bookCount(), reloads}),
                 QList<qint64>({0, 1, 1, 6, 1}));
        QCOMPARE(home.prompts().texts().at(1), u"The import was cancelled. The catalogue is as it was."_s);
        QCOMPARE(home.prompts().last().title + u": "_s + home.prompts().last().text.section(u'\n', 0, 0),
                 u"Import complete: 5 books added, 0 updated, 2 skipped."_s);
    }
};

TOMEKEEP_TEST(ImportsTest);

#include "tst_imports.moc"
