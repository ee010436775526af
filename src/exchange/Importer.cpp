#include "exchange/Importer.h"

#include "db/Connection.h"
#include "db/Recordset.h"
#include "exchange/ExchangeReader.h"

#include <QDir>
#include <QFile>
#include <optional>

namespace {

// Lines written in one transaction: few enough that a crash loses little, many enough that
// committing costs nothing noticeable.
constexpr int kLinesPerTransaction = 1000;

// Runs the lines of an import in transactions of kLinesPerTransaction lines. A line that fails
// is undone whole, and the lines before it are kept.
class ImportTransactions {
public:
    template <typename Work>
    DbStatus runLine(Work&& work) {
        if (DbStatus ready = ensureOpen(); !ready)
            return ready;
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

    DbStatus finish() {
        if (!m_transaction)
            return {};
        DbStatus committed = m_transaction->commit();
        m_transaction.reset();
        if (committed)
            m_kept += m_lines;
        m_lines = 0;
        return committed;
    }

    // Lines that are in the catalogue for good.
    int kept() const { return m_kept; }

private:
    DbStatus ensureOpen() {
        if (m_transaction && m_lines < kLinesPerTransaction)
            return {};
        if (DbStatus committed = finish(); !committed)
            return committed;
        m_transaction.emplace(gConn);
        m_lines = 0;
        return m_transaction->started();
    }

    std::optional<Transaction> m_transaction;
    int m_lines = 0;
    int m_kept = 0;
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
    return {};
}

DbResult<int> BookImporter::lookupId(Lookup& lookup, const QString& name) {
    const QString key = LookupKey(name);
    if (const auto known = lookup.ids.constFind(key); known != lookup.ids.cend())
        return *known;
    auto id = GetLookupId(lookup.table, lookup.idColumn, name);
    if (id)
        lookup.ids.insert(key, *id);
    return id;
}

DbResult<int> BookImporter::authorId(const QString& name) {
    const QString key = LookupKey(name);
    if (const auto known = m_authors.constFind(key); known != m_authors.cend())
        return *known;
    auto id = GetAuthorId(name);
    if (id && *id == -1) {
        if (DbStatus added =
                gConn.execute(QStringLiteral("INSERT INTO [Author] ([Name]) VALUES (?)"), {name});
            !added)
            return added.error();
        id = GetAuthorId(name);
    }
    if (id)
        m_authors.insert(key, *id);
    return id;
}

DbResult<int> BookImporter::writeBook(const BookFields& fields) {
    auto existing =
        Recordset::open(QStringLiteral("SELECT [BookId] FROM [Book] WHERE [Title] = ?"), {fields.title});
    if (!existing)
        return existing.error();
    if (!existing->eof()) {
        const int bookId = existing->field(0).toInt();
        if (DbStatus updated = UpdateBook(bookId, fields); !updated)
            return updated.error();
        return bookId;
    }
    return InsertBook(fields);
}

DbStatus BookImporter::linkAward(int bookId, const QString& name) {
    const auto awardId = lookupId(m_awards, name);
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
    const auto subject = lookupId(m_subjects, book.subject);
    const auto format = subject ? lookupId(m_formats, book.format) : subject;
    const auto rating = format ? lookupId(m_ratings, book.rating) : format;
    const auto author = rating ? authorId(book.author) : rating;
    const auto location = author ? lookupId(m_locations, book.location) : author;
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

    ImportTransactions transactions;
    while (reader.readLine(line) && line.size() >= kShortestBookLine) {
        const std::optional<ExchangeBook> book = ParseExchangeLine(line);
        if (!book) {
            if (result.skipped++ == 0)
                result.firstSkippedLine = reader.lineNumber();
            continue;
        }
        if (showTitle)
            showTitle(book->title);
        const DbStatus written =
            transactions.runLine([&] { return DbStatus::of(importer.importBook(*book)); });
        if (!written) {
            static_cast<void>(transactions.finish());
            result.imported = transactions.kept();
            return failedAt(result, reader.lineNumber(), written.error().messageText());
        }
    }
    const DbStatus committed = transactions.finish();
    result.imported = transactions.kept();
    if (!committed)
        return failedAt(result, reader.lineNumber(), committed.error().messageText());
    if (reader.failed())
        return failedAt(result, reader.lineNumber() + 1, readError(path, reader));
    return result;
}
