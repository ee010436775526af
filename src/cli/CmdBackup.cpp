// tomekeep-cli backup FILE: a consistent copy of the open catalogue.
#include "backup/Backup.h"
#include "cli/Cli.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

int RunBackup(const QCommandLineParser& parser) {
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return CliUsageError(QStringLiteral("backup"), QStringLiteral("backup needs one file"));
    const QString path = QFileInfo(files.first()).absoluteFilePath();
    // A file the user named is never overwritten: it may be an earlier backup.
    if (QFileInfo::exists(path))
        return CliFail(
            QStringLiteral("%1 exists already; it is not overwritten").arg(QDir::toNativeSeparators(path)));
    if (DbStatus copied = BackupCatalogueTo(path); !copied)
        return CliFail(copied.error().description);
    CliPrint(QStringLiteral("catalogue copied to %1").arg(files.first()));
    return kExitDone;
}
