#include "db/DbResult.h"

#include <QSqlError>

QString DbError::messageText() const {
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
