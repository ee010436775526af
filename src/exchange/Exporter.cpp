#include "exchange/Exporter.h"

#include "db/Connection.h"
#include "db/RecordHelpers.h"
#include "db/ScopedPragma.h"
#include "exchange/ExchangeFormat.h"
#include "exchange/ExchangeWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <cerrno>

namespace {

// The books and, through the joins, only those whose four lookup rows exist. The lookup names,
// author names and award lists are read once for the whole file and found by number: the same
// names as joined or looked up per book, without converting them again for every book.
const QString kBookQuery = QStringLiteral(
    "SELECT m.[BookId], m.[SubjectId], m.[LocationId], m.[FormatId], m.[RatingId], m.[AuthorId], m.[Title], "
    "m.[LabelNumber], m.[Publisher], m.[Copyright], m.[Pages], m.[Stars], m.[AcquireDate], m.[Cost], "
    "m.[LentTo], "
    "m.[LentDate], m.[Notes] FROM ((([Book] AS m "
    "INNER JOIN [Subject] AS g ON g.[SubjectId] = m.[SubjectId]) "
    "INNER JOIN [Location] AS l ON l.[LocationId] = m.[LocationId]) "
    "INNER JOIN [Rating] AS r ON r.[RatingId] = m.[RatingId]) "
    "INNER JOIN [Format] AS mm ON mm.[FormatId] = m.[FormatId] ORDER BY READING_KEY(m.[Title])");

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

struct Names {
    NamesById subjects;
    NamesById locations;
    NamesById formats;
    NamesById ratings;
    NamesById authors;
    NamesById awards; // of each book, joined by "/"
};

DbResult<Names> readAllNames() {
    Names names;
    const struct {
        NamesById Names::*names;
        const char* sql;
    } sources[] = {
        {&Names::subjects, "SELECT [SubjectId], [Name] FROM [Subject]"},
        {&Names::locations, "SELECT [LocationId], [Name] FROM [Location]"},
        {&Names::formats, "SELECT [FormatId], [Name] FROM [Format]"},
        {&Names::ratings, "SELECT [RatingId], [Name] FROM [Rating]"},
        {&Names::authors, "SELECT [AuthorId], [Name] FROM [Author]"},
        // Links come back in the order they were added, which is the order the editor lists them in.
        {&Names::awards,
         "SELECT ma.[BookId], a.[Name] FROM [BookAward] AS ma "
         "INNER JOIN [Award] AS a ON a.[AwardId] = ma.[AwardId] ORDER BY ma.[BookId], ma.rowid"},
    };
    for (const auto& source : sources) {
        auto read = readNames(QString::fromLatin1(source.sql), QStringLiteral("/"));
        if (!read)
            return read.error();
        names.*source.names = std::move(*read);
    }
    return names;
}

// The columns of the book query, in its order.
enum BookColumn {
    kBookId,
    kSubjectId,
    kLocationId,
    kFormatId,
    kRatingId,
    kAuthorId,
    kTitle,
    kLabel,
    kPublisher,
    kCopyright,
    kPages,
    kStars,
    kAcquireDate,
    kCost,
    kLentTo,
    kLentDate,
    kNotes
};

ExchangeBook readBook(const QSqlQuery& query, const Names& names) {
    const auto id = [&query](BookColumn column) {
        return query.value(column).toInt();
    };
    const auto text = [&query](BookColumn column) {
        return NullToEmpty(query.value(column));
    };
    ExchangeBook book;
    book.bookId = id(kBookId);
    book.title = text(kTitle);
    book.stars = query.value(kStars).toDouble();
    book.subject = names.subjects.value(id(kSubjectId));
    book.format = names.formats.value(id(kFormatId));
    book.pages = id(kPages);
    book.rating = names.ratings.value(id(kRatingId));
    book.copyright = id(kCopyright);
    book.publisher = text(kPublisher);
    book.author = names.authors.value(id(kAuthorId));
    book.awards = names.awards.value(book.bookId);
    book.location = names.locations.value(id(kLocationId));
    book.label = text(kLabel);
    book.acquiredDate = DateFromStored(query.value(kAcquireDate));
    book.cost = Money::fromDouble(query.value(kCost).toDouble());
    book.lentTo = text(kLentTo);
    book.lentDate = DateFromStored(query.value(kLentDate));
    book.notes = text(kNotes);
    return book;
}

bool accessRefused(const QFileDevice& file) {
    const QFileInfo target(file.fileName());
    if (target.exists() && !target.isWritable())
        return true;
    for (const int code : {EACCES, EPERM, EROFS, ETXTBSY}) {
        if (file.errorString() == qt_error_string(code))
            return true;
    }
    return false;
}

QString fileError(const QFileDevice& file) {
    return QStringLiteral("Cannot write to '%1': %2.")
        .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
}

bool copyWhole(QIODevice& from, QFileDevice& to) {
    constexpr qint64 kChunk = 1 << 20;
    if (!from.seek(0))
        return false;
    while (!from.atEnd()) {
        const QByteArray chunk = from.read(kChunk);
        if (chunk.isEmpty() || to.write(chunk) != chunk.size())
            return false;
    }
    return to.flush() && to.error() == QFileDevice::NoError;
}

ExportResult failed(int count, const QString& error) {
    return {ExportResult::Status::Failed, count, error};
}

} // namespace

ExportResult ExportBooks(const QString& path, const ShowBookTitle& showTitle) {
    const ScopedPragma largerCache(QStringLiteral("cache_size"), kWholeCatalogueCacheSize);
    const auto names = readAllNames();
    if (!names)
        return failed(0, names.error().messageText());
    auto ran = gConn.run(kBookQuery);
    if (!ran)
        return failed(0, ran.error().messageText());
    QSqlQuery& query = **ran;
    if (!query.next()) {
        const QSqlError error = query.lastError();
        query.finish();
        return error.isValid() ? failed(0, DbError::fromSqlError(error).messageText()) : ExportResult{};
    }

    // Written beside the file and put in its place only when whole: a failure or a kill on the
    // way leaves the file of the last export as it was.
    // Where no file can be made beside it (a folder without write access), it is written in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        query.finish();
        return accessRefused(file) ? ExportResult{ExportResult::Status::CannotWrite, 0, file.errorString()}
                                   : failed(0, fileError(file));
    }
    // The lines are staged first: the writer may have to go back and rewrite them in UTF-8,
    // which the file being replaced cannot do.
    QTemporaryFile staging;
    if (!staging.open()) {
        query.finish();
        return failed(0, fileError(staging));
    }
    ExchangeWriter writer(staging);
    writer.writeLine(ExchangeHeader());
    int count = 0;
    do {
        const ExchangeBook book = readBook(query, *names);
        if (!writer.writeLine(BuildExportLine(book)))
            break;
        ++count;
        if (showTitle)
            showTitle(book.title);
    } while (query.next());
    const QSqlError queryError = query.lastError();
    query.finish();
    if (!writer.finish() || !staging.flush() || staging.error() != QFileDevice::NoError)
        return failed(count, fileError(staging));
    if (queryError.isValid())
        return failed(count, DbError::fromSqlError(queryError).messageText());
    if (!copyWhole(staging, file) || !file.commit())
        return failed(count, fileError(file));
    return {ExportResult::Status::Done, count, {}};
}
