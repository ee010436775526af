#include "online/BookLookup.h"
#include "online/Covers.h"
#include "support/StandInServer.h"

Q_DECLARE_METATYPE(LookupFailure)

namespace {

const QString kIsbn = u"9780140449136"_s;

QByteArray entry(const QByteArray& members) {
    return "{\"ISBN:9780140449136\": {" + members + "}}";
}

} // namespace

class BookLookupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void answersAreRead_data() {
        AddColumns<QByteArray, LookupFailure, QString>("json", "failure", "details");
        const auto none = LookupFailure::None;
        const auto bad = LookupFailure::BadAnswer;
        AddRow("whole book", CrimeAndPunishmentAnswer(u"http://c/1.jpg"_s), none,
               "Crime and Punishment|Fyodor Dostoyevsky|Penguin Classics|2003|720|http://c/1.jpg");
        QTest::newRow("title only") << entry("\"title\": \" A  Title \"") << none << "A Title|||0|0|";
        AddRow("large cover, odd pages",
               entry("\"title\": \"T\", \"number_of_pages\": 123456, \"publish_date\": \"c1998.\", "
                     "\"cover\": {\"large\": \"https://c/L.jpg\", \"small\": \"https://c/S.jpg\"}"),
               none, "T|||1998|0|https://c/L.jpg");
        QTest::newRow("not found") << QByteArray("{}") << LookupFailure::NotFound << "";
        QTest::newRow("not JSON") << QByteArray("<html>busy</html>") << bad << "";
        QTest::newRow("cut short") << QByteArray("{\"ISBN:9780140449136\": {\"title\": \"Cr") << bad << "";
        QTest::newRow("a list") << QByteArray("[]") << bad << "";
        QTest::newRow("another book") << QByteArray("{\"ISBN:123\": {\"title\": \"X\"}}") << bad << "";
        QTest::newRow("entry not an object") << QByteArray("{\"ISBN:9780140449136\": \"x\"}") << bad << "";
        AddRow("authors not a list", entry("\"title\": \"T\", \"authors\": \"Someone\""), bad, "");
        QTest::newRow("pages as text") << entry("\"title\": \"T\", \"number_of_pages\": \"12\"") << bad << "";
        AddRow("cover not an object", entry("\"title\": \"T\", \"cover\": \"http://c\""), bad, "");
        QTest::newRow("no title") << entry("\"authors\": []") << bad << "";
    }

    void answersAreRead() {
        const auto [json, failure, details] =
            FetchColumns<QByteArray, LookupFailure, QString>("json", "failure", "details");
        const LookupResult result = ParseBooksAnswer(json, kIsbn);
        QCOMPARE(result.failure, failure);
        if (failure == LookupFailure::BadAnswer)
            QVERIFY(!result.detail.isEmpty());
        if (details.isEmpty())
            return;
        const FoundBook& b = result.book;
        QCOMPARE(QStringList({b.title, b.author, b.publisher, QString::number(b.copyright),
                              QString::number(b.pages), b.coverUrl.toString()})
                     .join(u'|'),
                 details);
    }

    void requestGoesToTheBase() {
        for (const QString& base : {u"https://openlibrary.org"_s, u"https://openlibrary.org/"_s})
            QCOMPARE(
                BooksApiUrl(base, kIsbn).toString(),
                u"https://openlibrary.org/api/books?bibkeys=ISBN:9780140449136&format=json&jscmd=data"_s);
    }

    void lookupTalksToTheServer_data() {
        AddColumns<QString, LookupFailure, int>("server", "failure", "coverHeight");
        QTest::newRow("found with cover") << "found" << LookupFailure::None << kCoverMaxHeight;
        QTest::newRow("cover missing on the server") << "no cover" << LookupFailure::None << 0;
        QTest::newRow("not found") << "{}" << LookupFailure::NotFound << 0;
        QTest::newRow("malformed") << "{\"ISBN:" << LookupFailure::BadAnswer << 0;
        QTest::newRow("server error") << "500" << LookupFailure::BadAnswer << 0;
        QTest::newRow("10 MB answer") << "huge" << LookupFailure::BadAnswer << 0;
        QTest::newRow("never answers") << "silent" << LookupFailure::TimedOut << 0;
        QTest::newRow("closed port") << "closed" << LookupFailure::NoConnection << 0;
    }

    void lookupTalksToTheServer() {
        const auto [server, failure, coverHeight] =
            FetchColumns<QString, LookupFailure, int>("server", "failure", "coverHeight");
        StandInServer stand;
        const QString base = stand.play(server);

        const LookupResult result = LookUpIsbnAndWait(base, kIsbn, std::chrono::milliseconds(500));
        QCOMPARE(result.failure, failure);
        QCOMPARE(QImage::fromData(result.book.cover).height(), coverHeight);
        // A failure has no title and is told naming the server; a success is told nothing.
        const QString told = LookupFailureText(result, base);
        const bool failed = failure != LookupFailure::None;
        QVERIFY2(result.book.title.isEmpty() == failed && told.isEmpty() == !failed &&
                     (!failed || told.contains(base)),
                 qPrintable(told));
    }

    void cancelledLookupEndsAtOnce() {
        StandInServer stand;
        stand.play(u"silent"_s);
        BookLookup lookup;
        QSignalSpy ended(&lookup, &BookLookup::finished);
        lookup.start(stand.baseUrl(), kIsbn);
        QTRY_COMPARE(stand.requests(), 1);
        lookup.cancel();
        QVERIFY(ended.count() == 1 && !lookup.isRunning());
        QCOMPARE(ended.first().first().value<LookupResult>().failure, LookupFailure::Cancelled);
    }

    void coversAreKeptSmall_data() {
        AddColumns<QByteArray, int>("bytes", "height");
        QImage small(30, 40, QImage::Format_RGB32);
        small.fill(Qt::blue);
        const QByteArray png = EncodedImage(small, "PNG");
        QTest::newRow("tall picture scaled") << TallCoverJpeg() << kCoverMaxHeight;
        QTest::newRow("small picture as it came") << png << 40;
        QTest::newRow("not a picture") << QByteArray("GIF89a but not really") << 0;
    }

    void coversAreKeptSmall() {
        const auto [bytes, height] = FetchColumns<QByteArray, int>("bytes", "height");
        const QByteArray prepared = PrepareCover(bytes);
        QCOMPARE(QImage::fromData(prepared).height(), height);
        if (height > 0 && height < kCoverMaxHeight)
            QCOMPARE(prepared, bytes);
    }
};

TOMEKEEP_TEST(BookLookupTest);
#include "tst_booklookup.moc"
