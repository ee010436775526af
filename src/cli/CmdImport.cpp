// tomekeep-cli import FILE: a Goodreads or LibraryThing export, as Tools, Import from Other
// Programs reads it, or the exchange file, as Tools, Import reads it.
#include "cli/Cli.h"
#include "exchange/Importer.h"
#include "imports/ForeignImport.h"
#include "imports/ImportWindows.h"

#include <QCommandLineParser>

namespace {

int importExchangeFile(const QString& file) {
    const ImportResult result = ImportExchangeFile(file);
    switch (result.status) {
    case ImportResult::Status::Done:
        CliPrint(QStringLiteral("%1 books imported, %2 lines passed over")
                     .arg(result.imported)
                     .arg(result.skipped));
        return kExitDone;
    case ImportResult::Status::CannotOpen:
        return CliFail(QStringLiteral("cannot open %1: %2").arg(file, result.error));
    case ImportResult::Status::WrongFormat:
        return CliFail(QStringLiteral("%1 is not an exchange file; nothing was imported").arg(file));
    case ImportResult::Status::Failed:
        break;
    }
    return CliFail(QStringLiteral("line %1: %2; the %3 books before it were imported")
                       .arg(result.failedLine)
                       .arg(result.error)
                       .arg(result.imported));
}

} // namespace

int RunImport(const QCommandLineParser& parser) {
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return CliUsageError(QStringLiteral("import"), QStringLiteral("import needs one file"));
    // The kind of file is told by its header row, as in the import window.
    const ForeignImportResult result = ImportForeignFile(files.first());
    switch (result.status) {
    case ForeignImportResult::Status::Done:
        CliPrint(ImportSummaryText(result));
        return kExitDone;
    case ForeignImportResult::Status::UnknownKind:
        if (result.kind == ForeignKind::Exchange)
            return importExchangeFile(files.first());
        return CliFail(
            QStringLiteral("%1 is not a Goodreads, LibraryThing or exchange file; nothing was imported")
                .arg(files.first()));
    case ForeignImportResult::Status::Cancelled:
    case ForeignImportResult::Status::BadFile:
    case ForeignImportResult::Status::Failed:
        break;
    }
    return CliFail(QStringLiteral("%1; nothing was imported").arg(result.error));
}
