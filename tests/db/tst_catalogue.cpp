#include "app/Paths.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "db/RecordHelpers.h"
#include "db/Schema.h"
#include "db/SeedData.h"
#include "support/SqliteTool.h"
#include "support/TestHome.h"

namespace {

QByteArray fingerprint(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QString firstText(const QString& sql) {
    return TextsOf(sql).value(0, u"<none>"_s);
}

QStringList leftovers(const QString& folder) {
    return QDir(folder).entryList({u"*.creating*"_s}, QDir::Files | QDir::Hidden);
}

} // namespace

class CatalogueTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesAreCleaned_data() {
        AddColumns<QString, QString>("typed", "cleaned");
        AddRow("lower case", "home library", "HOMELIBRARY");
        AddRow("punctuation only", "!?.-/", "BIBLIO");
        AddRow("blanks only", " ", "BIBLIO");
        AddRow("accents dropped", "émile zola", "MILEZOLA");
        AddRow("path attempt", "../../etc/passwd", "ETCPASSWD");
        AddRow("non latin", "книги", "BIBLIO");
    }

    void namesAreCleaned() {
        const auto [typed, cleaned] = FetchColumns<QString, QString>("typed", "cleaned");
        QCOMPARE(CleanCatalogueName(typed), cleaned);
    }

    // A new catalogue holds the standard lists and one sample book dated by the clock; a row in
    // the old version table changes nothing.
    void newCatalogueHoldsTheStandardListsAndASampleBook() {
        TestHome home;
        QVERIFY(OpenDatabase().ok());
        QStringList counts;
        for (const char* table : {"Author", "Award", "Location", "Format", "Rating", "Version", "Book"})
            counts << QString::number(NumberOf(u"SELECT COUNT(*) FROM [%1]"_s.arg(QLatin1String(table))));
        QCOMPARE(counts.join(u'|'), u"926|%1|6|8|6|0|1"_s.arg(seed::kAwards.size()));
        QCOMPARE(NumberOf(u"SELECT COUNT(DISTINCT [Name]) FROM [Author]"_s), 899);
        QVERIFY(NumberOf(u"SELECT MAX(LENGTH([Name])) FROM [Author]"_s) <= 33);
        QVERIFY(NumberOf(u"SELECT COUNT(*) FROM [Author] WHERE [Name] LIKE '%''%'"_s) > 0);
        QCOMPARE(
            firstText(u"SELECT (SELECT [Name] FROM [Subject] WHERE [SubjectId] = 1) || '|' || (SELECT "
                      "[Name] FROM [Subject] WHERE [SubjectId] = 29) || '|' || (SELECT [Name] FROM [Award] "
                      "WHERE [AwardId] = 1)"_s),
            u"(none)|Woman's Fiction|Bestseller"_s);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name IN "
                          "('Author_PrimaryKey', 'Author_Name', 'Book_Title', 'BookAward_PrimaryKey')"_s),
                 4);

        const QDate today = QDate::currentDate();
        QCOMPARE(
            TextsOf(u"SELECT b.[BookId], b.[Title], b.[LabelNumber], b.[Copyright], b.[Pages], b.[Stars], "
                    "b.[LentTo], b.[Cost], b.[AcquireDate], b.[LentDate], s.[Name], l.[Name], f.[Name], "
                    "r.[Name], a.[Name] = (SELECT MIN([Name]) FROM [Author]) FROM [Book] b "
                    "JOIN [Subject] s USING ([SubjectId]) JOIN [Location] l USING ([LocationId]) "
                    "JOIN [Format] f USING ([FormatId]) JOIN [Rating] r USING ([RatingId]) "
                    "JOIN [Author] a USING ([AuthorId])"_s),
            QStringList{
                u"1|Sample Book #1|ABC|%1|90|3.5|John Doe|19.95|%2|%3|(none)|(none)|(none)|(none)|1"_s
                    .arg(today.year())
                    .arg(today.addDays(-30).toString(Qt::ISODate), today.addDays(-3).toString(Qt::ISODate))});
        QCOMPARE(firstText(u"SELECT GROUP_CONCAT(a.[Name], '+') FROM [BookAward] ba JOIN [Award] a "
                           "ON a.[AwardId] = ba.[AwardId] WHERE ba.[BookId] = 1"_s),
                 u"Bestseller+Pulitzer Prize"_s);

        QVERIFY(gConn.execute(u"INSERT INTO [Version] ([Version]) VALUES (7)"_s) && UpdateDatabase() &&
                NumberOf(u"SELECT COUNT(*) FROM [Book]"_s) == 1);
    }

    // A file that is not a catalogue, or another program's SQLite database, is refused and left
    // exactly as it was.
    void fileThatIsNotACatalogueIsLeftAlone_data() {
        // statements: when given, the file is a database they build
        AddColumns<QByteArray, QStringList>("bytes", "statements");
        QByteArray random(4096, '\0');
        for (int i = 0; i < random.size(); ++i)
            random[i] = static_cast<char>((i * 7919 + 13) % 251);
        QTest::newRow("random bytes") << random << QStringList();
        QTest::newRow("empty file") << QByteArray() << QStringList();
        AddRow("text file", QByteArray("Title,Author\nDune,Frank Herbert\n"), QStringList());
        AddRow("other tables", QByteArray(),
               QStringList{"CREATE TABLE Recipes (Name TEXT)", "INSERT INTO Recipes VALUES ('Soup')"});
        // The nine tables by name, but a book lacks its notes.
        QStringList wrongColumns = SchemaStatements();
        wrongColumns.replaceInStrings(u", [Notes] VARCHAR(255) COLLATE NOCASE)"_s, u", [Remarks] TEXT)"_s);
        QTest::newRow("right tables, wrong columns") << QByteArray() << wrongColumns;
    }

    void fileThatIsNotACatalogueIsLeftAlone() {
        const auto [bytes, statements] = FetchColumns<QByteArray, QStringList>("bytes", "statements");
        TestHome home;
        const QString path = home.file(u"BIBLIO.sqlite"_s);
        if (statements.isEmpty()) {
            WriteFile(path, bytes);
        } else {
            Connection other(u"other"_s);
            QVERIFY(other.open(path, Connection::OpenMode::CreateFile).ok());
            for (const QString& statement : statements)
                QVERIFY(other.execute(statement).ok());
        }
        const QByteArray before = fingerprint(path);
        const DbStatus status = OpenDatabase();
        QVERIFY(!status && status.error().number != 0 && !status.error().description.isEmpty() &&
                !gConn.isOpen());
        if (!statements.isEmpty())
            QVERIFY(status.error().number == 26 &&
                    status.error().description.contains(u"not a Tomekeep catalogue"_s));
        QCOMPARE(fingerprint(path), before);
    }

    // A creation that fails leaves nothing behind: a data folder that cannot hold files (a plain
    // file stands where it should be) is left as it was, and a catalogue file that appears while
    // the new one is built is never overwritten, the half-built file removed. Deleting the
    // catalogue takes its side files, and the half-made file of an interrupted creation is no
    // catalogue.
    void failedCreationLeavesNoHalfMadeCatalogue() {
        TestHome home;
        const QString blocked = home.file(u"blocked"_s);
        WriteFile(blocked, "not a folder");
        qputenv("TOMEKEEP_HOME", QFile::encodeName(blocked));
        const DbStatus status = OpenDatabase();
        qputenv("TOMEKEEP_HOME", QFile::encodeName(home.path()));
        QVERIFY(!status.ok() && !status.error().description.isEmpty());
        QCOMPARE(fingerprint(blocked), QCryptographicHash::hash("not a folder", QCryptographicHash::Sha256));

        const QString path = home.file(u"BIBLIO.sqlite"_s);
        QVERIFY(CreateDatabase().ok());
        const QByteArray first = fingerprint(path);
        QVERIFY(!CreateDatabase().ok());
        QCOMPARE(fingerprint(path), first);
        QVERIFY2(leftovers(home.path()).isEmpty(), qPrintable(leftovers(home.path()).join(u',')));

        gConn.close();
        WriteFile(path + u"-journal"_s, "j");
        QVERIFY(DeleteCatalogueFiles().ok() && !QFile::exists(path) && !QFile::exists(path + u"-journal"_s));
        WriteFile(home.file(u"BIBLIO.a1b2c3.creating"_s), "half");
        QVERIFY(OpenDatabase().ok());
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book]"_s), 1);
    }

    void olderCatalogueIsBroughtUpToDate_data() {
        QTest::addColumn<QString>("isbnAddedBy");
        QTest::newRow("first release") << QString();
        QTest::newRow("ISBN column added by another tool") << u"9780140449136"_s;
    }

    // A catalogue of an earlier release gains the ISBN and covers, keeping an ISBN column another
    // tool added; then rows the sqlite3 tool adds and renames while the program has it open: every
    // name and title still compares without regard to letter case.
    void olderCatalogueIsBroughtUpToDate() {
        QFETCH(QString, isbnAddedBy);
        TestHome home;
        const QString path = CatalogueFilePath(gDBName);
        QVERIFY(gConn.open(path, Connection::OpenMode::CreateFile).ok());
        for (const QString& statement : SchemaStatements())
            QVERIFY(gConn.execute(statement).ok());
        gConn.close();
        const QString isbn =
            isbnAddedBy.isEmpty()
                ? QString()
                : u"ALTER TABLE Book ADD COLUMN ISBN TEXT; UPDATE Book SET ISBN = '%1';"_s.arg(isbnAddedBy);
        QCOMPARE(SqliteTool(path, u"INSERT INTO Author (Name) VALUES ('Émile Zola'); "
                                  "INSERT INTO Book (SubjectId, LocationId, FormatId, RatingId, "
                                  "Title, LabelNumber, Copyright, Pages, Stars, AcquireDate, Cost, "
                                  "LentDate) VALUES (1, 1, 1, 1, 'Échos du Nord', '', 0, 0, 0, "
                                  "'1899-01-01', 0, '1899-01-01');"_s +
                                      isbn),
                 QString());

        QVERIFY(OpenDatabase().ok());
        QVERIFY(UpdateDatabase().ok());
        QCOMPARE(*SchemaStepsDone(), SchemaSteps().back().number);
        QCOMPARE(firstText(u"SELECT [Title] || '/' || [ISBN] FROM [Book]"_s),
                 QString(u"Échos du Nord/" + isbnAddedBy));
        QCOMPARE(firstText(u"SELECT [sql] FROM [sqlite_master] WHERE [name] = 'Book_ISBN'"_s),
                 u"CREATE INDEX [Book_ISBN] ON [Book] ([ISBN])"_s);
        QVERIFY(UpdateDatabase().ok());
        QCOMPARE(*GetAuthorId(u"ÉMILE ZOLA"_s), 1);
        QCOMPARE(*InsertBook(PlainBook(u"ÉCHOS DU NORD"_s)), -1);

        QCOMPARE(SqliteTool(path, u"UPDATE Book SET Title = 'Ärger im Öl' WHERE BookId = 1; "
                                  "INSERT INTO Subject (Name) VALUES ('Poésie'); "
                                  "PRAGMA integrity_check;"_s),
                 u"ok"_s);
        QCOMPARE(*GetLookupId(u"Subject"_s, u"SubjectId"_s, u"POÉSIE"_s), 1);
        QCOMPARE(*InsertBook(PlainBook(u"ärger im öl"_s)), -1);
        QVERIFY(*InsertBook(PlainBook(u"Échos du Nord"_s)) > 1);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE [TitleKey] IS NULL"_s), 0);
        // A cover goes with its book, whoever deletes it.
        QVERIFY(gConn.execute(u"INSERT INTO [BookCover] ([BookId], [Image]) VALUES (1, x'00')"_s));
        QVERIFY(gConn.execute(u"DELETE FROM [Book] WHERE [BookId] = 1"_s));
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [BookCover]"_s), 0);
    }
};

TOMEKEEP_TEST(CatalogueTest);
#include "tst_catalogue.moc"
