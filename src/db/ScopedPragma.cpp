#include "db/ScopedPragma.h"

#include "db/Connection.h"
#include "db/Recordset.h"

ScopedPragma::ScopedPragma(const QString& name, qint64 value)
    : m_name(name) {
    const auto current = QueryNumber(u"PRAGMA " + name);
    if (current && gConn.execute(u"PRAGMA " + name + u" = " + QString::number(value)))
        m_previous = *current;
}

ScopedPragma::~ScopedPragma() {
    if (m_previous)
        static_cast<void>(gConn.execute(u"PRAGMA " + m_name + u" = " + QString::number(*m_previous)));
}
