#include "cli/Cli.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tomekeep"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(TOMEKEEP_VERSION_MAJOR)
                                                .arg(TOMEKEEP_VERSION_MINOR)
                                                .arg(TOMEKEEP_VERSION_REVISION, 2, 10, QChar(u'0')));
    return RunCli(QCoreApplication::arguments());
}
