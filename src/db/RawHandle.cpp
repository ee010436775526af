#include "db/RawHandle.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

sqlite3* SqliteHandleOf(const QSqlDatabase& database) {
    if (!database.isValid() || !database.driver())
        return nullptr;
    const QVariant handle = database.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}
