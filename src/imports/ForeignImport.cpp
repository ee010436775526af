#include "imports/ForeignImport.h"

#include "db/Connection.h"
#include "db/NameKeys.h"
#include "db/Recordset.h"
#include "db/ScopedPragma.h"
#include "exchange/ExchangeFormat.h"
#include "exchange/Importer.h"

#include <QDir>
#include <QHash>

namespace {

// Writes the books of a file: finds or adds their authors and lookup names, finds the book each
// one already is, and adds or updates it.
class ImportedBookWriter {
public:
    DbStatus start();
    // Answers true when the book was added, false when a book of the catalogue was updated.
    DbResult<bool> write(const ImportedBook& book);

private:
    static DbResult<int> findBook(const ImportedBook& book, int authorId);
    DbStatus update(int bookId, const BookFields& fields);

    LookupIds m_formats{QStringLiteral("Format"), QStringLiteral("FormatId")};
    LookupIds m_locations{QStringLiteral("Location"), QStringLiteral("LocationId")};
    AuthorIds m_authors;
    BookFields m_blank;
};

DbStatus ImportedBookWriter::start() {
    // What the file does not say of a new book: the "(none)" subject, rating, format and location.
    const auto subject = GetLookupId(QStringLiteral("Subject"), QStringLiteral("SubjectId"), kNoneName);
    const auto rating =
        subject ? GetLookupId(QStringLiteral("Rating"), QStringLiteral("RatingId"), kNoneName) : subject;
    const auto format = rating ? m_formats.id(kNoneName) : rating;
    const auto location = format ? m_locations.id(kNoneName) : format;
    if (!location)
        return location.error();
    m_blank.subjectId = *subject;
    m_blank.ratingId = *rating;
    m_blank.formatId = *format;
    m_blank.locationId = *location;
    return {};
}

DbResult<int> ImportedBookWriter::findBook(const ImportedBook& book, int authorId) {
    if (!book.isbn.isEmpty()) {
        const auto byIsbn = QueryNumber(
            QStringLiteral("SELECT [BookId] FROM [Book] WHERE [ISBN] = ? ORDER BY [BookId] LIMIT 1"),
            {book.isbn});
        if (!byIsbn || *byIsbn > 0)
            return byIsbn ? static_cast<int>(*byIsbn) : DbResult<int>(byIsbn.error());
    }
    // Two books of one title are one book only when their author is the same and their ISBNs
    // (where both have one) agree.
    // Titles compare by their keys, letter case aside; rows another tool wrote are keyed first.
    if (DbStatus keyed = RepairNameKeys(KeyedColumnOf(u"Book")); !keyed)
        return keyed.error();
    const auto byTitle = QueryNumber(
        QStringLiteral("SELECT [BookId] FROM [Book] WHERE [TitleKey] = ? AND IFNULL([AuthorId], 0) = ? "
                       "AND ([ISBN] = '' OR ? = '') ORDER BY [BookId] LIMIT 1"),
        {NameKey(book.title), authorId, book.isbn});
    if (!byTitle)
        return byTitle.error();
    return static_cast<int>(*byTitle);
}

// The other program's values replace the book's; what the file leaves empty keeps the book's
// own value, and what only Tomekeep holds (subject, rating, label, cost, loans, awards) stays.
DbStatus ImportedBookWriter::update(int bookId, const BookFields& fields) {
    const DbStatus updated = gConn.execute(
        QStringLiteral("UPDATE [Book] SET [Title] = ?, [AuthorId] = COALESCE(NULLIF(?, 0), [AuthorId]), "
                       "[ISBN] = COALESCE(NULLIF(?, ''), [ISBN]), [Stars] = COALESCE(NULLIF(?, 0), [Stars]), "
                       "[Publisher] = COALESCE(NULLIF(?, ''), [Publisher]), "
                       "[Pages] = COALESCE(NULLIF(?, 0), [Pages]), "
                       "[Copyright] = COALESCE(NULLIF(?, 0), [Copyright]), "
                       "[AcquireDate] = COALESCE(NULLIF(?, ?), [AcquireDate]), "
                       "[FormatId] = COALESCE(NULLIF(?, ?), [FormatId]), "
                       "[LocationId] = COALESCE(NULLIF(?, ?), [LocationId]), "
                       "[Notes] = COALESCE(NULLIF(?, ''), [Notes]) WHERE [BookId] = ?"),
        {fields.title, fields.authorId, fields.isbn, fields.stars, fields.publisher, fields.pages,
         fields.copyright, DateToStored(fields.acquireDate), DateToStored(kNullDate), fields.formatId,
         m_blank.formatId, fields.locationId, m_blank.locationId, fields.notes, bookId});
    // Written apart from the title, as every title the program writes (see UpdateBook).
    return updated ? StoreNameKey(KeyedColumnOf(u"Book"), bookId, fields.title) : updated;
}

DbResult<bool> ImportedBookWriter::write(const ImportedBook& book) {
    // A book without an author refers to none, rather than to an author without a name.
    const auto author = book.author.isEmpty() ? DbResult<int>(0) : m_authors.id(book.author);
    const auto format = author ? m_formats.id(book.format) : author;
    const auto location = format ? m_locations.id(book.location) : format;
    if (!location)
        return location.error();
    BookFields fields = m_blank;
    fields.title = book.title;
    fields.authorId = *author;
    fields.isbn = book.isbn;
    fields.stars = book.stars;
    fields.publisher = book.publisher;
    fields.pages = book.pages;
    fields.copyright = book.copyright;
    fields.acquireDate = book.acquired;
    fields.formatId = *format;
    fields.locationId = *location;
    fields.notes = book.notes;
    const auto existing = findBook(book, *author);
    if (!existing)
        return existing.error();
    if (*existing > 0) {
        if (DbStatus updated = update(*existing, fields); !updated)
            return updated.error();
        return false;
    }
    const auto added = AddBook(fields);
    if (!added)
        return added.error();
    return true;
}

ForeignImportResult badFile(ForeignImportResult result, const QString& error) {
    result.status = ForeignImportResult::Status::BadFile;
    result.error = error;
    return result;
}

ForeignImportResult failed(ForeignImportResult result, int line, const DbError& error) {
    result.status = ForeignImportResult::Status::Failed;
    result.error = QStringLiteral("Line %1: %2").arg(line).arg(error.messageText());
    result.added = result.updated = 0;
    return result;
}

} // namespace

ForeignFile::ForeignFile(const QString& path)
    : m_file(path) {}

bool ForeignFile::open() {
    if (!m_file.open(QIODevice::ReadOnly)) {
        m_openError = QStringLiteral("Cannot read '%1': %2.")
                          .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString());
        return false;
    }
    m_reader = std::make_unique<CsvReader>(m_file);
    QStringList header;
    m_reader->readRecord(header);
    if (m_reader->problem() != CsvReader::Problem::None)
        return false;
    m_columns = std::make_unique<ForeignColumns>(header);
    return true;
}

bool ForeignFile::next(ForeignRow& row, const QStringList& knownFormats) {
    if (!m_reader || !m_columns || !m_reader->readRecord(m_fields))
        return false;
    row.line = m_reader->lineNumber();
    row.mapped = m_columns->map(m_fields, knownFormats);
    return true;
}

QString ForeignFile::error() const {
    if (!m_openError.isEmpty())
        return m_openError;
    return m_reader ? m_reader->problemText() : QString();
}

DbResult<QStringList> FormatNames() {
    auto names = Recordset::open(QStringLiteral("SELECT [Name] FROM [Format] ORDER BY [FormatId]"));
    if (!names)
        return names.error();
    QStringList formats;
    for (; !names->eof(); names->moveNext())
        formats << names->text(0);
    return formats;
}

ForeignPreview PreviewForeignFile(const QString& path, int rowCount) {
    ForeignPreview preview;
    ForeignFile file(path);
    const auto formats = FormatNames();
    if (!formats) {
        preview.error = formats.error().messageText();
        return preview;
    }
    if (file.open()) {
        preview.kind = file.kind();
        ForeignRow row;
        while (preview.kind != ForeignKind::Unknown && preview.rows.size() < rowCount &&
               file.next(row, *formats))
            preview.rows << row;
    }
    preview.error = file.error();
    return preview;
}

ForeignImportResult ImportForeignFile(const QString& path, const ImportProgress& progress) {
    ForeignImportResult result;
    ForeignFile file(path);
    if (!file.open())
        return badFile(result, file.error());
    result.kind = file.kind();
    if (result.kind != ForeignKind::Goodreads && result.kind != ForeignKind::LibraryThing) {
        result.status = ForeignImportResult::Status::UnknownKind;
        return result;
    }
    const ScopedPragma largerCache(QStringLiteral("cache_size"), kWholeCatalogueCacheSize);
    Transaction transaction(gConn);
    if (!transaction.started())
        return failed(result, 1, transaction.started().error());
    const auto formats = FormatNames();
    if (!formats)
        return failed(result, 1, formats.error());
    ImportedBookWriter writer;
    if (DbStatus started = writer.start(); !started)
        return failed(result, 1, started.error());
    ForeignRow row;
    while (file.next(row, *formats)) {
        if (!row.mapped.book) {
            result.skipped << SkippedRow{row.line, row.mapped.refusal};
            continue;
        }
        const auto written = writer.write(*row.mapped.book);
        if (!written)
            return failed(result, row.line, written.error());
        ++(*written ? result.added : result.updated);
        if (progress && !progress(file.position(), file.size())) {
            result.status = ForeignImportResult::Status::Cancelled;
            result.added = result.updated = 0;
            return result;
        }
    }
    if (!file.error().isEmpty()) {
        result.added = result.updated = 0;
        return badFile(result, file.error());
    }
    if (DbStatus committed = transaction.commit(); !committed)
        return failed(result, row.line, committed.error());
    return result;
}
