#pragma once

#include "db/DbResult.h"
#include "exchange/ExchangeFormat.h"
#include "exchange/Exporter.h"

#include <QHash>
#include <QString>

// The numbers of one lookup table's names, found or added through GetLookupId and remembered for
// the life of one import, so each name is looked up once.
class LookupIds {
public:
    LookupIds(QString table, QString idColumn)
        : m_table(std::move(table))
        , m_idColumn(std::move(idColumn)) {}
    DbResult<int> id(const QString& name);

private:
    QString m_table;
    QString m_idColumn;
    QHash<QString, int> m_ids;
};

// The numbers of authors, found with GetAuthorId and added when missing, remembered likewise.
class AuthorIds {
public:
    DbResult<int> id(const QString& name);

private:
    QHash<QString, int> m_ids;
};

// Writes books read from an exchange file into the open catalogue. A book whose title is in the
// catalogue is overwritten with the file's values, any other book is added; subjects, formats,
// ratings, authors, locations and awards missing from the catalogue are added on the way.
// Names already looked up are remembered for the life of the importer, which must not outlive
// the import it serves.
class BookImporter {
public:
    // Reads what the importer needs to know before the first book: the award names that hold a
    // "/". Keys the titles other tools wrote, so that every book is found by its title's key.
    DbStatus start();
    // Writes one book and its awards; answers the book's number.
    DbResult<int> importBook(const ExchangeBook& book);

private:
    DbResult<int> writeBook(const BookFields& fields);
    DbStatus linkAward(int bookId, const QString& name);

    LookupIds m_subjects{QStringLiteral("Subject"), QStringLiteral("SubjectId")};
    LookupIds m_formats{QStringLiteral("Format"), QStringLiteral("FormatId")};
    LookupIds m_ratings{QStringLiteral("Rating"), QStringLiteral("RatingId")};
    LookupIds m_locations{QStringLiteral("Location"), QStringLiteral("LocationId")};
    LookupIds m_awards{QStringLiteral("Award"), QStringLiteral("AwardId")};
    AuthorIds m_authors;
    SlashedAwardNames m_slashedAwards;
};

struct ImportResult {
    enum class Status {
        Done,
        // The file could not be opened; `error` says why.
        CannotOpen,
        // The first line is not the exchange file's header; nothing was written.
        WrongFormat,
        // Reading or writing stopped at `failedLine`; the books before it stay imported.
        Failed,
    };
    Status status = Status::Done;
    int imported = 0;
    // Lines that do not hold the eighteen fields of a book are passed over.
    int skipped = 0;
    int firstSkippedLine = 0;
    int failedLine = 0;
    QString error;
};

// Reads the exchange file at `path` into the open catalogue, up to its end or to the first line
// shorter than a book line can be.
ImportResult ImportExchangeFile(const QString& path, const ShowBookTitle& showTitle = {});
