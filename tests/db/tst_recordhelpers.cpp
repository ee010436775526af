#include "db/CaseFoldLike.h"
#include "db/Connection.h"
#include "db/NameKeys.h"
#include "db/ReadingOrder.h"
#include "db/RecordHelpers.h"
#include "db/Recordset.h"
#include "support/CaseTestData.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QLineEdit>
#include <QTest>
#include <algorithm>

class RecordHelpersTest : public QObject {
    Q_OBJECT

private:
    static BookFields book(const QString& title) {
        BookFields fields;
        fields.subjectId = 1;
        fields.locationId = 1;
        fields.formatId = 1;
        fields.ratingId = 1;
        fields.title = title;
        fields.authorId = 1;
        return fields;
    }

    static qint64 count(const QString& sql) {
        const auto number = QueryNumber(sql);
        return number ? *number : -1;
    }

private Q_SLOTS:
    void textRules_data() {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("quote doubled") << "SqlQuote"
                                       << "O'Brien's"
                                       << "O''Brien''s";
        QTest::newRow("quote untouched") << "SqlQuote"
                                         << "Plain"
                                         << "Plain";
        QTest::newRow("wildcards") << "WildcardToSql"
                                   << "J*n?s"
                                   << "J%n_s";
        QTest::newRow("sql wildcards kept") << "WildcardToSql"
                                            << "50%_off"
                                            << "50%_off";
        QTest::newRow("money text") << "KeepNumeric"
                                    << "$1,234.50"
                                    << "1234.50";
        QTest::newRow("negative euro") << "KeepNumeric"
                                       << "-12,5 €"
                                       << "-125";
        QTest::newRow("double quotes") << "StripDoubleQuotes"
                                       << "The \"Best\" Book"
                                       << "The Best Book";
        QTest::newRow("crlf to bar") << "NewlinesToBars"
                                     << "one\r\ntwo"
                                     << "one|two";
        QTest::newRow("lf to bar") << "NewlinesToBars"
                                   << "one\ntwo\n\nfour"
                                   << "one|two||four";
        QTest::newRow("cr to bar") << "NewlinesToBars"
                                   << "one\rtwo"
                                   << "one|two";
        QTest::newRow("bar to crlf") << "BarsToNewlines"
                                     << "one|two"
                                     << "one\r\ntwo";
        QTest::newRow("dots to slashes") << "DateSeparatorsToSlashes"
                                         << "05.12.2002"
                                         << "05/12/2002";
    }

    void textRules() {
        QFETCH(QString, rule);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        const QHash<QString, QString (*)(const QString&)> rules = {
            {QStringLiteral("SqlQuote"), SqlQuote},
            {QStringLiteral("WildcardToSql"), WildcardToSql},
            {QStringLiteral("KeepNumeric"), KeepNumeric},
            {QStringLiteral("StripDoubleQuotes"), StripDoubleQuotes},
            {QStringLiteral("NewlinesToBars"), NewlinesToBars},
            {QStringLiteral("BarsToNewlines"), BarsToNewlines},
            {QStringLiteral("DateSeparatorsToSlashes"), DateSeparatorsToSlashes}};
        QCOMPARE(rules.value(rule)(input), expected);
    }

    void barsRoundTripTypedBarBecomesLineBreak() {
        QCOMPARE(BarsToNewlines(NewlinesToBars(QStringLiteral("a\r\nb"))), QStringLiteral("a\r\nb"));
        QCOMPARE(BarsToNewlines(QStringLiteral("either|or")), QStringLiteral("either\r\nor"));
    }

    void leadingNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::addColumn<int>("integer");
        QTest::newRow("trailing letters") << "12abc" << 12.0 << 12;
        QTest::newRow("blank and sign") << "  -3.5x" << -3.5 << -4;
        QTest::newRow("half to even") << "2.5" << 2.5 << 2;
        QTest::newRow("leading point") << ".75" << 0.75 << 1;
        QTest::newRow("no number") << "abc" << 0.0 << 0;
        QTest::newRow("empty") << "" << 0.0 << 0;
        QTest::newRow("thousands stop") << "1,234" << 1.0 << 1;
        QTest::newRow("beyond 32 bits") << "99999999999" << 99999999999.0 << 2147483647;
        QTest::newRow("below 32 bits") << "-99999999999" << -99999999999.0 << int(-2147483647 - 1);
    }

    void leadingNumbers() {
        QFETCH(QString, text);
        QFETCH(double, number);
        QFETCH(int, integer);
        QCOMPARE(LeadingNumber(text), number);
        QCOMPARE(LeadingInteger(text), integer);
    }

    void datesReadMonthFirstAndUnreadableIsZeroDate_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("slashes") << "12/05/2002" << QDate(2002, 12, 5);
        QTest::newRow("short parts") << "1/2/2003" << QDate(2003, 1, 2);
        QTest::newRow("dots") << "12.05.2002" << QDate(2002, 12, 5);
        QTest::newRow("two-digit year 20xx") << "3/4/05" << QDate(2005, 3, 4);
        QTest::newRow("two-digit year 19xx") << "3/4/75" << QDate(1975, 3, 4);
        QTest::newRow("iso") << "2002-12-05" << QDate(2002, 12, 5);
        QTest::newRow("month 13") << "13/45/2020" << kZeroDate;
        QTest::newRow("february 30") << "02/30/2021" << kZeroDate;
        QTest::newRow("empty") << "" << kZeroDate;
        QTest::newRow("words") << "yesterday" << kZeroDate;
    }

    void datesReadMonthFirstAndUnreadableIsZeroDate() {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(SafeDate(text), date);
    }

    void storedDatesKeepTheNullDate() {
        QVERIFY(IsNoDate(kZeroDate));
        QVERIFY(IsNoDate(QDate(1899, 12, 31)));
        QVERIFY(!IsNoDate(QDate(1900, 1, 1)));
        QCOMPARE(DateToStored(kZeroDate), QStringLiteral("1899-01-01"));
        QCOMPARE(DateToStored(QDate()), QStringLiteral("1899-01-01"));
        QCOMPARE(DateToStored(QDate(1900, 1, 1)), QStringLiteral("1900-01-01"));
        QCOMPARE(DateFromStored(QStringLiteral("2002-12-05")), QDate(2002, 12, 5));
        QCOMPARE(DateFromStored(QStringLiteral("garbage")), kNullDate);
    }

    void moneyAddsExactly() {
        Money total;
        for (int i = 0; i < 100000; ++i)
            total += Money::fromDouble(19.95);
        QCOMPARE(total.toPlainText(), QStringLiteral("1995000.00"));
        QCOMPARE(Money::fromDouble(0.1 + 0.2).toPlainText(), QStringLiteral("0.30"));
        QCOMPARE(Money::fromDouble(-12.5).toPlainText(), QStringLiteral("-12.50"));
        QCOMPARE(Money::fromDouble(3.14159).toPlainText(), QStringLiteral("3.1416"));
        QCOMPARE(Money::fromDouble(std::numeric_limits<double>::quiet_NaN()).units(), 0);
    }

    void selectAllTextSelectsWholeBox() {
        QLineEdit box(QStringLiteral("New Book"));
        SelectAllText(&box);
        QCOMPARE(box.selectedText(), QStringLiteral("New Book"));
    }

    void lookupIsFoundOrAddedOnce() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const qint64 before = count(QStringLiteral("SELECT COUNT(*) FROM [Subject]"));
        const auto added = GetLookupId(QStringLiteral("Subject"), QStringLiteral("SubjectId"),
                                       QStringLiteral("Poets' Corner"));
        QVERIFY(added.ok());
        QCOMPARE(*added, 30);
        const auto again = GetLookupId(QStringLiteral("Subject"), QStringLiteral("SubjectId"),
                                       QStringLiteral("POETS' CORNER"));
        QVERIFY(again.ok());
        QCOMPARE(*again, 30);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM [Subject]")), before + 1);
        const auto none =
            GetLookupId(QStringLiteral("Subject"), QStringLiteral("SubjectId"), QStringLiteral("(NONE)"));
        QCOMPARE(*none, 1);
        const auto empty = GetLookupId(QStringLiteral("Format"), QStringLiteral("FormatId"), QString());
        QVERIFY(empty.ok());
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM [Format] WHERE [Name] = ''")), 1);
        QCOMPARE(*GetLookupId(QStringLiteral("Format"), QStringLiteral("FormatId"), QString()), *empty);
    }

    void authorsByNameAndNumber() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        QCOMPARE(*GetAuthorName(1), QStringLiteral("Amara Abbott"));
        QCOMPARE(*GetAuthorName(99999), QString());
        QCOMPARE(*GetAuthorId(QStringLiteral("amara abbott")), 1);
        QCOMPARE(*GetAuthorId(QStringLiteral("Nobody Known")), -1);
        QVERIFY(gConn.execute(QStringLiteral("INSERT INTO [Author] ([Name]) VALUES (?)"),
                              {QStringLiteral("Flannery O'Connor")}));
        QVERIFY(*GetAuthorId(QStringLiteral("Flannery O'Connor")) > 926);
    }

    void namesEqualButForCaseAreOne_data() { AddCaseFoldRows(); }

    void namesEqualButForCaseAreOne() {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        for (const QString table : {"Author", "Award", "Subject", "Location", "Format", "Rating"}) {
            const QString idColumn = table + QStringLiteral("Id");
            const auto added = GetLookupId(table, idColumn, stored);
            QVERIFY(added.ok());
            QCOMPARE(*GetLookupId(table, idColumn, typed), *added);
        }
        QCOMPARE(*GetAuthorId(typed), *GetAuthorId(stored));
        QVERIFY(*InsertBook(book(stored)) > 0);
        QCOMPARE(*InsertBook(book(typed)), -1);
        // Accents are not letter case: another name.
        QVERIFY(NameKey(u"Émile") != NameKey(u"Emile"));
    }

    void readingOrder_data() {
        QTest::addColumn<QStringList>("ordered");
        QTest::newRow("accents and case") << ReadingOrderTitles();
        QTest::newRow("numbers by value") << QStringList{"Book 9", "book 10", "Book 100"};
        QTest::newRow("case after the letters") << QStringList{"abc", "Abc", "abd"};
    }

    // The same order in memory, by sort key, and in the program's own SQL.
    void readingOrder() {
        QFETCH(QStringList, ordered);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const ReadingOrder& order = ReadingOrder::forUser();
        QStringList byCompare(ordered.crbegin(), ordered.crend());
        std::sort(byCompare.begin(), byCompare.end(),
                  [&order](const QString& a, const QString& b) { return order.compare(a, b) < 0; });
        QCOMPARE(byCompare, ordered);
        QStringList byKey(ordered.crbegin(), ordered.crend());
        std::sort(byKey.begin(), byKey.end(), [&order](const QString& a, const QString& b) {
            return order.sortKey(a) < order.sortKey(b);
        });
        QCOMPARE(byKey, ordered);
        QVERIFY(gConn.execute(QStringLiteral("CREATE TEMP TABLE [Words] ([Word] TEXT)")));
        for (const QString& word : byCompare)
            QVERIFY(gConn.execute(QStringLiteral("INSERT INTO [Words] VALUES (?)"), {word}));
        for (const QString& sql :
             {QStringLiteral("SELECT [Word] FROM [Words] ORDER BY [Word] COLLATE READING"),
              QStringLiteral("SELECT [Word] FROM [Words] ORDER BY READING_KEY([Word])")}) {
            auto rows = Recordset::open(sql);
            QVERIFY(rows.ok());
            QStringList read;
            for (; !rows->eof(); rows->moveNext())
                read << rows->text(0);
            QCOMPARE(read, ordered);
        }
    }

    void insertRefusesAnExistingTitleAndWritesNothing() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto refused = InsertBook(book(QStringLiteral("sample BOOK #1")));
        QVERIFY(refused.ok());
        QCOMPARE(*refused, -1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM [Book]")), 1);
        const auto added = InsertBook(book(QStringLiteral("Second")));
        QCOMPARE(*added, 2);
        // Renaming through an update can still make two books share a title.
        QVERIFY(UpdateBook(2, book(QStringLiteral("Sample Book #1"))));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [Title] = 'Sample Book #1'")), 2);
    }

    void bookRoundTripKeepsEveryValue() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        BookFields written = book(QStringLiteral("Émile's \"Notes\" | vol. 1"));
        written.labelNumber = QStringLiteral("A-17");
        written.publisher = QStringLiteral("O'Reilly");
        written.copyright = 1999;
        written.pages = 5;
        written.stars = 4.5;
        written.acquireDate = QDate(1900, 1, 1);
        written.cost = Money::fromDouble(1234.56);
        written.lentTo = QString();
        written.lentDate = kZeroDate;
        written.notes = NewlinesToBars(QStringLiteral("line one\nline two"));
        const auto id = InsertBook(written);
        QVERIFY(id.ok());
        auto row = Recordset::open(QStringLiteral("SELECT * FROM [Book] WHERE [BookId] = ?"), {*id});
        QVERIFY(row.ok());
        QCOMPARE(row->recordCount(), 1);
        QCOMPARE(row->text(QStringLiteral("Title")), written.title);
        QCOMPARE(row->text(QStringLiteral("Publisher")), QStringLiteral("O'Reilly"));
        QCOMPARE(row->field(QStringLiteral("Stars")).toDouble(), 4.5);
        QCOMPARE(Money::fromDouble(row->field(QStringLiteral("Cost")).toDouble()), written.cost);
        QCOMPARE(row->text(QStringLiteral("AcquireDate")), QStringLiteral("1900-01-01"));
        QCOMPARE(row->text(QStringLiteral("LentDate")), QStringLiteral("1899-01-01"));
        // A text left blank is stored as empty text, not as null.
        QVERIFY(!row->isNull(QStringLiteral("LentTo")));
        QCOMPARE(row->text(QStringLiteral("Notes")), QStringLiteral("line one|line two"));
    }

    void likeIgnoresCaseInEveryAlphabet() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        for (const QString& title :
             {QStringLiteral("Émile Zola"), QStringLiteral("War and Peace"), QStringLiteral("The Warden"),
              QStringLiteral("ÆSOP'S FABLES"), QStringLiteral("100% True")})
            QVERIFY(InsertBook(book(title)).ok());
        const auto matches = [](const QString& pattern) {
            const auto number =
                QueryNumber(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [Title] LIKE ?"), {pattern});
            return number ? *number : -1;
        };
        QCOMPARE(matches(QStringLiteral("émile%")), 1);
        QCOMPARE(matches(QStringLiteral("%war%")), 2);
        QCOMPARE(matches(QStringLiteral("the%")), 1);
        QCOMPARE(matches(QStringLiteral("æsop's fables")), 1);
        QCOMPARE(matches(QStringLiteral("war and peace")), 1);
        QCOMPARE(matches(QStringLiteral("war")), 0);
        QCOMPARE(matches(QStringLiteral("_mile Zola")), 1);
        QCOMPARE(matches(QStringLiteral("100%")), 1);
        QCOMPARE(*QueryNumber(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [Title] LIKE ? ESCAPE '!'"),
                              {QStringLiteral("100!%%")}),
                 1);
        QCOMPARE(*QueryNumber(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE NULL LIKE '%'")), 0);
    }

    void likeMatcherEdges() {
        QVERIFY(caseFoldLikeMatch(u"%", u""));
        QVERIFY(caseFoldLikeMatch(u"a%b%c", u"AxxBxxC"));
        QVERIFY(!caseFoldLikeMatch(u"a%b%c", u"AxxBxx"));
        QVERIFY(caseFoldLikeMatch(u"%ß%", u"STRAßE"));
        QVERIFY(!caseFoldLikeMatch(u"_", u""));
        QVERIFY(caseFoldLikeMatch(u"%%%a", u"bbba"));
    }

    void failingStatementCarriesEngineNumberAndText() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto missing = Recordset::open(QStringLiteral("SELECT * FROM [NoSuchTable]"));
        QVERIFY(!missing.ok());
        QVERIFY(missing.error().number != 0);
        QVERIFY(missing.error().description.contains(QStringLiteral("NoSuchTable")));
        QVERIFY(missing.error().messageText().startsWith(QStringLiteral("Error ")));
        // A null title is refused by the engine, and the refusal reaches the caller.
        const DbStatus nullTitle = gConn.execute(
            QStringLiteral("INSERT INTO [Book] ([SubjectId], [LocationId], [FormatId], [RatingId], [Title], "
                           "[LabelNumber], [Copyright], [Pages], [Stars], [AcquireDate], [Cost], [LentDate]) "
                           "VALUES (1, 1, 1, 1, ?, '', 0, 0, 0, '1899-01-01', 0, '1899-01-01')"),
            {QVariant()});
        QVERIFY(!nullTitle.ok());
        QCOMPARE(nullTitle.error().number, 1299);
        const DbStatus nullName =
            gConn.execute(QStringLiteral("INSERT INTO [Award] ([Name]) VALUES (?)"), {QVariant()});
        QVERIFY(!nullName.ok());
    }

    void closedCatalogueIsAnErrorNotACrash() {
        TestHome home;
        const auto rows = Recordset::open(QStringLiteral("SELECT 1"));
        QVERIFY(!rows.ok());
        QVERIFY(
            !GetLookupId(QStringLiteral("Subject"), QStringLiteral("SubjectId"), QStringLiteral("x")).ok());
    }
};

TOMEKEEP_TEST(RecordHelpersTest);
#include "tst_recordhelpers.moc"
