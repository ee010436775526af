#include "ExchangeTestSupport.h"
#include "db/Catalogue.h"
#include "exchange/Exporter.h"
#include "exchange/Importer.h"
#include "support/FileSizeLimit.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QDir>
#include <QTest>

using namespace exchangetest;

namespace {

ExchangeBook book(const QString& title) {
    ExchangeBook b;
    b.title = title;
    b.subject = QStringLiteral("(none)");
    b.format = QStringLiteral("(none)");
    b.rating = QStringLiteral("(none)");
    b.location = QStringLiteral("(none)");
    return b;
}

// A collection that exercises every rule of the file.
QList<ExchangeBook> awkwardBooks() {
    ExchangeBook rich = richBook();
    rich.title.remove(u'"');
    rich.lentDate = QDate(2024, 12, 31);

    ExchangeBook bare = book(QStringLiteral("Bare"));
    bare.author = QStringLiteral("Émile O'Zola");
    bare.subject = QStringLiteral("Poésie & Théâtre");
    bare.cost = Money::fromUnits(5);
    bare.stars = 0.25;
    return {rich, bare};
}

struct Snapshot {
    QStringList books;
    qint64 subjects = 0;
    qint64 authors = 0;
    qint64 awards = 0;
    qint64 links = 0;
};

Snapshot snapshot() {
    return {catalogueBooks(), number(QStringLiteral("SELECT COUNT(*) FROM [Subject]")),
            number(QStringLiteral("SELECT COUNT(*) FROM [Author]")),
            number(QStringLiteral("SELECT COUNT(*) FROM [Award]")),
            number(QStringLiteral("SELECT COUNT(*) FROM [BookAward]"))};
}

QString bookLine(const QString& title, const QString& awards = QString(),
                 const QString& subject = QStringLiteral("(none)")) {
    ExchangeBook b = book(title);
    b.awards = awards;
    b.subject = subject;
    return BuildExportLine(b);
}

qint64 bookCount() {
    return number(QStringLiteral("SELECT COUNT(*) FROM [Book]"));
}

} // namespace

class ExchangeFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theSampleBookIsExportedAsItsLine() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const QString path = home.file(QStringLiteral("books.txt"));
        QStringList titles;
        const ExportResult result = ExportBooks(path, [&titles](const QString& title) { titles << title; });
        QCOMPARE(result.status, ExportResult::Status::Done);
        QCOMPARE(result.count, 1);
        QCOMPARE(titles, QStringList{QStringLiteral("Sample Book #1")});
        const QDate today = QDate::currentDate();
        const auto author = GetAuthorName(number(QStringLiteral("SELECT [AuthorId] FROM [Book]")));
        QVERIFY(author && !author->isEmpty());
        const QString expected =
            QStringLiteral(
                "1,\"Sample Book #1\",3.5,\"(none)\",\"(none)\",90,\"(none)\",%1,\"Sample Publisher\",\"%2\","
                "\"Bestseller/Pulitzer Prize\",\"(none)\",\"ABC\",\"%3\",19.95,\"John Doe\",\"%4\",\"Sample "
                "notes\"")
                .arg(today.year())
                .arg(*author, today.addDays(-30).toString(QStringLiteral("MM/dd/yyyy")),
                     today.addDays(-3).toString(QStringLiteral("MM/dd/yyyy")));
        QCOMPARE(readBytes(path),
                 (ExchangeHeader() + QStringLiteral("\r\n") + expected + QStringLiteral("\r\n")).toUtf8());
    }

    void booksWithoutAllTheirRowsAreLeftOut() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        ExchangeBook orphan = book(QStringLiteral("A Orphan"));
        orphan.format = QStringLiteral("Scroll");
        QVERIFY(addBook(orphan) > 0);
        ExchangeBook plain = book(QStringLiteral("B Plain"));
        plain.author = QString();
        QVERIFY(addBook(plain) > 0);
        QVERIFY(gConn.execute(QStringLiteral("DELETE FROM [Format] WHERE [Name] = 'Scroll'")));
        const QString path = home.file(QStringLiteral("books.txt"));
        const ExportResult result = ExportBooks(path);
        QCOMPARE(result.count, 2);
        const QStringList lines = QString::fromUtf8(readBytes(path)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 4); // header, two books, nothing after the last line end
        QVERIFY(lines[1].startsWith(QStringLiteral("3,\"B Plain\",0,")));
        // No author, no awards, no dates.
        QVERIFY(lines[1].contains(QStringLiteral(",\"\",\"\",\"(none)\",\"\",,0.00,\"\",,\"\"")));
        QVERIFY(lines[2].startsWith(QStringLiteral("1,\"Sample Book #1\"")));
    }

    void aRoundTripGivesBackEveryBook() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        for (const ExchangeBook& b : awkwardBooks())
            QVERIFY(addBook(b) > 0);
        const Snapshot original = snapshot();
        const QString path = home.file(QStringLiteral("books.txt"));
        const qint64 cacheSize = number(QStringLiteral("PRAGMA cache_size"));
        QCOMPARE(ExportBooks(path).count, 3);
        QCOMPARE(number(QStringLiteral("PRAGMA cache_size")), cacheSize);

        // Into a new catalogue: the sample book is overwritten by its own values, the rest added.
        gConn.close();
        gDBName = QStringLiteral("COPY");
        QVERIFY(OpenDatabase());
        const qint64 tempStore = number(QStringLiteral("PRAGMA temp_store"));
        const ImportResult first = ImportExchangeFile(path);
        QCOMPARE(first.status, ImportResult::Status::Done);
        QCOMPARE(first.imported, 3);
        // The settings the import changes for its own length are put back.
        QCOMPARE(number(QStringLiteral("PRAGMA temp_store")), tempStore);
        QCOMPARE(number(QStringLiteral("PRAGMA cache_size")), cacheSize);
        const Snapshot copy = snapshot();
        QCOMPARE(copy.books, original.books);
        QCOMPARE(copy.subjects, original.subjects);
        QCOMPARE(copy.authors, original.authors);
        QCOMPARE(copy.awards, original.awards);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Subject] WHERE [Name] = ?"),
                        {QStringLiteral("Poésie & Théâtre")}),
                 1);

        // Into the same catalogue again: every book overwritten with its own values, nothing added.
        const ImportResult second = ImportExchangeFile(path);
        QCOMPARE(second.imported, 3);
        const Snapshot again = snapshot();
        QCOMPARE(again.books, original.books);
        QCOMPARE(again.links, copy.links);
        QCOMPARE(again.authors, copy.authors);
    }

    // Names and titles that differ only in the case of accented letters are one; the second line
    // of a title overwrites the first, and the export lists the titles as a reader orders them.
    void namesDifferingOnlyInCaseAreNotAddedAgain() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        ExchangeBook shouting = book(QStringLiteral("ÉCHOS DU NORD"));
        shouting.author = QStringLiteral("CHLOÉ ÅBERG");
        shouting.format = QStringLiteral("PAPERBACK");
        shouting.subject = QStringLiteral("poésie ÉPIQUE");
        shouting.awards = QStringLiteral("BESTSELLER/prix ÉTÉ/PRIX été");
        ExchangeBook quiet = book(QStringLiteral("Échos du Nord"));
        quiet.author = QStringLiteral("Chloé Åberg");
        quiet.subject = QStringLiteral("Poésie Épique");
        quiet.pages = 321;
        QStringList lines = {BuildExportLine(shouting), BuildExportLine(quiet)};
        for (const char* title : {"Zebra Days", "Ångström Tales", "apple pie"}) {
            ExchangeBook other = book(QString::fromUtf8(title));
            other.author = QStringLiteral("chloé åberg");
            lines << BuildExportLine(other);
        }
        const qint64 formats = number(QStringLiteral("SELECT COUNT(*) FROM [Format]"));
        const qint64 subjects = number(QStringLiteral("SELECT COUNT(*) FROM [Subject]"));
        const qint64 awards = number(QStringLiteral("SELECT COUNT(*) FROM [Award]"));
        const qint64 authors = number(QStringLiteral("SELECT COUNT(*) FROM [Author]"));
        const QString path = home.file(QStringLiteral("books.txt"));
        writeBytes(path, exchangeFile(lines));
        QCOMPARE(ImportExchangeFile(path).imported, 5);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Format]")), formats);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Subject]")), subjects + 1);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Award]")), awards + 1);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Author]")), authors + 1);
        QCOMPARE(bookCount(), 5);
        QCOMPARE(number(QStringLiteral("SELECT [Pages] FROM [Book] WHERE [TitleKey] = 'échos du nord'")),
                 321);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [BookAward] AS ba INNER JOIN [Book] AS b "
                                       "ON b.[BookId] = ba.[BookId] WHERE b.[TitleKey] = 'échos du nord'")),
                 2);

        QCOMPARE(ExportBooks(path).count, 5);
        QStringList titles;
        for (const QString& line : readLines(path).mid(1))
            titles << line.section(u'"', 1, 1);
        QCOMPARE(titles, QStringList({"Ångström Tales", "apple pie", "Échos du Nord", "Sample Book #1",
                                      "Zebra Days"}));
    }

    void aWindowsFileKeepsItsAccents() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        // As an older Windows installation writes it: code page 1252, CR LF.
        const QByteArray line =
            "7,\"Caf\xE9 cr\xE8me\",4,\"Po\xE9sie\",\"Paperback\",120,\"Teen\",1998,\"\xC9"
            "ditions\",\"\xC9mile Zola\",\"\",\"\xC9tag\xE8re\",\"L\",\"05/17/1999\",12.5,"
            "\"Zo\xEB\",,\"Co\xFBt 5 \x80|Merci \x93"
            "beaucoup\x94\"";
        const QString path = home.file(QStringLiteral("windows.txt"));
        writeBytes(path, ExchangeHeader().toLatin1() + "\r\n" + line + "\r\n");
        QCOMPARE(ImportExchangeFile(path).imported, 1);
        QCOMPARE(
            catalogueBooks().filter(QStringLiteral("Café")),
            QStringList{QStringLiteral("Café crème | 4 | Poésie | Paperback | 120 | Teen | 1998 | Éditions | "
                                       "Émile Zola |  | Étagère | L | 1999-05-17 | 12.5 | Zoë | 1899-01-01 | "
                                       "Coût 5 €\r\nMerci “beaucoup”")});
    }

    void badFilesEndInADefinedState_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("imported");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<int>("firstSkipped");
        const int done = int(ImportResult::Status::Done);
        const int wrong = int(ImportResult::Status::WrongFormat);
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 7919) % 256));
        const QString fields17 = QStringList(17, QStringLiteral("\"x\"")).join(u',');
        const QString fields19 = QStringList(19, QStringLiteral("\"x\"")).join(u',');
        const QString unbalanced =
            bookLine(QStringLiteral("Unbalanced"))
                .replace(QStringLiteral("\"Unbalanced\""), QStringLiteral("\"Unbalanced"));
        QTest::newRow("empty file") << QByteArray() << wrong << 0 << 0 << 0;
        QTest::newRow("header only") << (ExchangeHeader().toUtf8() + "\r\n") << done << 0 << 0 << 0;
        QTest::newRow("header without line end") << ExchangeHeader().toUtf8() << done << 0 << 0 << 0;
        QTest::newRow("binary") << binary << wrong << 0 << 0 << 0;
        QTest::newRow("one 10 MB line") << QByteArray(10 << 20, 'x') << wrong << 0 << 0 << 0;
        QTest::newRow("header in lower case with blanks, LF only")
            << ("   " + ExchangeHeader().toLower().toUtf8() + "  \n" +
                bookLine(QStringLiteral("Lower")).toUtf8() + "\n")
            << done << 1 << 0 << 0;
        QTest::newRow("too few, too many, unbalanced")
            << exchangeFile({bookLine(QStringLiteral("First")), fields17, fields19, unbalanced,
                             bookLine(QStringLiteral("Last"))})
            << done << 2 << 3 << 3;
        // Longer than any book can be: passed over without being read whole.
        QTest::newRow("one 10 MB book line")
            << exchangeFile({BuildExportLine(book(QStringLiteral("Long Notes"))).chopped(1) +
                                 QString(10 << 20, u'n') + u'"',
                             bookLine(QStringLiteral("Last"))})
            << done << 1 << 1 << 2;
        // Notes longer than their column are cut to it.
        QTest::newRow("long notes") << exchangeFile(
                                           {BuildExportLine(book(QStringLiteral("Long Notes"))).chopped(1) +
                                            QString(100000, u'n') + u'"'})
                                    << done << 1 << 0 << 0;
        QTest::newRow("empty line ends the books")
            << exchangeFile(
                   {bookLine(QStringLiteral("Before")), QString(), bookLine(QStringLiteral("After"))})
            << done << 1 << 0 << 0;
        QTest::newRow("short line ends the books")
            << exchangeFile({bookLine(QStringLiteral("Before")), QStringLiteral("1,\"short\""),
                             bookLine(QStringLiteral("After"))})
            << done << 1 << 0 << 0;
    }

    void badFilesEndInADefinedState() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(int, imported);
        QFETCH(int, skipped);
        QFETCH(int, firstSkipped);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const QString path = home.file(QStringLiteral("bad.txt"));
        writeBytes(path, bytes);
        const Snapshot before = snapshot();
        const ImportResult result = ImportExchangeFile(path);
        QCOMPARE(int(result.status), status);
        QCOMPARE(result.imported, imported);
        QCOMPARE(result.skipped, skipped);
        QCOMPARE(result.firstSkippedLine, firstSkipped);
        QCOMPARE(bookCount(), before.books.size() + imported);
        QVERIFY(catalogueBooks().filter(QStringLiteral("After")).isEmpty());
        QVERIFY(catalogueBooks().filter(QStringLiteral("Unbalanced")).isEmpty());
        if (imported == 0)
            QCOMPARE(snapshot().subjects, before.subjects);
    }

    void aTitleTwiceInTheFileIsOneBook() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        ExchangeBook first = book(QStringLiteral("Twice Told Tales"));
        first.pages = 100;
        ExchangeBook second = first;
        second.pages = 200;
        const QString path = home.file(QStringLiteral("twice.txt"));
        writeBytes(path, exchangeFile({BuildExportLine(first), BuildExportLine(second)}));
        QCOMPARE(ImportExchangeFile(path).imported, 2);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [Title] = 'Twice Told Tales'")), 1);
        QCOMPARE(number(QStringLiteral("SELECT [Pages] FROM [Book] WHERE [Title] = 'Twice Told Tales'")),
                 200);
    }

    void theFirstBookOfATitleIsOverwritten() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const int first = addBook(book(QStringLiteral("Doubled Title Here")));
        const int second = addBook(book(QStringLiteral("Another Title Here")));
        QVERIFY(first > 0 && second > first);
        // Two books of one title can only arise by renaming one.
        QVERIFY(gConn.execute(
            QStringLiteral("UPDATE [Book] SET [Title] = 'Doubled Title Here' WHERE [BookId] = ?"), {second}));
        // The file has no ISBN: the overwritten book keeps its own.
        QVERIFY(gConn.execute(QStringLiteral("UPDATE [Book] SET [ISBN] = '9780140449136' WHERE [BookId] = ?"),
                              {first}));
        ExchangeBook line = book(QStringLiteral("DOUBLED title here"));
        line.pages = 77;
        const QString path = home.file(QStringLiteral("doubled.txt"));
        writeBytes(path, exchangeFile({BuildExportLine(line)}));
        QCOMPARE(ImportExchangeFile(path).imported, 1);
        QCOMPARE(number(QStringLiteral("SELECT [Pages] FROM [Book] WHERE [BookId] = ?"), {first}), 77);
        QCOMPARE(number(QStringLiteral("SELECT [Pages] FROM [Book] WHERE [BookId] = ?"), {second}), 0);
        QCOMPARE(number(QStringLiteral("SELECT [ISBN] FROM [Book] WHERE [BookId] = ?"), {first}),
                 9780140449136);
        QCOMPARE(bookCount(), 3);
    }

    void awardsAreLinkedOnce() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const QString path = home.file(QStringLiteral("awards.txt"));
        writeBytes(path,
                   exchangeFile(
                       {bookLine(QStringLiteral("Two Awards Book"), QStringLiteral("Bestseller/Nobel Prize")),
                        bookLine(QStringLiteral("Trailing Slashes"), QStringLiteral("Bestseller//")),
                        bookLine(QStringLiteral("Slashes Around"), QStringLiteral("/Nobel Prize/"))}));
        const auto links = [](const QString& title) {
            return number(QStringLiteral("SELECT COUNT(*) FROM [BookAward] AS ba INNER JOIN [Book] AS b "
                                         "ON b.[BookId] = ba.[BookId] WHERE b.[Title] = ?"),
                          {title});
        };
        for (int pass = 0; pass < 2; ++pass) {
            QCOMPARE(ImportExchangeFile(path).imported, 3);
            QCOMPARE(links(QStringLiteral("Two Awards Book")), 2);
            QCOMPARE(links(QStringLiteral("Trailing Slashes")), 1);
            QCOMPARE(links(QStringLiteral("Slashes Around")), 1);
        }
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Award] WHERE [Name] = ''")), 0);
    }

    void aFailureKeepsTheBooksBeforeIt() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        QStringList lines;
        for (int i = 1; i <= 1500; ++i)
            lines << bookLine(QStringLiteral("Book number %1").arg(i, 4, 10, QChar(u'0')),
                              QStringLiteral("Bestseller"));
        lines[1199] = bookLine(QStringLiteral("Refused book"), QStringLiteral("Doomed Award"),
                               QStringLiteral("Doomed Subject"));
        QVERIFY(gConn.execute(
            QStringLiteral("CREATE TRIGGER [refuse] BEFORE INSERT ON [Book] "
                           "WHEN NEW.[Title] = 'Refused book' BEGIN SELECT RAISE(ABORT, 'refused'); END")));
        const QString path = home.file(QStringLiteral("many.txt"));
        writeBytes(path, exchangeFile(lines));
        const ImportResult result = ImportExchangeFile(path);
        QCOMPARE(result.status, ImportResult::Status::Failed);
        QCOMPARE(result.failedLine, 1201);
        QCOMPARE(result.imported, 1199);
        QVERIFY2(result.error.contains(QStringLiteral("refused")), qPrintable(result.error));
        QCOMPARE(bookCount(), 1 + 1199);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [Title] = 'Book number 1199'")), 1);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [Title] = 'Book number 1201'")), 0);
        // The failing line leaves nothing behind.
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Subject] WHERE [Name] = 'Doomed Subject'")), 0);
        QVERIFY(!gConn.inTransaction());
    }

    void aFullDiskIsToldAsSuch() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        QStringList lines;
        for (int i = 1; i <= 300; ++i) {
            ExchangeBook line = book(QStringLiteral("Book number %1").arg(i));
            line.notes = QString(200, u'n');
            lines << BuildExportLine(line);
        }
        const QString path = home.file(QStringLiteral("many.txt"));
        writeBytes(path, exchangeFile(lines));
        // The catalogue may not grow by more than a few pages, as on a disk that is all but full.
        QVERIFY(gConn.execute(QStringLiteral("PRAGMA max_page_count = %1")
                                  .arg(number(QStringLiteral("PRAGMA page_count")) + 4)));
        const ImportResult result = ImportExchangeFile(path);
        QCOMPARE(result.status, ImportResult::Status::Failed);
        QVERIFY2(result.error.contains(QStringLiteral("Error 13 (database or disk is full)")),
                 qPrintable(result.error));
        QCOMPARE(bookCount(), 1);
        QVERIFY(!gConn.inTransaction());
        QVERIFY(gConn.execute(QStringLiteral("INSERT INTO [Award] ([Name]) VALUES ('After')")));
    }

    void aFailedExportLeavesTheEarlierFile() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        QVERIFY(gConn.beginTransaction());
        for (int i = 1; i <= 500; ++i) {
            ExchangeBook line = book(QStringLiteral("Book number %1").arg(i));
            line.notes = QString(200, u'n');
            QVERIFY(addBook(line) > 0);
        }
        QVERIFY(gConn.commit());
        const QString path = home.file(QStringLiteral("books.txt"));
        const QByteArray earlier = exchangeFile({bookLine(QStringLiteral("Earlier export"))});
        writeBytes(path, earlier);
        ExportResult result;
        {
            const FileSizeLimit diskAllButFull(64 * 1024);
            result = ExportBooks(path);
        }
        QCOMPARE(result.status, ExportResult::Status::Failed);
        QCOMPARE(readBytes(path), earlier);
        QCOMPARE(QDir(home.path()).entryList({QStringLiteral("books.txt*")}, QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("books.txt")});
        QCOMPARE(ExportBooks(path).count, 501);
    }

    void aMissingFileCannotBeOpened() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const ImportResult result = ImportExchangeFile(home.path());
        QCOMPARE(result.status, ImportResult::Status::CannotOpen);
        QVERIFY(!result.error.isEmpty());
    }
};

TOMEKEEP_TEST(ExchangeFileTest);
#include "tst_exchangefile.moc"
