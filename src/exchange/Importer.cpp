#include "exchange/Importer.h"

#include "db/Connection.h"
#include "db/NameKeys.h"
#include "db/RecordHelpers.h"
#include "db/Recordset.h"
#include "db/ScopedPragma.h"
#include "exchange/ExchangeReader.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <optional>

namespace {

// Runs the lines of an import in one transaction, each line inside a savepoint: a line that
// fails is undone whole and the lines before it are kept. Committing once matters: each commit
// waits for the disk.
class ImportTransaction {
public:
    template <typename Work>
    DbStatus runLine(Work&& work) {
        if (!m_transaction)
            m_transaction.emplace(gConn);
        if (!m_transaction->started())
            return m_transaction->started();
        if (DbStatus saved = gConn.execute(QStringLiteral("SAVEPOINT [ImportLine]")); !saved)
            return saved;
        DbStatus done = work();
        if (!done) {
            static_cast<void>(gConn.execute(QStringLiteral("ROLLBACK TO [ImportLine]")));
            static_cast<void>(gConn.execute(QStringLiteral("RELEASE [ImportLine]")));
            return done;
        }
        ++m_lines;
        return gConn.execute(QStringLiteral("RELEASE [ImportLine]"));
    }

    DbStatus commit() {
        if (!m_transaction)
            return {};
        DbStatus committed = m_transaction->commit();
        m_transaction.reset();
        if (!committed)
            m_lines = 0;
        return committed;
    }

    // Lines written so far; after a commit, lines that are in the catalogue for good.
    int lines() const { return m_lines; }

private:
    std::optional<Transaction> m_transaction;
    int m_lines = 0;
};

ImportResult failedAt(ImportResult result, int line, const QString& error) {
    result.status = ImportResult::Status::Failed;
    result.failedLine = line;
    result.error = error;
    return result;
}

QString readError(const QString& path, const ExchangeReader& reader) {
    return QStringLiteral("Cannot read '%1': %2.").arg(QDir::toNativeSeparators(path), reader.errorString());
}

} // namespace

DbStatus BookImporter::start() {
    auto awards = Recordset::open(QStringLiteral("SELECT [Name] FROM [Award] WHERE [Name] LIKE '%/%'"));
    if (!awards)
        return awards.error();
    for (; !awards->eof(); awards->moveNext())
        m_slashedAwards.add(awards->text(0));
    // Each line asks the catalogue for its title through the key index rather than holding every
    // title of the catalogue in memory.
    return RepairNameKeys(KeyedColumnOf(u"Book"));
}

DbResult<int> LookupIds::id(const QString& name) {
    const QString key = NameKey(name);
    if (const auto known = m_ids.constFind(key); known != m_ids.cend())
        return *known;
    auto id = GetLookupId(m_table, m_idColumn, name);
    if (id)
        m_ids.insert(key, *id);
    return id;
}

DbResult<int> AuthorIds::id(const QString& name) {
    const QString key = NameKey(name);
    if (const auto known = m_ids.constFind(key); known != m_ids.cend())
        return *known;
    auto id = GetAuthorId(name);
    if (id && *id == -1)
        id = AddNamedRow(KeyedColumnOf(u"Author"), name);
    if (id)
        m_ids.insert(key, *id);
    return id;
}

DbResult<int> BookImporter::writeBook(const BookFields& fields) {
    // Of two books with the same title (letter case aside) the first one is overwritten.
    auto ran = gConn.run(QStringLiteral("SELECT [BookId], [ISBN] FROM [Book] WHERE [TitleKey] = ? "
                                        "ORDER BY [BookId] LIMIT 1"),
                         {NameKey(fields.title)});
    if (!ran)
        return ran.error();
    QSqlQuery& found = **ran;
    if (!found.next()) {
        const QSqlError error = found.lastError();
        found.finish();
        return error.isValid() ? DbResult<int>(DbError::fromSqlError(error)) : AddBook(fields);
    }
    const int bookId = found.value(0).toInt();
    // The exchange file has no ISBN: the one the catalogue holds stays.
    BookFields kept = fields;
    kept.isbn = NullToEmpty(found.value(1));
    found.finish();
    if (DbStatus updated = UpdateBook(bookId, kept); !updated)
        return updated.error();
    return bookId;
}

DbStatus BookImporter::linkAward(int bookId, const QString& name) {
    const auto awardId = m_awards.id(name);
    if (!awardId)
        return awardId.error();
    // Reading the same file twice must not give a book the same award twice.
    const auto links =
        QueryNumber(QStringLiteral("SELECT COUNT(*) FROM [BookAward] WHERE [BookId] = ? AND [AwardId] = ?"),
                    {bookId, *awardId});
    if (!links)
        return links.error();
    return *links > 0 ? DbStatus() : AddBookAward(bookId, *awardId);
}

DbResult<int> BookImporter::importBook(const ExchangeBook& book) {
    // Looked up in the order of the file's fields, before the book itself is written.
    const auto subject = m_subjects.id(book.subject);
    const auto format = subject ? m_formats.id(book.format) : subject;
    const auto rating = format ? m_ratings.id(book.rating) : format;
    const auto author = rating ? m_authors.id(book.author) : rating;
    const auto location = author ? m_locations.id(book.location) : author;
    if (!location)
        return location.error();

    BookFields fields = StoredValues(book);
    fields.subjectId = *subject;
    fields.formatId = *format;
    fields.ratingId = *rating;
    fields.authorId = *author;
    fields.locationId = *location;
    const auto bookId = writeBook(fields);
    if (!bookId)
        return bookId;
    for (const QString& award : SplitAwards(book.awards, m_slashedAwards)) {
        if (DbStatus linked = linkAward(*bookId, award); !linked)
            return linked.error();
    }
    return bookId;
}

ImportResult ImportExchangeFile(const QString& path, const ShowBookTitle& showTitle) {
    ImportResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = ImportResult::Status::CannotOpen;
        result.error =
            QStringLiteral("Cannot read '%1': %2.").arg(QDir::toNativeSeparators(path), file.errorString());
        return result;
    }
    ExchangeReader reader(file);
    QString line;
    if (!reader.readLine(line) || !IsExchangeHeader(line)) {
        if (reader.failed())
            return failedAt(result, reader.lineNumber() + 1, readError(path, reader));
        result.status = ImportResult::Status::WrongFormat;
        return result;
    }
    BookImporter importer;
    if (DbStatus started = importer.start(); !started)
        return failedAt(result, reader.lineNumber() + 1, started.error().messageText());

    // Each line's savepoint journal is kept in memory: on disk every line would write the pages it
    // changes to a temporary file. The larger cache keeps changed pages from being written out
    // (and waited for) before the commit.
    const ScopedPragma savepointsInMemory(QStringLiteral("temp_store"), 2);
    const ScopedPragma largerCache(QStringLiteral("cache_size"), kWholeCatalogueCacheSize);
    ImportTransaction transaction;
    while (reader.readLine(line) && (reader.lastLineTooLong() || line.size() >= kShortestBookLine)) {
        const std::optional<ExchangeBook> book =
            reader.lastLineTooLong() ? std::nullopt : ParseExchangeLine(line);
        if (!book) {
            if (result.skipped++ == 0)
                result.firstSkippedLine = reader.lineNumber();
            continue;
        }
        if (showTitle)
            showTitle(book->title);
        const DbStatus written =
            transaction.runLine([&] { return DbStatus::of(importer.importBook(*book)); });
        if (!written) {
            const DbStatus committed = transaction.commit();
            result.imported = transaction.lines();
            return failedAt(result, reader.lineNumber(),
                            committed ? written.error().messageText() : committed.error().messageText());
        }
    }
    const DbStatus committed = transaction.commit();
    result.imported = transaction.lines();
    if (!committed)
        return failedAt(result, reader.lineNumber(), committed.error().messageText());
    if (reader.failed())
        return failedAt(result, reader.lineNumber() + 1, readError(path, reader));
    return result;
}
