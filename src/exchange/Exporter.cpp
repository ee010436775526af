#include "exchange/Exporter.h"

#include "db/Connection.h"
#include "db/RecordHelpers.h"
#include "db/ScopedPragma.h"
#include "exchange/ExchangeFormat.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cerrno>

namespace {

const QString kBookQuery = QStringLiteral(
    "SELECT m.[BookId], m.[AuthorId], m.[Title], m.[LabelNumber], m.[Publisher], m.[Copyright], m.[Pages], "
    "m.[Stars], m.[AcquireDate], m.[Cost], m.[LentTo], m.[LentDate], m.[Notes], g.[Name] AS [SubjectName], "
    "l.[Name] AS [LocationName], r.[Name] AS [RatingName], "
    "mm.[Name] AS [FormatName] FROM ((([Book] AS m "
    "INNER JOIN [Subject] AS g ON g.[SubjectId] = m.[SubjectId]) "
    "INNER JOIN [Location] AS l ON l.[LocationId] = m.[LocationId]) "
    "INNER JOIN [Rating] AS r ON r.[RatingId] = m.[RatingId]) "
    "INNER JOIN [Format] AS mm ON mm.[FormatId] = m.[FormatId] ORDER BY m.[Title]");

// Author names and award lists are read once for the whole file: the same names a lookup per
// book would give, without two queries per book.
const QString kAuthorQuery = QStringLiteral("SELECT [AuthorId], [Name] FROM [Author]");
// Links come back in the order they were added, which is the order the editor lists them in.
const QString kAwardQuery =
    QStringLiteral("SELECT ma.[BookId], a.[Name] FROM [BookAward] AS ma "
                   "INNER JOIN [Award] AS a ON a.[AwardId] = ma.[AwardId] ORDER BY ma.[BookId], ma.rowid");

using NamesById = QHash<int, QString>;

DbResult<NamesById> readNames(const QString& sql, const QString& separator) {
    auto ran = gConn.run(sql);
    if (!ran)
        return ran.error();
    QSqlQuery& query = **ran;
    NamesById names;
    while (query.next()) {
        QString& joined = names[query.value(0).toInt()];
        const QString name = NullToEmpty(query.value(1));
        joined = joined.isNull() ? name : joined + separator + name;
    }
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid())
        return DbError::fromSqlError(error);
    return names;
}

// Where each column of the book query stands.
struct BookColumns {
    explicit BookColumns(const QSqlRecord& record)
        : bookId(record.indexOf(QStringLiteral("BookId")))
        , authorId(record.indexOf(QStringLiteral("AuthorId")))
        , title(record.indexOf(QStringLiteral("Title")))
        , label(record.indexOf(QStringLiteral("LabelNumber")))
        , publisher(record.indexOf(QStringLiteral("Publisher")))
        , copyright(record.indexOf(QStringLiteral("Copyright")))
        , pages(record.indexOf(QStringLiteral("Pages")))
        , stars(record.indexOf(QStringLiteral("Stars")))
        , acquireDate(record.indexOf(QStringLiteral("AcquireDate")))
        , cost(record.indexOf(QStringLiteral("Cost")))
        , lentTo(record.indexOf(QStringLiteral("LentTo")))
        , lentDate(record.indexOf(QStringLiteral("LentDate")))
        , notes(record.indexOf(QStringLiteral("Notes")))
        , subject(record.indexOf(QStringLiteral("SubjectName")))
        , location(record.indexOf(QStringLiteral("LocationName")))
        , rating(record.indexOf(QStringLiteral("RatingName")))
        , format(record.indexOf(QStringLiteral("FormatName"))) {}

    int bookId, authorId, title, label, publisher, copyright, pages, stars, acquireDate, cost, lentTo,
        lentDate, notes, subject, location, rating, format;
};

ExchangeBook readBook(const QSqlQuery& query, const BookColumns& c, const NamesById& authors,
                      const NamesById& awards) {
    ExchangeBook book;
    book.bookId = query.value(c.bookId).toInt();
    book.title = NullToEmpty(query.value(c.title));
    book.stars = query.value(c.stars).toDouble();
    book.subject = NullToEmpty(query.value(c.subject));
    book.format = NullToEmpty(query.value(c.format));
    book.pages = query.value(c.pages).toInt();
    book.rating = NullToEmpty(query.value(c.rating));
    book.copyright = query.value(c.copyright).toInt();
    book.publisher = NullToEmpty(query.value(c.publisher));
    book.author = authors.value(query.value(c.authorId).toInt());
    book.awards = awards.value(book.bookId);
    book.location = NullToEmpty(query.value(c.location));
    book.label = NullToEmpty(query.value(c.label));
    book.acquiredDate = DateFromStored(query.value(c.acquireDate));
    book.cost = Money::fromDouble(query.value(c.cost).toDouble());
    book.lentTo = NullToEmpty(query.value(c.lentTo));
    book.lentDate = DateFromStored(query.value(c.lentDate));
    book.notes = NullToEmpty(query.value(c.notes));
    return book;
}

bool accessRefused(const QFile& file) {
    for (const int code : {EACCES, EPERM, EROFS, ETXTBSY}) {
        if (file.errorString() == qt_error_string(code))
            return true;
    }
    return false;
}

QString fileError(const QFile& file) {
    return QStringLiteral("Cannot write to '%1': %2.")
        .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
}

ExportResult failed(int count, const QString& error) {
    return {ExportResult::Status::Failed, count, error};
}

} // namespace

ExportResult ExportBooks(const QString& path, const ShowBookTitle& showTitle) {
    const ScopedPragma largerCache(QStringLiteral("cache_size"), kWholeCatalogueCacheSize);
    const auto authors = readNames(kAuthorQuery, QString());
    if (!authors)
        return failed(0, authors.error().messageText());
    const auto awards = readNames(kAwardQuery, QStringLiteral("/"));
    if (!awards)
        return failed(0, awards.error().messageText());
    auto ran = gConn.run(kBookQuery);
    if (!ran)
        return failed(0, ran.error().messageText());
    QSqlQuery& query = **ran;
    if (!query.next()) {
        const QSqlError error = query.lastError();
        query.finish();
        return error.isValid() ? failed(0, DbError::fromSqlError(error).messageText()) : ExportResult{};
    }

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        query.finish();
        return accessRefused(file) ? ExportResult{ExportResult::Status::CannotWrite, 0, file.errorString()}
                                   : failed(0, fileError(file));
    }
    const BookColumns columns(query.record());
    const QByteArray lineEnd = QByteArrayLiteral("\r\n");
    file.write(ExchangeHeader().toUtf8() + lineEnd);
    int count = 0;
    do {
        const ExchangeBook book = readBook(query, columns, *authors, *awards);
        if (file.write(BuildExportLine(book).toUtf8() + lineEnd) < 0)
            break;
        ++count;
        if (showTitle)
            showTitle(book.title);
    } while (query.next());
    const QSqlError queryError = query.lastError();
    query.finish();
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return failed(count, fileError(file));
    if (queryError.isValid())
        return failed(count, DbError::fromSqlError(queryError).messageText());
    return {ExportResult::Status::Done, count, {}};
}
