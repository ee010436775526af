#pragma once

#include "db/DbResult.h"
#include "imports/CsvReader.h"
#include "imports/ForeignFormats.h"

#include <QFile>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

// One data row of a file: the line it begins on, and the book it makes or why it makes none.
struct ForeignRow {
    int line = 0;
    MappedRow mapped;
};

// A Goodreads or LibraryThing file opened for reading: its kind from the header row (never
// from the file's name), then its rows one by one.
class ForeignFile {
public:
    explicit ForeignFile(const QString& path);

    // Opens the file and reads its header row; false when it cannot be read (see error()).
    bool open();
    ForeignKind kind() const { return m_columns ? m_columns->kind() : ForeignKind::Unknown; }
    // The next data row mapped as it will be stored; false at the end or when reading stops.
    bool next(ForeignRow& row, const QStringList& knownFormats);
    // Why the file could not be opened or read; empty when nothing went wrong.
    QString error() const;
    qint64 position() const { return m_reader ? m_reader->position() : 0; }
    qint64 size() const { return m_file.size(); }

private:
    QFile m_file;
    QString m_openError;
    std::unique_ptr<CsvReader> m_reader;
    std::unique_ptr<ForeignColumns> m_columns;
    QStringList m_fields;
};

// The names of the catalogue's Format list, which bindings are matched against.
DbResult<QStringList> FormatNames();

// The kind of a file and its first rows as they will be stored, read before anything is written.
struct ForeignPreview {
    ForeignKind kind = ForeignKind::Unknown;
    QList<ForeignRow> rows;
    QString error;
};
ForeignPreview PreviewForeignFile(const QString& path, int rowCount);

struct SkippedRow {
    int line = 0;
    QString reason;
};

struct ForeignImportResult {
    enum class Status {
        Done,
        // The file cannot be read, is not text, or its quoting is broken; `error` says which.
        BadFile,
        // The header row is not that of a Goodreads or LibraryThing export.
        UnknownKind,
        Cancelled,
        // The catalogue refused a change; `error` says why.
        Failed,
    };
    Status status = Status::Done;
    ForeignKind kind = ForeignKind::Unknown;
    int added = 0;
    int updated = 0;
    QList<SkippedRow> skipped;
    QString error;
};

// Told how many bytes of the file are read; answers false to cancel the import.
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;

// Reads a Goodreads or LibraryThing export into the open catalogue in one transaction: when it is
// cancelled or fails, the catalogue is left as it was. A book of the file is the catalogue's book
// of the same ISBN, else of the same title and author (when their ISBNs do not differ), which is
// updated in place; any other book is added. Rows that make no book are skipped with a reason.
ForeignImportResult ImportForeignFile(const QString& path, const ImportProgress& progress = {});
