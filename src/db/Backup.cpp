#include "db/Backup.h"

#include "db/Connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

DbStatus BackUpCatalogue(const QString& target) {
    const QString path = QFileInfo(target).absoluteFilePath();
    if (QFileInfo::exists(path))
        return DbError{
            0,
            QStringLiteral("%1 exists already; it is not overwritten").arg(QDir::toNativeSeparators(path))};
    // The engine writes the copy from one read transaction, so it is a catalogue as of one moment.
    DbStatus copied = gConn.execute(QStringLiteral("VACUUM INTO ?"), {path});
    if (!copied)
        QFile::remove(path);
    return copied;
}
