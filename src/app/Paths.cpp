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
    const QString fileName = catalogueName + QStringLiteral(".sqlite");
    const QDir folder(DataFolder());
    // The name is kept upper case, but a catalogue copied in may be named in any case: the file
    // that matches whatever its case is the catalogue. Only a name that matches none is new.
    if (!folder.exists(fileName)) {
        const QStringList sameName = folder.entryList({fileName}, QDir::Files, QDir::Name);
        if (!sameName.isEmpty())
            return folder.filePath(sameName.constFirst());
    }
    return folder.filePath(fileName);
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
