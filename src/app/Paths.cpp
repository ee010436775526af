#include "app/Paths.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringList>

namespace {

QString homeOverride() {
    return qEnvironmentVariable("TOMEKEEP_HOME");
}

QString ensured(const QString& folder) {
    QDir().mkpath(folder);
    return folder;
}

} // namespace

QString DataFolder() {
    const QString home = homeOverride();
    if (!home.isEmpty())
        return ensured(QDir::cleanPath(home));
    return ensured(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString CatalogueFilePath(const QString& catalogueName) {
    return DataFolder() + u'/' + catalogueName + QStringLiteral(".sqlite");
}

QStringList CatalogueSideFiles(const QString& catalogueFile) {
    return {catalogueFile + QStringLiteral("-journal"), catalogueFile + QStringLiteral("-wal"),
            catalogueFile + QStringLiteral("-shm")};
}

QString SpoolFolder() {
    return ensured(DataFolder() + QStringLiteral("/Temp"));
}

QString DefaultExchangeFile() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Books.txt");
#else
    return QDir::homePath() + QStringLiteral("/Books.txt");
#endif
}

QString ReportCopyPath() {
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\spool.rpt");
#else
    return QDir::homePath() + QStringLiteral("/spool.rpt");
#endif
}

QString PortableSettingsFile() {
    const QString home = homeOverride();
    return home.isEmpty() ? QString() : QDir::cleanPath(home) + QStringLiteral("/BIBLIO.ini");
}
