#pragma once

#include "db/Connection.h"
#include "db/DbResult.h"

#include <QStringList>
#include <QVariant>
#include <vector>

// A query's rows, all read when it runs, so the count is known before the first row is used.
// Read forward: eof(), the fields of the current row, moveNext().
class Recordset {
public:
    static DbResult<Recordset> open(Connection& connection, const QString& sql,
                                    const QVariantList& params = {});
    static DbResult<Recordset> open(const QString& sql, const QVariantList& params = {}) {
        return open(gConn, sql, params);
    }

    int recordCount() const { return static_cast<int>(m_rows.size()); }
    bool eof() const { return m_position >= m_rows.size(); }
    void moveNext() {
        if (!eof())
            ++m_position;
    }

    QVariant field(int column) const;
    QVariant field(const QString& column) const;
    bool isNull(const QString& column) const { return field(column).isNull(); }
    // The field as text, empty for a null value.
    QString text(const QString& column) const;
    QString text(int column) const;
    int columnIndex(const QString& column) const { return static_cast<int>(m_columns.indexOf(column)); }
    const QStringList& columns() const { return m_columns; }

private:
    QStringList m_columns;
    std::vector<QVariantList> m_rows;
    size_t m_position = 0;
};

// The single number of a COUNT(*) or MAX query; 0 for a null.
DbResult<qint64> QueryNumber(const QString& sql, const QVariantList& params = {});
