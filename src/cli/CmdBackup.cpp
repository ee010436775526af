// tomekeep-cli backup FILE: a consistent copy of the open catalogue.
#include "cli/Cli.h"
#include "db/Backup.h"

#include <QCommandLineParser>

int RunBackup(const QCommandLineParser& parser) {
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return CliUsageError(QStringLiteral("backup"), QStringLiteral("backup needs one file"));
    if (DbStatus copied = BackUpCatalogue(files.first()); !copied)
        return CliFail(copied.error().description);
    CliPrint(QStringLiteral("catalogue copied to %1").arg(files.first()));
    return kExitDone;
}
