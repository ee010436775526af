// tomekeep-cli export FILE: the exchange file, as Tools, Export writes it.
#include "cli/Cli.h"
#include "exchange/Exporter.h"
#include "imports/CsvExport.h"

#include <QCommandLineParser>

void FileArgument(QCommandLineParser& parser) {
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The file to write or read."));
}

void ExportOptions(QCommandLineParser& parser) {
    FileArgument(parser);
    parser.addOption(
        QCommandLineOption(QStringLiteral("csv"),
                           QStringLiteral("Write a CSV file for spreadsheets instead of an exchange file.")));
}

namespace {

int exportCsv(const QString& file) {
    const CsvExportResult result = ExportCsv(file);
    if (!result.done)
        return CliFail(result.error);
    CliPrint(QStringLiteral("%1 books exported to %2").arg(result.count).arg(file));
    return kExitDone;
}

} // namespace

int RunExport(const QCommandLineParser& parser) {
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return CliUsageError(QStringLiteral("export"), QStringLiteral("export needs one file"));
    if (parser.isSet(QStringLiteral("csv")))
        return exportCsv(files.first());
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
