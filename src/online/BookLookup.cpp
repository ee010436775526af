#include "online/BookLookup.h"

#include "app/Settings.h"
#include "db/Schema.h"
#include "online/Covers.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QUrlQuery>
#include <optional>

namespace {

constexpr int kMaxPages = 9999;    // the editor's pages box holds four digits
constexpr int kAuthorLength = 100; // as the editor's author box

LookupResult failure(LookupFailure kind, const QString& detail) {
    LookupResult result;
    result.failure = kind;
    result.detail = detail;
    return result;
}

// The text of a member that must be text when present; nothing when it has another shape.
std::optional<QString> textMember(const QJsonObject& object, const QString& key) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return QString();
    if (!value.isString())
        return std::nullopt;
    return value.toString().simplified();
}

// The "name" of the first entry of a list of objects ("authors", "publishers").
std::optional<QString> firstName(const QJsonObject& object, const QString& key) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return QString();
    if (!value.isArray())
        return std::nullopt;
    const QJsonArray list = value.toArray();
    if (list.isEmpty())
        return QString();
    if (!list.first().isObject())
        return std::nullopt;
    return textMember(list.first().toObject(), QStringLiteral("name"));
}

std::optional<int> pagesOf(const QJsonObject& object) {
    const QJsonValue value = object.value(QStringLiteral("number_of_pages"));
    if (value.isUndefined() || value.isNull())
        return 0;
    if (!value.isDouble())
        return std::nullopt;
    const double pages = value.toDouble();
    return pages >= 1 && pages <= kMaxPages ? static_cast<int>(pages) : 0;
}

// cover.medium, else large, else small.
std::optional<QUrl> coverOf(const QJsonObject& object) {
    const QJsonValue value = object.value(QStringLiteral("cover"));
    if (value.isUndefined() || value.isNull())
        return QUrl();
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject sizes = value.toObject();
    for (const char* size : {"medium", "large", "small"}) {
        const auto text = textMember(sizes, QLatin1String(size));
        if (!text)
            return std::nullopt;
        const QUrl url(*text);
        if (url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https"))
            return url;
    }
    return QUrl();
}

QString shapeError(const char* member) {
    return QStringLiteral("\"%1\" is not what a book's details hold").arg(QLatin1String(member));
}

} // namespace

QString DefaultMetadataUrl() {
    return QStringLiteral("https://openlibrary.org");
}

QString MetadataBaseUrl() {
    const QString fromEnvironment = qEnvironmentVariable("TOMEKEEP_METADATA_URL").trimmed();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString setting = GetSetting(QStringLiteral("MetadataURL")).trimmed();
    return setting.isEmpty() ? DefaultMetadataUrl() : setting;
}

QUrl BooksApiUrl(const QString& base, const QString& isbn) {
    QString root = base.trimmed();
    while (root.endsWith(u'/'))
        root.chop(1);
    QUrl url(root + QStringLiteral("/api/books"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("bibkeys"), u"ISBN:" + isbn);
    query.addQueryItem(QStringLiteral("format"), QStringLiteral("json"));
    query.addQueryItem(QStringLiteral("jscmd"), QStringLiteral("data"));
    url.setQuery(query);
    return url;
}

int YearOfPublishDate(const QString& text) {
    static const QRegularExpression year(QStringLiteral("(?<!\\d)(\\d{4})(?!\\d)"));
    const QRegularExpressionMatch match = year.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

LookupResult ParseBooksAnswer(const QByteArray& json, const QString& isbn) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return failure(LookupFailure::BadAnswer, QStringLiteral("not JSON: %1").arg(error.errorString()));
    if (!document.isObject())
        return failure(LookupFailure::BadAnswer, QStringLiteral("not a JSON object"));
    const QJsonObject answer = document.object();
    const QJsonValue entry = answer.value(u"ISBN:" + isbn);
    if (entry.isUndefined())
        return failure(answer.isEmpty() ? LookupFailure::NotFound : LookupFailure::BadAnswer,
                       answer.isEmpty() ? QString() : QStringLiteral("no entry for ISBN:%1").arg(isbn));
    if (!entry.isObject())
        return failure(LookupFailure::BadAnswer, shapeError("ISBN"));
    const QJsonObject book = entry.toObject();
    const auto title = textMember(book, QStringLiteral("title"));
    const auto author = firstName(book, QStringLiteral("authors"));
    const auto publisher = firstName(book, QStringLiteral("publishers"));
    const auto published = textMember(book, QStringLiteral("publish_date"));
    const auto pages = pagesOf(book);
    const auto cover = coverOf(book);
    const std::pair<bool, const char*> shapes[] = {
        {title.has_value(), "title"},           {author.has_value(), "authors"},
        {publisher.has_value(), "publishers"},  {published.has_value(), "publish_date"},
        {pages.has_value(), "number_of_pages"}, {cover.has_value(), "cover"}};
    for (const auto& [right, member] : shapes) {
        if (!right)
            return failure(LookupFailure::BadAnswer, shapeError(member));
    }
    if (title->isEmpty())
        return failure(LookupFailure::BadAnswer, QStringLiteral("the book has no title"));
    LookupResult result;
    FoundBook& found = result.book;
    found.isbn = isbn;
    found.title = title->left(kTitleLength);
    found.author = author->left(kAuthorLength);
    found.publisher = publisher->left(kPublisherLength);
    found.copyright = YearOfPublishDate(*published);
    found.pages = *pages;
    found.coverUrl = *cover;
    return result;
}

QString LookupFailureText(const LookupResult& result, const QString& base) {
    switch (result.failure) {
    case LookupFailure::None:
    case LookupFailure::Cancelled:
        return {};
    case LookupFailure::NotFound:
        return QStringLiteral("No book with the ISBN %1 is known at %2.").arg(result.book.isbn, base);
    case LookupFailure::BadAnswer:
        return QStringLiteral("The answer from %1 could not be read (%2).  Nothing was filled in.")
            .arg(base, result.detail);
    case LookupFailure::TimedOut:
        return QStringLiteral("%1 did not answer in time.  Nothing was filled in.").arg(base);
    case LookupFailure::NoConnection:
        return QStringLiteral("%1 could not be reached (%2).  Check the network connection.")
            .arg(base, result.detail);
    }
    return {};
}

BookLookup::BookLookup(QObject* parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this)) {
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        stop(LookupFailure::TimedOut,
             QStringLiteral("no answer in %1 seconds").arg(m_timeout.count() / 1000.0));
    });
}

BookLookup::~BookLookup() {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void BookLookup::start(const QString& base, const QString& isbn) {
    cancel();
    m_result = LookupResult();
    m_result.book.isbn = isbn;
    m_fetchingCover = false;
    m_deadline.start(m_timeout);
    fetch(BooksApiUrl(base, isbn), kMaxDetailsBytes);
}

void BookLookup::cancel() {
    stop(LookupFailure::Cancelled, QString());
}

void BookLookup::fetch(const QUrl& url, qint64 limit) {
    QNetworkRequest request(url);
    request.setHeader(
        QNetworkRequest::UserAgentHeader,
        QStringLiteral("Tomekeep/%1.%2").arg(TOMEKEEP_VERSION_MAJOR).arg(TOMEKEEP_VERSION_MINOR));
    m_limit = limit;
    m_body.clear();
    QNetworkReply* reply = m_network->get(request);
    m_reply = reply;
    // A reply that was given up on may still speak; only the current one is listened to.
    const auto tooLarge = [this] {
        stop(LookupFailure::BadAnswer, QStringLiteral("larger than %1 MB").arg(m_limit / (1024 * 1024)));
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply, tooLarge] {
        if (reply == m_reply && reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > m_limit)
            tooLarge();
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply, tooLarge] {
        if (reply != m_reply)
            return;
        m_body += reply->readAll();
        if (m_body.size() > m_limit)
            tooLarge();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        if (reply == m_reply)
            replyFinished();
    });
}

// Ends the look-up early; the reply's own end then reports it.
void BookLookup::stop(LookupFailure failure, const QString& detail) {
    if (!m_reply)
        return;
    m_result.failure = failure;
    m_result.detail = detail;
    m_reply->abort();
}

void BookLookup::replyFinished() {
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    if (m_result.failure != LookupFailure::None) {
        finish();
        return;
    }
    m_body += reply->readAll();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (reply->error() != QNetworkReply::NoError && !status.isValid()) {
        m_result.failure = LookupFailure::NoConnection;
        m_result.detail = reply->errorString();
        finish();
        return;
    }
    const bool ok = status.toInt() >= 200 && status.toInt() < 300;
    if (m_fetchingCover) {
        // A cover the server does not have leaves the book without one; it is not a failure.
        if (ok)
            m_result.book.cover = PrepareCover(m_body);
        finish();
    } else if (!ok) {
        m_result.failure = LookupFailure::BadAnswer;
        m_result.detail = QStringLiteral("HTTP status %1").arg(status.toInt());
        finish();
    } else {
        detailsArrived(m_body);
    }
}

void BookLookup::detailsArrived(const QByteArray& body) {
    const LookupResult parsed = ParseBooksAnswer(body, m_result.book.isbn);
    m_result.failure = parsed.failure;
    m_result.detail = parsed.detail;
    if (parsed.found())
        m_result.book = parsed.book;
    if (!parsed.found() || parsed.book.coverUrl.isEmpty()) {
        finish();
        return;
    }
    m_fetchingCover = true;
    fetch(parsed.book.coverUrl, kMaxCoverBytes);
}

void BookLookup::finish() {
    m_deadline.stop();
    if (!m_result.found())
        m_result.book = FoundBook{m_result.book.isbn, {}, {}, {}, 0, 0, {}, {}};
    Q_EMIT finished(m_result);
}

LookupResult LookUpIsbnAndWait(const QString& base, const QString& isbn, std::chrono::milliseconds timeout) {
    BookLookup lookup;
    lookup.setTimeout(timeout);
    LookupResult result;
    QEventLoop loop;
    QObject::connect(&lookup, &BookLookup::finished, &loop, [&](const LookupResult& ended) {
        result = ended;
        loop.quit();
    });
    lookup.start(base, isbn);
    if (lookup.isRunning())
        loop.exec();
    return result;
}
