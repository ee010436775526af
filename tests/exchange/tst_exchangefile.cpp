#include "ExchangeTestSupport.h"
#include "db/Catalogue.h"
#include "exchange/Exporter.h"
#include "exchange/Importer.h"
#include "support/FileSizeLimit.h"
#include "support/Parts.h"

using namespace exchangetest;

namespace {

ExchangeBook book(const QString& title) {
    ExchangeBook book;
    book.title = title;
    book.subject = book.format = book.rating = book.location = u"(none)"_s;
    return book;
}

// The bytes written as a file in the test's home, then imported.
ImportResult importBytes(const TestHome& home, const QByteArray& bytes) {
    const QString path = home.file(u"books.txt"_s);
    WriteFile(path, bytes);
    return ImportExchangeFile(path);
}

// An import's outcome as one line: its status, the books imported and skipped, the first line
// skipped, and for a failure the line it stopped at.
QString outcome(const ImportResult& r) {
    return u"%1 %2 %3 %4"_s.arg(Parts("done|cannot open|wrong|failed").value(int(r.status)))
               .arg(r.imported)
               .arg(r.skipped)
               .arg(r.firstSkippedLine) +
           (r.status == ImportResult::Status::Failed ? u" at %1"_s.arg(r.failedLine) : QString());
}

// A collection that exercises every rule of the file.
QList<ExchangeBook> awkwardBooks() {
    ExchangeBook rich = richBook();
    rich.title.remove(u'"');
    rich.lentDate = QDate(2024, 12, 31);

    ExchangeBook bare = book(u"Bare"_s);
    bare.author = u"Émile O'Zola"_s;
    bare.subject = u"Poésie & Théâtre"_s;
    bare.cost = Money::fromUnits(5);
    bare.stars = 0.25;
    return {rich, bare};
}

qint64 rowsOf(const char* table) {
    return NumberOf(u"SELECT COUNT(*) FROM [%1]"_s.arg(QLatin1StringView(table)));
}

// The books and how many rows each list holds.
QStringList snapshot() {
    QStringList rows = catalogueBooks();
    for (const char* table : {"Subject", "Author", "Award", "BookAward"})
        rows << u"%1: %2"_s.arg(QLatin1StringView(table)).arg(rowsOf(table));
    return rows;
}

QString bookLine(const QString& title, const QString& awards = QString(),
                 const QString& subject = u"(none)"_s) {
    ExchangeBook b = book(title);
    b.awards = awards;
    b.subject = subject;
    return BuildExportLine(b);
}

} // namespace

class ExchangeFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theSampleBookIsExportedAsItsLine() {
        FRESH_HOME(home);
        const QString path = home.file(u"books.txt"_s);
        QStringList titles;
        const ExportResult result = ExportBooks(path, [&titles](const QString& title) { titles << title; });
        QVERIFY(result.status == ExportResult::Status::Done && result.count == 1 &&
                titles == QStringList{u"Sample Book #1"_s});
        const QDate today = QDate::currentDate();
        const auto author = GetAuthorName(NumberOf(u"SELECT [AuthorId] FROM [Book]"_s));
        QVERIFY(author && !author->isEmpty());
        const QString expected =
            u"1,\"Sample Book #1\",3.5,\"(none)\",\"(none)\",90,\"(none)\",%1,\"Sample Publisher\",\"%2\","
            "\"Bestseller/Pulitzer Prize\",\"(none)\",\"ABC\",\"%3\",19.95,\"John Doe\",\"%4\",\"Sample "
            "notes\""_s.arg(today.year())
                .arg(*author, today.addDays(-30).toString(u"MM/dd/yyyy"_s),
                     today.addDays(-3).toString(u"MM/dd/yyyy"_s));

        // The file is compared once it also holds a plain book. A book whose format is gone is
        // left out; one without author, awards or dates is not.
        ExchangeBook orphan = book(u"A Orphan"_s);
        orphan.format = u"Scroll"_s;
        QVERIFY(addBook(orphan) > 0);
        QVERIFY(addBook(book(u"B Plain"_s)) > 0);
        QVERIFY(gConn.execute(u"DELETE FROM [Format] WHERE [Name] = 'Scroll'"_s));
        QCOMPARE(ExportBooks(path).count, 2);
        // The header, the plain book (no author, no awards, no dates), the sample book, and nothing
        // after the last line end.
        const QString plain =
            u"3,\"B Plain\",0,\"(none)\",\"(none)\",0,\"(none)\",0,\"\",\"\",\"\",\"(none)\",\"\","
            ",0.00,\"\",,\"\""_s;
        QCOMPARE(QString::fromUtf8(readBytes(path)).split(u"\r\n"_s),
                 QStringList({ExchangeHeader(), plain, expected, QString()}));
    }

    void aRoundTripGivesBackEveryBook() {
        FRESH_HOME(home);
        for (const ExchangeBook& b : awkwardBooks())
            QVERIFY(addBook(b) > 0);
        const QStringList original = snapshot();
        const QString path = home.file(u"books.txt"_s);
        const qint64 cacheSize = NumberOf(u"PRAGMA cache_size"_s);
        QCOMPARE(ExportBooks(path).count, 3);
        QCOMPARE(NumberOf(u"PRAGMA cache_size"_s), cacheSize);

        // Into a new catalogue: the sample book is overwritten by its own values, the rest added.
        gConn.close();
        gDBName = u"COPY"_s;
        QVERIFY(OpenDatabase());
        const qint64 tempStore = NumberOf(u"PRAGMA temp_store"_s);
        QCOMPARE(outcome(ImportExchangeFile(path)), u"done 3 0 0"_s);
        // The settings the import changes for its own length are put back.
        QCOMPARE(NumberOf(u"PRAGMA temp_store"_s), tempStore);
        QCOMPARE(NumberOf(u"PRAGMA cache_size"_s), cacheSize);
        QCOMPARE(snapshot(), original);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Subject] WHERE [Name] = ?"_s, {u"Poésie & Théâtre"_s}), 1);

        // Into the same catalogue again: every book overwritten with its own values, nothing added.
        QCOMPARE(outcome(ImportExchangeFile(path)), u"done 3 0 0"_s);
        QCOMPARE(snapshot(), original);
    }

    // Names and titles that differ only in the case of accented letters are one; the second line
    // of a title overwrites the first, and the export lists the titles as a reader orders them.
    void namesDifferingOnlyInCaseAreNotAddedAgain() {
        FRESH_HOME(home);
        ExchangeBook shouting = book(u"ÉCHOS DU NORD"_s);
        shouting.author = u"CHLOÉ ÅBERG"_s;
        shouting.format = u"PAPERBACK"_s;
        shouting.subject = u"poésie ÉPIQUE"_s;
        shouting.awards = u"BESTSELLER/prix ÉTÉ/PRIX été"_s;
        ExchangeBook quiet = book(u"Échos du Nord"_s);
        quiet.author = u"Chloé Åberg"_s;
        quiet.subject = u"Poésie Épique"_s;
        quiet.pages = 321;
        QStringList lines = {BuildExportLine(shouting), BuildExportLine(quiet)};
        for (const char* title : {"Zebra Days", "Ångström Tales", "apple pie"}) {
            ExchangeBook other = book(QString::fromUtf8(title));
            other.author = u"chloé åberg"_s;
            lines << BuildExportLine(other);
        }
        const auto lists = [] {
            return QList<qint64>{rowsOf("Format"), rowsOf("Subject"), rowsOf("Award"), rowsOf("Author")};
        };
        const QList<qint64> before = lists();
        QCOMPARE(importBytes(home, exchangeFile(lines)).imported, 5);
        QCOMPARE(lists(), (QList<qint64>{before[0], before[1] + 1, before[2] + 1, before[3] + 1}));
        // Books in all, and the one Échos du Nord's pages and awards.
        QCOMPARE(
            TextsOf(
                u"SELECT (SELECT COUNT(*) FROM [Book]), b.[Pages], (SELECT COUNT(*) FROM [BookAward] "
                "AS ba WHERE ba.[BookId] = b.[BookId]) FROM [Book] AS b WHERE b.[TitleKey] = 'échos du nord'"_s),
            QStringList{u"5|321|2"_s});

        const QString path = home.file(u"books.txt"_s);
        QCOMPARE(ExportBooks(path).count, 5);
        QStringList titles;
        // Every title fits the code page, so the file is written in it.
        for (const QString& line : QString::fromLatin1(readBytes(path)).split(u"\r\n"_s).mid(1, 5))
            titles << line.section(u'"', 1, 1);
        QCOMPARE(titles, QStringList({"Ångström Tales", "apple pie", "Échos du Nord", "Sample Book #1",
                                      "Zebra Days"}));
    }

    void aWindowsFileKeepsItsAccents() {
        FRESH_HOME(home);
        // As an older Windows installation writes it: code page 1252, CR LF.
        const QByteArray line =
            "7,\"Caf\xE9 cr\xE8me\",4,\"Po\xE9sie\",\"Paperback\",120,\"Teen\",1998,\"\xC9"
            "ditions\",\"\xC9mile Zola\",\"\",\"\xC9tag\xE8re\",\"L\",\"05/17/1999\",12.5,"
            "\"Zo\xEB\",,\"Co\xFBt 5 \x80|Merci \x93"
            "beaucoup\x94\"";
        QCOMPARE(importBytes(home, ExchangeHeader().toLatin1() + "\r\n" + line + "\r\n").imported, 1);
        QCOMPARE(catalogueBooks().filter(u"Café"_s),
                 QStringList{u"Café crème|4|Poésie|Paperback|120|Teen|1998|Éditions|Émile Zola||Étagère|L|"
                             "1999-05-17|12.5|Zoë|1899-01-01|Coût 5 €\r\nMerci “beaucoup”"_s});
    }

    void badFilesEndInADefinedState_data() {
        // expected: the outcome
        AddColumns<QByteArray, QString>("bytes", "expected");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 7919) % 256));
        const QString fields17 = QStringList(17, u"\"x\""_s).join(u',');
        const QString fields19 = QStringList(19, u"\"x\""_s).join(u',');
        const QString trailingComma = QStringList(18, u"\"x\""_s).join(u',') + u',';
        const QString unbalanced = bookLine(u"Unbalanced"_s).replace(u"\"Unbalanced\""_s, u"\"Unbalanced"_s);
        AddRow("empty file", QByteArray(), "wrong 0 0 0");
        AddRow("header only", ExchangeHeader().toUtf8() + "\r\n", "done 0 0 0");
        AddRow("header without line end", ExchangeHeader().toUtf8(), "done 0 0 0");
        AddRow("binary", binary, "wrong 0 0 0");
        AddRow("one 10 MB line", QByteArray(10 << 20, 'x'), "wrong 0 0 0");
        AddRow("header in lower case with blanks, LF only",
               ("   " + ExchangeHeader().toLower().toUtf8() + "  \n" + bookLine(u"Lower"_s).toUtf8() + "\n"),
               "done 1 0 0");
        // Lines that do not hold exactly eighteen fields are skipped.
        AddRow("too few, too many, trailing comma, unbalanced",
               exchangeFile({bookLine(u"First"_s), fields17, fields19, trailingComma, unbalanced,
                             bookLine(u"Last"_s)}),
               "done 2 4 3");
        // Longer than any book can be: passed over without being read whole.
        AddRow(
            "one 10 MB book line",
            exchangeFile({BuildExportLine(book(u"Long Notes"_s)).chopped(1) + QString(10 << 20, u'n') + u'"',
                          bookLine(u"Last"_s)}),
            "done 1 1 2");
        // Notes longer than their column are cut to it.
        AddRow(
            "long notes",
            exchangeFile({BuildExportLine(book(u"Long Notes"_s)).chopped(1) + QString(100000, u'n') + u'"'}),
            "done 1 0 0");
        AddRow("empty line ends the books",
               exchangeFile({bookLine(u"Before"_s), QString(), bookLine(u"After"_s)}), "done 1 0 0");
        AddRow("short line ends the books",
               exchangeFile({bookLine(u"Before"_s), u"1,\"short\""_s, bookLine(u"After"_s)}), "done 1 0 0");
    }

    void badFilesEndInADefinedState() {
        const auto [bytes, expected] = FetchColumns<QByteArray, QString>("bytes", "expected");
        FRESH_HOME(home);
        const QStringList before = snapshot();
        const ImportResult r = importBytes(home, bytes);
        QCOMPARE(outcome(r), expected);
        QCOMPARE(rowsOf("Book"), before.size() - 4 + r.imported);
        QVERIFY(catalogueBooks().filter(u"After"_s).isEmpty() &&
                catalogueBooks().filter(u"Unbalanced"_s).isEmpty());
        if (r.imported == 0)
            QCOMPARE(snapshot(), before);
    }

    void theFirstBookOfATitleIsOverwritten() {
        FRESH_HOME(home);
        const int first = addBook(book(u"Doubled Title Here"_s));
        const int second = addBook(book(u"Another Title Here"_s));
        QVERIFY(first > 0 && second > first);
        // Two books of one title can only arise by renaming one.
        QVERIFY(gConn.execute(u"UPDATE [Book] SET [Title] = 'Doubled Title Here' WHERE [BookId] = ?"_s,
                              {second}));
        // The file has no ISBN: the overwritten book keeps its own.
        QVERIFY(gConn.execute(u"UPDATE [Book] SET [ISBN] = '9780140449136' WHERE [BookId] = ?"_s, {first}));
        ExchangeBook line = book(u"DOUBLED title here"_s);
        line.pages = 77;
        QCOMPARE(importBytes(home, exchangeFile({BuildExportLine(line)})).imported, 1);
        // Each book of the title as "id|pages|ISBN|books in all".
        QCOMPARE(TextsOf(u"SELECT [BookId], [Pages], [ISBN], (SELECT COUNT(*) FROM [Book]) FROM [Book] "
                         "WHERE [BookId] IN (?, ?) ORDER BY [BookId]"_s,
                         {first, second}),
                 QStringList({u"%1|77|9780140449136|3"_s.arg(first), u"%1|0||3"_s.arg(second)}));
    }

    void aFailureKeepsTheBooksBeforeIt() {
        FRESH_HOME(home);
        QStringList lines;
        for (int i = 1; i <= 1500; ++i)
            lines << bookLine(u"Book number %1"_s.arg(i, 4, 10, QChar(u'0')), u"Bestseller"_s);
        lines[1199] = bookLine(u"Refused book"_s, u"Doomed Award"_s, u"Doomed Subject"_s);
        QVERIFY(
            gConn.execute(u"CREATE TRIGGER [refuse] BEFORE INSERT ON [Book] "
                          "WHEN NEW.[Title] = 'Refused book' BEGIN SELECT RAISE(ABORT, 'refused'); END"_s));
        const ImportResult result = importBytes(home, exchangeFile(lines));
        QCOMPARE(outcome(result), u"failed 1199 0 0 at 1201"_s);
        QVERIFY2(result.error.contains(u"refused"_s), qPrintable(result.error));
        // The sample book and the 1,199 books before the refused one, the last of them included.
        QCOMPARE(rowsOf("Book"), 1 + 1199);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE [Title] = 'Book number 1199'"_s), 1);
        // The failing line leaves nothing behind.
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Subject] WHERE [Name] = 'Doomed Subject'"_s), 0);
        QVERIFY(!gConn.inTransaction());
    }

    // On a disk that is all but full an export keeps the earlier file, and an import into a
    // catalogue that cannot grow keeps nothing.
    void aFullDiskLeavesWhatWasThere() {
        FRESH_HOME(home);
        QVERIFY(gConn.beginTransaction());
        for (int i = 1; i <= 500; ++i) {
            ExchangeBook line = book(u"Book number %1"_s.arg(i));
            line.notes = QString(200, u'n');
            QVERIFY(addBook(line) > 0);
        }
        QVERIFY(gConn.commit());
        const QString path = home.file(u"books.txt"_s);
        const QByteArray earlier = exchangeFile({bookLine(u"Earlier export"_s)});
        WriteFile(path, earlier);
        ExportResult result;
        {
            const FileSizeLimit diskAllButFull(64 * 1024);
            result = ExportBooks(path);
        }
        QCOMPARE(result.status, ExportResult::Status::Failed);
        QCOMPARE(readBytes(path), earlier);
        QCOMPARE(QDir(home.path()).entryList({u"books.txt*"_s}, QDir::Files | QDir::Hidden),
                 QStringList{u"books.txt"_s});
        QCOMPARE(ExportBooks(path).count, 501);

        // Into a new catalogue that may not grow by more than a few pages.
        gConn.close();
        gDBName = u"FULL"_s;
        QVERIFY(OpenDatabase());
        QVERIFY(gConn.execute(u"PRAGMA max_page_count = %1"_s.arg(NumberOf(u"PRAGMA page_count"_s) + 4)));
        const ImportResult imported = ImportExchangeFile(path);
        QVERIFY2(imported.status == ImportResult::Status::Failed &&
                     imported.error.contains(u"Error 13 (database or disk is full)"_s),
                 qPrintable(imported.error));
        // Nothing kept, and no transaction left open.
        QVERIFY(rowsOf("Book") == 1 && !gConn.inTransaction());
        QVERIFY(gConn.execute(u"INSERT INTO [Award] ([Name]) VALUES ('After')"_s));
        // A folder cannot be opened as a file of books.
        const ImportResult folder = ImportExchangeFile(home.path());
        QVERIFY(folder.status == ImportResult::Status::CannotOpen && !folder.error.isEmpty());
    }
};

TOMEKEEP_TEST(ExchangeFileTest);
#include "tst_exchangefile.moc"
