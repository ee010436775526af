#include "db/CaseFoldLike.h"
#include "db/Connection.h"
#include "db/NameKeys.h"
#include "db/ReadingOrder.h"
#include "db/RecordHelpers.h"
#include "db/Recordset.h"
#include "db/SqliteStatement.h"
#include "support/CaseTestData.h"
#include "support/TestHome.h"

#include <algorithm>

class RecordHelpersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textRules_data() {
        AddColumns<QString, QString, QString>("rule", "input", "expected");
        AddRow("quote doubled", "SqlQuote", "O'Brien's", "O''Brien''s");
        AddRow("quote untouched", "SqlQuote", "Plain", "Plain");
        AddRow("wildcards", "WildcardToSql", "J*n?s", "J%n_s");
        AddRow("sql wildcards kept", "WildcardToSql", "50%_off", "50%_off");
        AddRow("money text", "KeepNumeric", "$1,234.50", "1234.50");
        AddRow("negative euro", "KeepNumeric", "-12,5 €", "-125");
        AddRow("double quotes", "StripDoubleQuotes", "The \"Best\" Book", "The Best Book");
        AddRow("crlf to bar", "NewlinesToBars", "one\r\ntwo", "one|two");
        AddRow("lf to bar", "NewlinesToBars", "one\ntwo\n\nfour", "one|two||four");
        AddRow("cr to bar", "NewlinesToBars", "one\rtwo", "one|two");
        AddRow("bar to crlf", "BarsToNewlines", "one|two", "one\r\ntwo");
        AddRow("dots to slashes", "DateSeparatorsToSlashes", "05.12.2002", "05/12/2002");
    }

    void textRules() {
        const auto [rule, input, expected] =
            FetchColumns<QString, QString, QString>("rule", "input", "expected");
        const QHash<QString, QString (*)(const QString&)> rules = {
            {u"SqlQuote"_s, SqlQuote},
            {u"WildcardToSql"_s, WildcardToSql},
            {u"KeepNumeric"_s, KeepNumeric},
            {u"StripDoubleQuotes"_s, StripDoubleQuotes},
            {u"NewlinesToBars"_s, NewlinesToBars},
            {u"BarsToNewlines"_s, BarsToNewlines},
            {u"DateSeparatorsToSlashes"_s, DateSeparatorsToSlashes}};
        QCOMPARE(rules.value(rule)(input), expected);
    }

    void leadingNumbers_data() {
        AddColumns<QString, double, int>("text", "number", "integer");
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
        const auto [text, number, integer] = FetchColumns<QString, double, int>("text", "number", "integer");
        QCOMPARE(LeadingNumber(text), number);
        QCOMPARE(LeadingInteger(text), integer);
    }

    void datesReadMonthFirstAndUnreadableIsZeroDate_data() {
        AddColumns<QString, QDate>("text", "date");
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
        const auto [text, date] = FetchColumns<QString, QDate>("text", "date");
        QCOMPARE(SafeDate(text), date);
    }

    void storedDatesKeepTheNullDate() {
        QCOMPARE(
            QList<bool>({IsNoDate(kZeroDate), IsNoDate(QDate(1899, 12, 31)), IsNoDate(QDate(1900, 1, 1))}),
            QList<bool>({true, true, false}));
        QCOMPARE(
            QStringList({DateToStored(kZeroDate), DateToStored(QDate()), DateToStored(QDate(1900, 1, 1))}),
            QStringList({"1899-01-01", "1899-01-01", "1900-01-01"}));
        QCOMPARE(DateFromStored(u"2002-12-05"_s), QDate(2002, 12, 5));
        QCOMPARE(DateFromStored(u"garbage"_s), kNullDate);
    }

    void moneyAddsExactly() {
        Money total;
        for (int i = 0; i < 100000; ++i)
            total += Money::fromDouble(19.95);
        QCOMPARE(total.toPlainText(), u"1995000.00"_s);
        QStringList texts;
        for (const double value : {0.1 + 0.2, -12.5, 3.14159})
            texts << Money::fromDouble(value).toPlainText();
        QCOMPARE(texts, QStringList({"0.30", "-12.50", "3.1416"}));
        QCOMPARE(Money::fromDouble(std::numeric_limits<double>::quiet_NaN()).units(), 0);
    }

    // Lookup names and authors are found whatever their case and added once; a book's title is
    // refused when another book has it.
    void namesAndTitlesAreFoundOrAddedOnce() {
        FRESH_HOME(home);
        const auto subject = [](const QString& name) {
            return *GetLookupId(u"Subject"_s, u"SubjectId"_s, name);
        };
        QCOMPARE(QList<qint64>({subject(u"Poets' Corner"_s), subject(u"POETS' CORNER"_s),
                                subject(u"(NONE)"_s), NumberOf(u"SELECT COUNT(*) FROM [Subject]"_s)}),
                 QList<qint64>({30, 30, 1, 30}));
        const auto empty = GetLookupId(u"Format"_s, u"FormatId"_s, QString());
        QVERIFY(empty && *GetLookupId(u"Format"_s, u"FormatId"_s, QString()) == *empty);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Format] WHERE [Name] = ''"_s), 1);

        QCOMPARE(*GetAuthorName(1) + u'|' + *GetAuthorName(99999), u"Amara Abbott|"_s);
        QCOMPARE(QList<int>({*GetAuthorId(u"amara abbott"_s), *GetAuthorId(u"Nobody Known"_s)}),
                 QList<int>({1, -1}));
        QVERIFY(gConn.execute(u"INSERT INTO [Author] ([Name]) VALUES (?)"_s, {u"Flannery O'Connor"_s}));
        QVERIFY(*GetAuthorId(u"Flannery O'Connor"_s) > 926);

        const auto refused = InsertBook(PlainBook(u"sample BOOK #1"_s));
        QVERIFY(refused && *refused == -1 && NumberOf(u"SELECT COUNT(*) FROM [Book]"_s) == 1);
        QCOMPARE(*InsertBook(PlainBook(u"Second"_s)), 2);
        // Renaming through an update can still make two books share a title.
        QVERIFY(UpdateBook(2, PlainBook(u"Sample Book #1"_s)));
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE [Title] = 'Sample Book #1'"_s), 2);
    }

    void namesEqualButForCaseAreOne_data() { AddCaseFoldRows(); }

    void namesEqualButForCaseAreOne() {
        const auto [stored, typed] = FetchColumns<QString, QString>("stored", "typed");
        FRESH_HOME(home);
        for (const QString table : {"Author", "Award", "Subject", "Location", "Format", "Rating"}) {
            const QString idColumn = table + u"Id"_s;
            const auto added = GetLookupId(table, idColumn, stored);
            QVERIFY(added.ok());
            QCOMPARE(*GetLookupId(table, idColumn, typed), *added);
        }
        QCOMPARE(*GetAuthorId(typed), *GetAuthorId(stored));
        QVERIFY(*InsertBook(PlainBook(stored)) > 0);
        QCOMPARE(*InsertBook(PlainBook(typed)), -1);
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
        FRESH_HOME(home);
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
        QVERIFY(gConn.execute(u"CREATE TEMP TABLE [Words] ([Word] TEXT)"_s));
        for (const QString& word : byCompare)
            QVERIFY(gConn.execute(u"INSERT INTO [Words] VALUES (?)"_s, {word}));
        for (const QString& sql : {u"SELECT [Word] FROM [Words] ORDER BY [Word] COLLATE READING"_s,
                                   u"SELECT [Word] FROM [Words] ORDER BY READING_KEY([Word])"_s}) {
            QCOMPARE(TextsOf(sql), ordered);
        }
    }

    void bookRoundTripKeepsEveryValue() {
        FRESH_HOME(home);
        BookFields written = PlainBook(u"Émile's \"Notes\" | vol. 1"_s);
        written.publisher = u"O'Reilly"_s;
        written.stars = 4.5;
        written.acquireDate = QDate(1900, 1, 1);
        written.cost = Money::fromDouble(1234.56);
        written.lentDate = kZeroDate;
        written.notes = NewlinesToBars(u"line one\nline two"_s);
        const auto id = InsertBook(written);
        // A text left blank (the lender) is stored as empty text, not as null.
        QCOMPARE(
            TextsOf(u"SELECT [Title], [Publisher], [Stars], [AcquireDate], [LentDate], [Notes], [Cost], "
                    "[LentTo] IS NULL FROM [Book] WHERE [BookId] = ?"_s,
                    {id ? *id : -1}),
            QStringList{written.title + u"|O'Reilly|4.5|1900-01-01|1899-01-01|line one|line two|1234.56|0"});
    }

    void likeIgnoresCaseInEveryAlphabet() {
        FRESH_HOME(home);
        for (const QString& title :
             {u"Émile Zola"_s, u"War and Peace"_s, u"The Warden"_s, u"ÆSOP'S FABLES"_s, u"100% True"_s})
            QVERIFY(InsertBook(PlainBook(title)).ok());
        // Each pattern and the number of titles it matches.
        const QList<std::pair<QString, int>> patterns = {
            {u"émile%"_s, 1},        {u"%war%"_s, 2}, {u"the%"_s, 1},       {u"æsop's fables"_s, 1},
            {u"war and peace"_s, 1}, {u"war"_s, 0},   {u"_mile Zola"_s, 1}, {u"100%"_s, 1}};
        for (const auto& [pattern, matches] : patterns)
            QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE [Title] LIKE ?"_s, {pattern}), matches);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE [Title] LIKE ? ESCAPE '!'"_s, {u"100!%%"_s}),
                 1);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE NULL LIKE '%'"_s), 0);
        QCOMPARE(QList<bool>({caseFoldLikeMatch(u"%", u""), caseFoldLikeMatch(u"a%b%c", u"AxxBxxC"),
                              caseFoldLikeMatch(u"a%b%c", u"AxxBxx"), caseFoldLikeMatch(u"%ß%", u"STRAßE"),
                              caseFoldLikeMatch(u"_", u""), caseFoldLikeMatch(u"%%%a", u"bbba")}),
                 QList<bool>({true, true, false, true, false, true}));
    }

    // The engine's own statements bind each kind of value as itself: an empty key stays a key.
    // A refusal carries the engine's number and text to the caller.
    void engineStatementsBindValuesAndCarryRefusals() {
        FRESH_HOME(home);
        auto statement = SqliteStatement::prepare(
            u"SELECT typeof(?1) || typeof(?2) || typeof(?3) || typeof(?4) || typeof(?5), ?2 * 2, ?4"_s,
            {QVariant(), 2.5, QByteArray(), u"Émile"_s, 7});
        QVERIFY(statement && (*statement)->next());
        const SqliteStatement& row = **statement;
        QCOMPARE(u"%1 %2 "_s.arg(row.text(0)).arg(row.real(1)) +
                     QString::fromUtf8(row.utf8(2).data(), qsizetype(row.utf8(2).size())),
                 u"nullrealblobtextinteger 5 Émile"_s);
        QVERIFY(!(*statement)->next() && (*statement)->status().ok());
        QVERIFY(!SqliteStatement::prepare(u"SELECT * FROM [NoSuchTable]"_s));
        // A failing statement carries the engine's number and text.
        const auto missing = Recordset::open(u"SELECT * FROM [NoSuchTable]"_s);
        QVERIFY(!missing && missing.error().number != 0 &&
                missing.error().description.contains(u"NoSuchTable"_s) &&
                missing.error().messageText().startsWith(u"Error "_s));
        // A null title is refused by the engine, and the refusal reaches the caller.
        const DbStatus nullTitle =
            gConn.execute(u"INSERT INTO [Book] ([SubjectId], [LocationId], [FormatId], [RatingId], [Title], "
                          "[LabelNumber], [Copyright], [Pages], [Stars], [AcquireDate], [Cost], [LentDate]) "
                          "VALUES (1, 1, 1, 1, ?, '', 0, 0, 0, '1899-01-01', 0, '1899-01-01')"_s,
                          {QVariant()});
        QVERIFY(!nullTitle && nullTitle.error().number == 1299);
        QVERIFY(!gConn.execute(u"INSERT INTO [Award] ([Name]) VALUES (?)"_s, {QVariant()}));
        // A closed catalogue is an error, not a crash.
        gConn.close();
        QVERIFY(!SqliteStatement::prepare(u"SELECT 1"_s) && !Recordset::open(u"SELECT 1"_s) &&
                !GetLookupId(u"Subject"_s, u"SubjectId"_s, u"x"_s));
    }
};

TOMEKEEP_TEST(RecordHelpersTest);
#include "tst_recordhelpers.moc"
