#include "db/Money.h"

#include <cmath>
#include <limits>

Money Money::fromDouble(double amount) {
    if (!std::isfinite(amount))
        return {};
    const double scaled = std::round(amount * kUnitsPerWhole);
    constexpr double limit = 9.2e18;
    if (scaled >= limit)
        return Money(std::numeric_limits<qint64>::max());
    if (scaled <= -limit)
        return Money(std::numeric_limits<qint64>::min());
    return Money(static_cast<qint64>(scaled));
}

QString Money::toPlainText() const {
    const bool negative = m_units < 0;
    const quint64 magnitude = negative ? 0 - static_cast<quint64>(m_units) : static_cast<quint64>(m_units);
    const quint64 whole = magnitude / kUnitsPerWhole;
    QString fraction = QString::number(magnitude % kUnitsPerWhole).rightJustified(4, u'0');
    while (fraction.size() > 2 && fraction.endsWith(u'0'))
        fraction.chop(1);
    return (negative ? QStringLiteral("-") : QString()) + QString::number(whole) + u'.' + fraction;
}
