// tomekeep-cli export FILE: the exchange file, as Tools, Export writes it.
#include "cli/Cli.h"
#include "exchange/Exporter.h"

#include <QCommandLineParser>

void FileArgument(QCommandLineParser& parser) {
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The file to write or read."));
}

int RunExport(const QCommandLineParser& parser) {
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return CliUsageError(QStringLiteral("export"), QStringLiteral("export needs one file"));
    const ExportResult result = ExportBooks(files.first());
    switch (result.status) {
    case ExportResult::Status::Done:
        CliPrint(QStringLiteral("%1 books exported to %2").arg(result.count).arg(files.first()));
        return kExitDone;
    case ExportResult::Status::CannotWrite:
        return CliFail(QStringLiteral("cannot write %1").arg(files.first()));
    case ExportResult::Status::Failed:
        break;
    }
    return CliFail(result.error);
}
