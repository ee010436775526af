#include "app/RecentCatalogues.h"

#include "app/Settings.h"

#include <QFileInfo>

namespace {

const QString kKey = QStringLiteral("RecentCatalogues");
// Settings values are text: one path a line, as no file name holds a line break.
constexpr QChar kSeparator = u'\n';

void store(const QStringList& files) {
    SaveSetting(kKey, files.join(kSeparator));
}

} // namespace

QStringList RecentCatalogues() {
    return GetSetting(kKey).split(kSeparator, Qt::SkipEmptyParts);
}

void RememberRecentCatalogue(const QString& file) {
    const QString path = QFileInfo(file).absoluteFilePath();
    QStringList files = RecentCatalogues();
    files.removeAll(path);
    files.prepend(path);
    store(files.mid(0, kRecentCataloguesKept));
}

void ForgetRecentCatalogue(const QString& file) {
    QStringList files = RecentCatalogues();
    files.removeAll(file);
    store(files);
}
