#include "app/Settings.h"

#include "app/Paths.h"
#include "db/RecordHelpers.h"

#include <QSettings>
#include <memory>

namespace {

std::unique_ptr<QSettings> openStore() {
    const QString portable = PortableSettingsFile();
    auto store = portable.isEmpty()
                     ? std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                   QStringLiteral("Tomekeep"), QStringLiteral("BIBLIO"))
                     : std::make_unique<QSettings>(portable, QSettings::IniFormat);
    store->beginGroup(QStringLiteral("Settings"));
    return store;
}

} // namespace

QString GetSetting(const QString& key, const QString& defaultValue) {
    const auto store = openStore();
    if (store->status() != QSettings::NoError)
        return defaultValue;
    const QVariant value = store->value(key);
    if (!value.isValid())
        return defaultValue;
    // A hand-edited file may hold a list ("a, b"); the program only ever stores plain text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void SaveSetting(const QString& key, const QString& value) {
    const auto store = openStore();
    store->setValue(key, value);
}

int GetNumericSetting(const QString& key, int defaultValue) {
    return LeadingInteger(GetSetting(key, QString::number(defaultValue)));
}
