#include "db/DbResult.h"

#include <QSqlError>

namespace {

// SQLite's answers when another connection holds the lock past the busy timeout.
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;

} // namespace

bool DbError::isLocked() const {
    return number == kSqliteBusy || number == kSqliteLocked;
}

QString DbError::messageText() const {
    if (isLocked())
        return QStringLiteral("The catalogue is in use by another program.");
    return QStringLiteral("Error %1 (%2)").arg(number).arg(description);
}

DbError DbError::fromSqlError(const QSqlError& error) {
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric);
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.driverText();
    if (text.isEmpty())
        text = error.text();
    return DbError{numeric ? code : 1, text.trimmed()};
}
