#include "db/Catalogue.h"
#include "db/Connection.h"
#include "support/StandInServer.h"
#include "support/TestHome.h"

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the built tomekeep-cli in the test's data folder, keeping this event loop (and so the
// stand-in server) going meanwhile.
CliRun runCli(const TestHome& home, const QStringList& arguments, const QString& metadataUrl = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"TOMEKEEP_HOME"_s, home.path());
    environment.remove(u"DISPLAY"_s);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"none"_s);
    if (!metadataUrl.isEmpty())
        environment.insert(u"TOMEKEEP_METADATA_URL"_s, metadataUrl);
    process.setProcessEnvironment(environment);
    QSignalSpy ended(&process, &QProcess::finished);
    process.start(QStringLiteral(TOMEKEEP_CLI), arguments);
    if (!ended.wait(30000))
        process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Each book of a catalogue as "title|isbn|has a cover", by number.
QStringList storedBooks(const QString& file) {
    if (!OpenCatalogueFile(file).ok())
        return {u"<cannot open>"_s};
    const QStringList books =
        TextsOf(u"SELECT b.[Title], b.[ISBN], IFNULL(LENGTH(c.[Image]), 0) > 0 FROM [Book] b "
                "LEFT JOIN [BookCover] c ON c.[BookId] = b.[BookId] ORDER BY b.[BookId]"_s);
    gConn.close();
    return books;
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void commandsAnswerTheirExitCodes_data() {
        AddColumns<QStringList, QString, int, QString, QStringList>("arguments", "server", "exitCode", "said",
                                                                    "books");
        const QString sample = u"Sample Book #1||0"_s;
        const QString crime = u"Crime and Punishment|9780140449136|1"_s;
        AddRow("help", QStringList{"--help"}, "", 0, "Commands:", QStringList());
        AddRow("no command", QStringList{}, "", 2, "Usage:", QStringList());
        AddRow("unknown command", QStringList{"shelve"}, "", 2, "'shelve' is not a command", QStringList());
        AddRow("command help", QStringList{"add", "--help"}, "", 0, "--isbn <ISBN>", QStringList());
        AddRow("list creates and seeds", QStringList{"list"}, "", 0, "1\tSample Book #1\t",
               QStringList{sample});
        AddRow("list searched", QStringList{"list", "--search", "title", "sample*"}, "", 0, "Sample Book #1",
               QStringList{sample});
        AddRow("list wrong kind", QStringList{"list", "--search", "colour", "red"}, "", 2, "search kinds",
               QStringList{sample});
        AddRow("add by isbn", QStringList{"add", "--isbn", "0-14-044913-2"}, "found", 0,
               "Crime and Punishment", QStringList{sample, crime});
        AddRow("wrong check digit", QStringList{"add", "--isbn", "0-14-044913-3"}, "found", 1,
               "is not an ISBN", QStringList{sample});
        AddRow("unreachable server", QStringList{"add", "--isbn", "9780140449136"}, "closed", 1,
               "could not be reached", QStringList{sample});
        AddRow("unknown isbn", QStringList{"add", "--isbn", "9780140449136"}, "{}", 1,
               "No book with the ISBN 9780140449136", QStringList{sample});
        AddRow("add by title", QStringList{"add", "--title", "Dune", "--author", "Frank Herbert"}, "", 0,
               "Dune", QStringList{sample, "Dune||0"});
        AddRow("title taken", QStringList{"add", "--title", "sample book #1"}, "", 1,
               "is in the catalogue already", QStringList{sample});
        AddRow("add without what", QStringList{"add"}, "", 2, "--isbn or --title", QStringList{sample});
        AddRow("check", QStringList{"check"}, "", 0, "0 problems repaired", QStringList{sample});
        AddRow("import missing file", QStringList{"import", "/nonexistent/books.txt"}, "", 1, "No such file",
               QStringList{sample});
        AddRow("named catalogue", QStringList{"--catalogue", "home-lib", "list"}, "", 0, "Sample Book #1",
               QStringList());
        AddRow("version", QStringList{"--version"}, "", 0, "tomekeep-cli ", QStringList());
        AddRow("unknown option", QStringList{"list", "--colour"}, "", 2, "colour", QStringList());
        AddRow("stray word", QStringList{"add", "Dune"}, "", 2, "add takes options only", QStringList());
        AddRow("title twice", QStringList{"add", "--title", "A", "--title", "B"}, "", 2,
               "--title may be given once", QStringList());
        AddRow("isbn with details", QStringList{"add", "--isbn", "0140449132", "--pages", "9"}, "", 2,
               "--isbn takes the details", QStringList());
        AddRow("blank title", QStringList{"add", "--title", " "}, "", 2, "--title needs a title",
               QStringList());
        AddRow("catalogue without a name", QStringList{"list", "--catalogue"}, "", 2, "--catalogue needs",
               QStringList());
        AddRow("catalogue joined by =", QStringList{"--catalogue=home-lib", "list"}, "", 0, "Sample Book #1",
               QStringList());
        AddRow("file that is no catalogue", QStringList{"--catalogue", "/etc/hostname", "list"}, "", 1,
               "cannot open the catalogue", QStringList());
    }

    void commandsAnswerTheirExitCodes() {
        const auto [arguments, server, exitCode, said, books] =
            FetchColumns<QStringList, QString, int, QString, QStringList>("arguments", "server", "exitCode",
                                                                          "said", "books");
        TestHome home;
        StandInServer stand;
        const QString base = stand.play(server);
        const CliRun run = runCli(home, arguments, base);
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.out + run.err));
        QVERIFY2((exitCode == 0 ? run.out : run.err).contains(said), qPrintable(run.out + run.err));
        if (!books.isEmpty())
            QCOMPARE(storedBooks(home.file(u"BIBLIO.sqlite"_s)), books);
    }

    // A book's ISBN is added once, however it is written; a Goodreads export read twice adds its
    // book once; the CSV export writes it, and is no file to import; export, import and backup then
    // carry the catalogue's books whole.
    void booksAreAddedOnceAndRoundTrip() {
        TestHome home;
        StandInServer stand;
        const QString base = stand.play(u"no cover"_s);
        QCOMPARE(runCli(home, {"add", "--isbn", "0140449132"}, base).exitCode, 0);
        const CliRun twice = runCli(home, {"add", "--isbn", "978-0-14-044913-6"}, base);
        QVERIFY2(twice.exitCode == 1 && twice.err.contains(u"has the ISBN 9780140449136 already"_s),
                 qPrintable(twice.err));
        const QString goodreads = home.file(u"goodreads_library_export.csv"_s);
        WriteFile(goodreads, "Book Id,Title,Author,ISBN13,Exclusive Shelf\r\n"
                             "1,\"Dune, Deluxe\",Frank Herbert,\"=\"\"9780441013593\"\"\",read\r\n");
        for (int round = 0; round < 2; ++round)
            QCOMPARE(runCli(home, {"import", goodreads}).exitCode, 0);
        const QString csv = home.file(u"books.csv"_s);
        QCOMPARE(runCli(home, {"export", "--csv", csv}).exitCode, 0);
        QFile written(csv);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        QVERIFY2(bytes.startsWith("\xEF\xBB\xBF") && bytes.contains("\"Dune, Deluxe\""), bytes.constData());
        QCOMPARE(runCli(home, {"import", csv}).exitCode, 1);

        const QString exchange = home.file(u"books.txt"_s);
        const QString copy = home.file(u"copy.sqlite"_s);
        QCOMPARE(runCli(home, {"export", exchange}).exitCode, 0);
        QCOMPARE(runCli(home, {"--catalogue", "OTHER", "import", exchange}).out.trimmed(),
                 u"3 books imported, 0 lines passed over"_s);
        const QStringList books = {"Sample Book #1||0", "Crime and Punishment|9780140449136|0",
                                   "Dune, Deluxe|9780441013593|0"};
        QCOMPARE(storedBooks(home.file(u"BIBLIO.sqlite"_s)), books);
        // The exchange file carries no ISBN.
        QCOMPARE(storedBooks(home.file(u"OTHER.sqlite"_s)),
                 QStringList({"Sample Book #1||0", "Crime and Punishment||0", "Dune, Deluxe||0"}));
        QCOMPARE(runCli(home, {"backup", copy}).exitCode, 0);
        QCOMPARE(storedBooks(copy), books);
        const CliRun again = runCli(home, {"backup", copy});
        QVERIFY(again.exitCode == 1 && again.err.contains(u"exists already"_s));
    }
};

TOMEKEEP_TEST(CliTest);
#include "tst_cli.moc"
