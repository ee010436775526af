#pragma once

#include "db/DbResult.h"

#include <QHash>
#include <QString>
#include <QVariantList>

class QSqlQuery;

// A report's rows read one at a time as it writes them, so that writing a report of any size
// holds one row in memory, not the whole catalogue.
class RowCursor {
public:
    static DbResult<RowCursor> open(const QString& sql, const QVariantList& params = {});

    bool eof() const { return !m_onRow; }
    void moveNext();
    // The field of the current row as text, empty for a null or a missing column.
    QString text(const QString& column) const;

private:
    explicit RowCursor(QSqlQuery* query);
    void step();

    QSqlQuery* m_query = nullptr;
    bool m_onRow = false;
    mutable QHash<QString, int> m_columns;
};
