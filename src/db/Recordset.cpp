#include "db/Recordset.h"

#include "db/RecordHelpers.h"

#include <QSqlQuery>
#include <QSqlRecord>

DbResult<Recordset> Recordset::open(Connection& connection, const QString& sql, const QVariantList& params) {
    auto ran = connection.run(sql, params);
    if (!ran)
        return ran.error();
    QSqlQuery& query = **ran;
    Recordset result;
    const QSqlRecord record = query.record();
    const int columnCount = record.count();
    for (int i = 0; i < columnCount; ++i)
        result.m_columns.append(record.fieldName(i));
    while (query.next()) {
        QVariantList row;
        row.reserve(columnCount);
        for (int i = 0; i < columnCount; ++i)
            row.append(query.value(i));
        result.m_rows.push_back(std::move(row));
    }
    query.finish();
    return result;
}

QVariant Recordset::field(int column) const {
    if (eof() || column < 0 || column >= m_columns.size())
        return {};
    return m_rows[m_position][column];
}

QVariant Recordset::field(const QString& column) const {
    return field(columnIndex(column));
}

QString Recordset::text(const QString& column) const {
    return NullToEmpty(field(column));
}

QString Recordset::text(int column) const {
    return NullToEmpty(field(column));
}

DbResult<qint64> QueryNumber(const QString& sql, const QVariantList& params) {
    auto rows = Recordset::open(sql, params);
    if (!rows)
        return rows.error();
    return rows->eof() ? qint64(0) : rows->field(0).toLongLong();
}
