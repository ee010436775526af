#include "app/Paths.h"
#include "app/Settings.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "db/RecordHelpers.h"
#include "db/Recordset.h"
#include "db/SeedData.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTest>

namespace {

QByteArray fingerprint(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QString firstText(const QString& sql) {
    auto rows = Recordset::open(sql);
    return rows && !rows->eof() ? rows->text(0) : QStringLiteral("<none>");
}

qint64 number(const QString& sql) {
    auto value = QueryNumber(sql);
    return value ? *value : -1;
}

QStringList leftovers(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.creating*")}, QDir::Files | QDir::Hidden);
}

} // namespace

class CatalogueTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesAreCleaned_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("cleaned");
        QTest::newRow("blanks and dash") << " home-lib 2 "
                                         << "HOMELIB2";
        QTest::newRow("lower case") << "home library"
                                    << "HOMELIBRARY";
        QTest::newRow("punctuation only") << "!?.-/"
                                          << "BIBLIO";
        QTest::newRow("empty") << ""
                               << "BIBLIO";
        QTest::newRow("blanks only") << "    "
                                     << "BIBLIO";
        QTest::newRow("accents dropped") << "émile zola"
                                         << "MILEZOLA";
        QTest::newRow("path attempt") << "../../etc/passwd"
                                      << "ETCPASSWD";
        QTest::newRow("windows path") << "C:\\Windows\\x"
                                      << "CWINDOWSX";
        QTest::newRow("non latin") << "книги"
                                   << "BIBLIO";
    }

    void namesAreCleaned() {
        QFETCH(QString, typed);
        QFETCH(QString, cleaned);
        QCOMPARE(CleanCatalogueName(typed), cleaned);
        QCOMPARE(KeepAlphaNumeric(QStringLiteral("aB1-z")), QStringLiteral("B1"));
    }

    void veryLongNameStaysAValidFileName() {
        const QString name = CleanCatalogueName(QString(10000, u'a'));
        QCOMPARE(name.size(), kMaxCatalogueNameLength);
        TestHome home;
        SaveSetting(QStringLiteral("DBName"), QString(10000, u'x'));
        ReadDBName();
        QVERIFY(OpenDatabase().ok());
        QVERIFY(QFile::exists(home.file(QString(kMaxCatalogueNameLength, u'X') + QStringLiteral(".sqlite"))));
    }

    void nameComesFromSettings() {
        TestHome home;
        ReadDBName();
        QCOMPARE(gDBName, QStringLiteral("BIBLIO"));
        SaveSetting(QStringLiteral("DBName"), QStringLiteral(" home-lib 2 "));
        ReadDBName();
        QCOMPARE(gDBName, QStringLiteral("HOMELIB2"));
        QCOMPARE(CatalogueFilePath(gDBName), home.file(QStringLiteral("HOMELIB2.sqlite")));
    }

    void newCatalogueHoldsTheStandardLists() {
        TestHome home;
        QVERIFY(OpenDatabase().ok());
        QVERIFY(QFile::exists(home.file(QStringLiteral("BIBLIO.sqlite"))));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Author]")), 926);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(DISTINCT [Name]) FROM [Author]")), 899);
        QCOMPARE(number(QStringLiteral("SELECT MAX(LENGTH([Name])) FROM [Author]")) <= 33, true);
        QVERIFY(number(QStringLiteral("SELECT COUNT(*) FROM [Author] WHERE [Name] LIKE '%''%'")) > 0);
        QCOMPARE(firstText(QStringLiteral("SELECT [Name] FROM [Subject] WHERE [SubjectId] = 1")),
                 QStringLiteral("(none)"));
        QCOMPARE(firstText(QStringLiteral("SELECT [Name] FROM [Subject] WHERE [SubjectId] = 29")),
                 QStringLiteral("Woman's Fiction"));
        QCOMPARE(firstText(QStringLiteral("SELECT [Name] FROM [Award] WHERE [AwardId] = 1")),
                 QStringLiteral("Bestseller"));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Award]")), qint64(seed::kAwards.size()));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Location]")), 6);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Format]")), 8);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Rating]")), 6);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Version]")), 0);
        for (const QString& index : {QStringLiteral("Author_PrimaryKey"), QStringLiteral("Author_Name"),
                                     QStringLiteral("Book_Title"), QStringLiteral("BookAward_PrimaryKey")})
            QCOMPARE(number(u"SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name = '" + index +
                            u"'"),
                     1);
    }

    void authorRunsAreEachInSurnameOrder() {
        // Surnames compare as a reader files them: accents, apostrophes and case set aside.
        const auto surname = [](const char* name) {
            QString plain =
                QString::fromUtf8(name).section(u' ', -1).normalized(QString::NormalizationForm_D);
            plain.removeIf([](QChar c) { return c.isMark() || c == u'\''; });
            return plain.toLower().replace(u'ø', u'o');
        };
        int breaks = 0;
        for (std::size_t i = 1; i < seed::kAuthors.size(); ++i) {
            if (surname(seed::kAuthors[i]) < surname(seed::kAuthors[i - 1]))
                ++breaks;
        }
        // One place where the second run starts again at the front of the alphabet.
        QCOMPARE(breaks, 1);
        QVERIFY(surname(seed::kAuthors[724]).startsWith(u'a'));
    }

    void sampleBookFollowsTheClock() {
        TestHome home;
        QVERIFY(OpenDatabase().ok());
        auto book = Recordset::open(QStringLiteral("SELECT * FROM [Book]"));
        QVERIFY(book.ok());
        QCOMPARE(book->recordCount(), 1);
        const QDate today = QDate::currentDate();
        QCOMPARE(book->field(QStringLiteral("BookId")).toInt(), 1);
        QCOMPARE(book->text(QStringLiteral("Title")), QStringLiteral("Sample Book #1"));
        QCOMPARE(book->text(QStringLiteral("LabelNumber")), QStringLiteral("ABC"));
        QCOMPARE(book->field(QStringLiteral("Copyright")).toInt(), today.year());
        QCOMPARE(book->field(QStringLiteral("Pages")).toInt(), 90);
        QCOMPARE(book->field(QStringLiteral("Stars")).toDouble(), 3.5);
        QCOMPARE(Money::fromDouble(book->field(QStringLiteral("Cost")).toDouble()).toPlainText(),
                 QStringLiteral("19.95"));
        QCOMPARE(DateFromStored(book->field(QStringLiteral("AcquireDate"))), today.addDays(-30));
        QCOMPARE(DateFromStored(book->field(QStringLiteral("LentDate"))), today.addDays(-3));
        QCOMPARE(book->text(QStringLiteral("LentTo")), QStringLiteral("John Doe"));
        for (const QString& table : {QStringLiteral("Subject"), QStringLiteral("Location"),
                                     QStringLiteral("Format"), QStringLiteral("Rating")})
            QCOMPARE(firstText(u"SELECT t.[Name] FROM [Book] b JOIN [" + table + u"] t ON t.[" + table +
                               u"Id] = b.[" + table + u"Id]"),
                     QStringLiteral("(none)"));
        QCOMPARE(firstText(QStringLiteral(
                     "SELECT a.[Name] FROM [Book] b JOIN [Author] a ON a.[AuthorId] = b.[AuthorId]")),
                 firstText(QStringLiteral("SELECT [Name] FROM [Author] ORDER BY [Name] LIMIT 1")));
        QCOMPARE(
            firstText(QStringLiteral("SELECT GROUP_CONCAT(a.[Name], '+') FROM [BookAward] ba JOIN [Award] a "
                                     "ON a.[AwardId] = ba.[AwardId] WHERE ba.[BookId] = 1")),
            QStringLiteral("Bestseller+Pulitzer Prize"));
    }

    void versionRowChangesNothing() {
        TestHome home;
        QVERIFY(OpenDatabase().ok());
        QVERIFY(gConn.execute(QStringLiteral("INSERT INTO [Version] ([Version]) VALUES (7)")));
        QVERIFY(UpdateDatabase().ok());
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Book]")), 1);
    }

    void olderCatalogueGainsTheIsbnColumnInPlace() {
        TestHome home;
        QVERIFY(OpenDatabase().ok());
        for (const char* statement :
             {"DROP INDEX [Book_ISBN]", "ALTER TABLE [Book] DROP COLUMN [ISBN]", "PRAGMA user_version = 0"})
            QVERIFY(gConn.execute(QString::fromLatin1(statement)));
        for (int run = 0; run < 2; ++run)
            QVERIFY(UpdateDatabase().ok());
        const auto done = SchemaStepsDone();
        QVERIFY(done);
        QCOMPARE(*done, 2);
        QCOMPARE(firstText(QStringLiteral("SELECT [ISBN] || '|' || [Title] FROM [Book]")),
                 QStringLiteral("|Sample Book #1"));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = 'Book_ISBN'")), 1);
    }

    void fileThatIsNotACatalogueIsLeftAlone_data() {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray random(4096, '\0');
        for (int i = 0; i < random.size(); ++i)
            random[i] = static_cast<char>((i * 7919 + 13) % 251);
        QTest::newRow("random bytes") << random;
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("text file") << QByteArray("Title,Author\nDune,Frank Herbert\n");
    }

    void fileThatIsNotACatalogueIsLeftAlone() {
        QFETCH(QByteArray, bytes);
        TestHome home;
        const QString path = home.file(QStringLiteral("BIBLIO.sqlite"));
        writeFile(path, bytes);
        const QByteArray before = fingerprint(path);
        const DbStatus status = OpenDatabase();
        QVERIFY(!status.ok());
        QVERIFY(status.error().number != 0);
        QVERIFY(!status.error().description.isEmpty());
        QVERIFY(!gConn.isOpen());
        QCOMPARE(fingerprint(path), before);
        QCOMPARE(QFileInfo(path).size(), bytes.size());
    }

    void otherSqliteDatabaseIsLeftAlone() {
        TestHome home;
        const QString path = home.file(QStringLiteral("BIBLIO.sqlite"));
        {
            Connection other(QStringLiteral("other"));
            QVERIFY(other.open(path, Connection::OpenMode::CreateFile).ok());
            QVERIFY(other.execute(QStringLiteral("CREATE TABLE Recipes (Name TEXT)")).ok());
            QVERIFY(other.execute(QStringLiteral("INSERT INTO Recipes VALUES ('Soup')")).ok());
            other.close();
        }
        const QByteArray before = fingerprint(path);
        const DbStatus status = OpenDatabase();
        QVERIFY(!status.ok());
        QCOMPARE(status.error().number, 26);
        QVERIFY(status.error().description.contains(QStringLiteral("not a Tomekeep catalogue")));
        QCOMPARE(fingerprint(path), before);
    }

    void unwritableFolderFailsWithoutLeavingAnything() {
        TestHome home;
        // A data folder that cannot hold files (a plain file stands where the folder should be).
        const QString blocked = home.file(QStringLiteral("blocked"));
        writeFile(blocked, "not a folder");
        qputenv("TOMEKEEP_HOME", QFile::encodeName(blocked));
        const DbStatus status = OpenDatabase();
        qputenv("TOMEKEEP_HOME", QFile::encodeName(home.path()));
        QVERIFY(!status.ok());
        QVERIFY(!status.error().description.isEmpty());
        QCOMPARE(fingerprint(blocked), QCryptographicHash::hash("not a folder", QCryptographicHash::Sha256));
    }

    void failedCreationLeavesNoHalfMadeCatalogue() {
        TestHome home;
        // A catalogue file that appears while the new one is built is never overwritten,
        // and the half-built file is removed.
        const QString path = home.file(QStringLiteral("BIBLIO.sqlite"));
        QVERIFY(CreateDatabase().ok());
        const QByteArray first = fingerprint(path);
        const DbStatus second = CreateDatabase();
        QVERIFY(!second.ok());
        QCOMPARE(fingerprint(path), first);
        QVERIFY2(leftovers(home.path()).isEmpty(), qPrintable(leftovers(home.path()).join(u',')));
    }

    void leftoverOfAnInterruptedCreationIsNotACatalogue() {
        TestHome home;
        writeFile(home.file(QStringLiteral("BIBLIO.a1b2c3.creating")), "half");
        QVERIFY(OpenDatabase().ok());
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Book]")), 1);
    }

    void deletingTheCatalogueTakesItsSideFiles() {
        TestHome home;
        QVERIFY(OpenDatabase().ok());
        gConn.close();
        const QString path = home.file(QStringLiteral("BIBLIO.sqlite"));
        writeFile(path + QStringLiteral("-journal"), "j");
        QVERIFY(DeleteCatalogueFiles().ok());
        QVERIFY(!QFile::exists(path));
        QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
    }

    void secondWriterWaitsInsteadOfFailing() {
        TestHome home;
        QVERIFY(OpenDatabase().ok());
        Connection second(QStringLiteral("second instance"));
        QVERIFY(second.open(CatalogueFilePath(gDBName)).ok());
        QVERIFY(second.beginTransaction().ok());
        QVERIFY(second.execute(QStringLiteral("INSERT INTO [Award] ([Name]) VALUES ('Hugo Award')")).ok());
        QVERIFY(second.commit().ok());
        QVERIFY(gConn.execute(QStringLiteral("INSERT INTO [Award] ([Name]) VALUES ('Locus Award')")).ok());
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Award]")), 13);
        second.close();
    }
};

TOMEKEEP_TEST(CatalogueTest);
#include "tst_catalogue.moc"
