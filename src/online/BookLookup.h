#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;

// The largest answers read: a book's details are a few kilobytes, a cover some hundred.
inline constexpr qint64 kMaxDetailsBytes = 2 * 1024 * 1024;
inline constexpr qint64 kMaxCoverBytes = 8 * 1024 * 1024;
inline constexpr std::chrono::milliseconds kLookupTimeout{15000};

QString DefaultMetadataUrl();
// Where book details are asked for: TOMEKEEP_METADATA_URL when set, else the "MetadataURL"
// setting, else Open Library itself.
QString MetadataBaseUrl();
// The Books API request for one ISBN (13 digits).
QUrl BooksApiUrl(const QString& base, const QString& isbn);

// What a look-up found, cut to the lengths the catalogue keeps.
struct FoundBook {
    QString isbn;
    QString title;
    QString author;
    QString publisher;
    int copyright = 0;
    int pages = 0;
    QUrl coverUrl;
    // Prepared for storing (online/Covers.h); empty when there is none.
    QByteArray cover;
};

enum class LookupFailure { None, NotFound, BadAnswer, TimedOut, NoConnection, Cancelled };

struct LookupResult {
    LookupFailure failure = LookupFailure::None;
    FoundBook book;
    // What went wrong, in a few words, for the message.
    QString detail;

    bool found() const { return failure == LookupFailure::None; }
};

// Reads a Books API answer (format=json, jscmd=data) about one ISBN.
LookupResult ParseBooksAnswer(const QByteArray& json, const QString& isbn);
// The year in a publish date as Open Library writes them ("1866", "March 2003", "2003-03-01"); 0 when none.
int YearOfPublishDate(const QString& text);
// What the user is told about a failed look-up; empty for a cancelled one.
QString LookupFailureText(const LookupResult& result, const QString& base);

// One look-up of a book's details and cover, run without blocking: start it, and finished()
// comes once, whatever happens (found, failed, timed out or cancelled).
class BookLookup : public QObject {
    Q_OBJECT
public:
    explicit BookLookup(QObject* parent = nullptr);
    ~BookLookup() override;

    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    void start(const QString& base, const QString& isbn);
    void cancel();
    bool isRunning() const { return m_reply != nullptr; }

Q_SIGNALS:
    void finished(const LookupResult& result);

private:
    void fetch(const QUrl& url, qint64 limit);
    void stop(LookupFailure failure, const QString& detail);
    void replyFinished();
    void detailsArrived(const QByteArray& body);
    void coverArrived(const QByteArray& body);
    void finish();

    QNetworkAccessManager* m_network = nullptr;
    QNetworkReply* m_reply = nullptr;
    QTimer m_deadline;
    std::chrono::milliseconds m_timeout = kLookupTimeout;
    qint64 m_limit = 0;
    QByteArray m_body;
    bool m_fetchingCover = false;
    LookupResult m_result;
};

// Runs a look-up to its end in a local event loop, for callers without a window.
LookupResult LookUpIsbnAndWait(const QString& base, const QString& isbn,
                               std::chrono::milliseconds timeout = kLookupTimeout);
