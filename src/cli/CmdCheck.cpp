// tomekeep-cli check: Tools, Check and repair, without the window.
#include "cli/Cli.h"
#include "main/Maintenance.h"

#include <QCommandLineParser>

void NoOptions(QCommandLineParser&) {}

int RunCheck(const QCommandLineParser& parser) {
    if (!parser.positionalArguments().isEmpty())
        return CliUsageError(QStringLiteral("check"), QStringLiteral("check takes no arguments"));
    const auto repaired = RepairBookReferences([] { return true; });
    if (!repaired)
        return CliFail(repaired.error().messageText());
    CliPrint(QStringLiteral("%1 problems repaired").arg(*repaired));
    return kExitDone;
}
