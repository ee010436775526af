#include "reports/RowCursor.h"

#include "db/Connection.h"
#include "db/RecordHelpers.h"

#include <QSqlQuery>
#include <QSqlRecord>

DbResult<RowCursor> RowCursor::open(const QString& sql, const QVariantList& params) {
    DbResult<QSqlQuery*> ran = gConn.run(sql, params);
    if (!ran)
        return ran.error();
    return RowCursor(*ran);
}

RowCursor::RowCursor(QSqlQuery* query)
    : m_query(query) {
    step();
}

void RowCursor::moveNext() {
    if (m_onRow)
        step();
}

void RowCursor::step() {
    m_onRow = m_query->next();
    // Past the last row the statement lets go of the catalogue at once.
    if (!m_onRow)
        m_query->finish();
}

QString RowCursor::text(const QString& column) const {
    if (!m_onRow)
        return QString();
    auto found = m_columns.constFind(column);
    if (found == m_columns.cend())
        found = m_columns.insert(column, m_query->record().indexOf(column));
    return found.value() < 0 ? QString() : NullToEmpty(m_query->value(found.value()));
}
