#include "db/SqliteStatement.h"

#include "db/Connection.h"
#include "db/SqliteHandle.h"

#include <sqlite3.h>

namespace {

DbError engineError(sqlite3* db) {
    return DbError{db ? sqlite3_extended_errcode(db) : 1,
                   db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("The catalogue is not open")};
}

int bindOne(sqlite3_stmt* statement, int position, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return sqlite3_bind_null(statement, position);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Bool:
        return sqlite3_bind_int64(statement, position, value.toLongLong());
    case QMetaType::Double:
        return sqlite3_bind_double(statement, position, value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        // The engine binds a blob without data as null; an empty key must stay an empty key.
        if (bytes.isEmpty())
            return sqlite3_bind_zeroblob(statement, position, 0);
        return sqlite3_bind_blob(statement, position, bytes.constData(), static_cast<int>(bytes.size()),
                                 SQLITE_TRANSIENT);
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        return sqlite3_bind_text(statement, position, text.constData(), static_cast<int>(text.size()),
                                 SQLITE_TRANSIENT);
    }
    }
}

} // namespace

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_statement);
}

DbResult<std::unique_ptr<SqliteStatement>> SqliteStatement::prepare(const QString& sql,
                                                                    const QVariantList& params) {
    auto statement = std::make_unique<SqliteStatement>();
    statement->m_db = SqliteHandle(gConn.database());
    if (!statement->m_db)
        return engineError(nullptr);
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(statement->m_db, text.constData(), static_cast<int>(text.size()),
                           &statement->m_statement, nullptr) != SQLITE_OK)
        return engineError(statement->m_db);
    if (DbStatus bound = statement->rebind(params); !bound)
        return bound.error();
    return statement;
}

DbStatus SqliteStatement::rebind(const QVariantList& params) {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    m_status = {};
    for (int i = 0; i < params.size(); ++i) {
        if (bindOne(m_statement, i + 1, params.at(i)) != SQLITE_OK)
            return m_status = engineError(m_db);
    }
    return {};
}

bool SqliteStatement::next() {
    if (!m_status)
        return false;
    const int stepped = sqlite3_step(m_statement);
    if (stepped == SQLITE_ROW)
        return true;
    if (stepped != SQLITE_DONE)
        m_status = engineError(m_db);
    return false;
}

qint64 SqliteStatement::insertedId() const {
    return sqlite3_last_insert_rowid(m_db);
}

bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

int SqliteStatement::integer(int column) const {
    return sqlite3_column_int(m_statement, column);
}

qint64 SqliteStatement::integer64(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

double SqliteStatement::real(int column) const {
    return sqlite3_column_double(m_statement, column);
}

QString SqliteStatement::text(int column) const {
    const auto* units = static_cast<const char16_t*>(sqlite3_column_text16(m_statement, column));
    const int bytes = sqlite3_column_bytes16(m_statement, column);
    return units ? QString(reinterpret_cast<const QChar*>(units), bytes / 2) : QString();
}

std::string_view SqliteStatement::bytes(int column) const {
    const void* data = sqlite3_column_blob(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    return data ? std::string_view(static_cast<const char*>(data), static_cast<size_t>(size))
                : std::string_view();
}

std::string_view SqliteStatement::utf8(int column) const {
    const unsigned char* data = sqlite3_column_text(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    return data ? std::string_view(reinterpret_cast<const char*>(data), static_cast<size_t>(size))
                : std::string_view();
}
