#pragma once

#include <QString>
#include <functional>

// Told the title of each book as it is written or read, so a window can show it.
using ShowBookTitle = std::function<void(const QString& title)>;

struct ExportResult {
    enum class Status {
        Done,
        // The file could not be opened for writing because access to it was refused.
        CannotWrite,
        // Anything else stopped the export; `error` says what. A file that was there stays as it was.
        Failed,
    };
    Status status = Status::Done;
    int count = 0;
    QString error;
};

// Writes every book of the open catalogue whose subject, location, rating and format rows
// exist to the exchange file at `path`, in order of title. When there is no such book the file
// is neither created nor touched.
ExportResult ExportBooks(const QString& path, const ShowBookTitle& showTitle = {});
