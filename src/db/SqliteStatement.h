#pragma once

#include "db/DbResult.h"

#include <QByteArray>
#include <QString>
#include <QVariantList>
#include <memory>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// One statement on the open catalogue, run through the engine directly: for reads of up to a
// million rows, where going through a value wrapper per field would cost more than the read.
// Values are bound as parameters, as everywhere else.
class SqliteStatement {
public:
    SqliteStatement() = default;
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Prepares `sql` on the open catalogue and binds `params` (text, whole numbers, real numbers,
    // byte arrays, null).
    static DbResult<std::unique_ptr<SqliteStatement>> prepare(const QString& sql,
                                                              const QVariantList& params = {});
    // Binds new values and starts the statement from its first row again.
    DbStatus rebind(const QVariantList& params);
    // Moves to the next row: true while there is one. A failure ends the rows; error() tells.
    bool next();
    const DbStatus& status() const { return m_status; }
    // The number the engine gave the row an INSERT just added.
    qint64 insertedId() const;

    bool isNull(int column) const;
    int integer(int column) const;
    qint64 integer64(int column) const;
    double real(int column) const;
    QString text(int column) const;
    // The bytes of a byte-array column, or of a text column as UTF-8; valid until the next step.
    std::string_view bytes(int column) const;
    std::string_view utf8(int column) const;

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    DbStatus m_status;
};
