#include "app/FileCopy.h"

#include <QFile>
#include <QSaveFile>

namespace {

constexpr qint64 kCopyBlock = 256 * 1024;

} // namespace

bool CopyFileWhole(const QString& source, const QString& target) {
    QFile from(source);
    QSaveFile to(target);
    if (!from.open(QIODevice::ReadOnly) || !to.open(QIODevice::WriteOnly))
        return false;
    while (!from.atEnd()) {
        const QByteArray block = from.read(kCopyBlock);
        if (block.isEmpty() || to.write(block) != block.size())
            return false;
    }
    return to.commit();
}
