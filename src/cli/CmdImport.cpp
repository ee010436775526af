// tomekeep-cli import FILE: the exchange file, as Tools, Import reads it.
#include "cli/Cli.h"
#include "exchange/Importer.h"

#include <QCommandLineParser>

int RunImport(const QCommandLineParser& parser) {
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return CliUsageError(QStringLiteral("import"), QStringLiteral("import needs one file"));
    const ImportResult result = ImportExchangeFile(files.first());
    switch (result.status) {
    case ImportResult::Status::Done:
        CliPrint(QStringLiteral("%1 books imported, %2 lines passed over")
                     .arg(result.imported)
                     .arg(result.skipped));
        return kExitDone;
    case ImportResult::Status::CannotOpen:
        return CliFail(QStringLiteral("cannot open %1: %2").arg(files.first(), result.error));
    case ImportResult::Status::WrongFormat:
        return CliFail(QStringLiteral("%1 is not an exchange file; nothing was imported").arg(files.first()));
    case ImportResult::Status::Failed:
        break;
    }
    return CliFail(QStringLiteral("line %1: %2; the %3 books before it were imported")
                       .arg(result.failedLine)
                       .arg(result.error)
                       .arg(result.imported));
}
