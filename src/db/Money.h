#pragma once

#include <QString>
#include <QtGlobal>

// An amount of money held exactly, in ten-thousandths, so that adding many costs never drifts.
class Money {
public:
    static constexpr qint64 kUnitsPerWhole = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(qint64 units) { return Money(units); }
    // Rounds to the nearest ten-thousandth; values outside the range of a 64-bit amount clamp.
    static Money fromDouble(double amount);

    constexpr qint64 units() const { return m_units; }
    double toDouble() const { return static_cast<double>(m_units) / kUnitsPerWhole; }
    // Plain text with "." and as many decimals as needed, at least two: "19.95", "0.00", "3.1415".
    QString toPlainText() const;

    Money& operator+=(Money other) {
        m_units += other.m_units;
        return *this;
    }
    friend Money operator+(Money a, Money b) { return a += b; }
    friend constexpr bool operator==(Money a, Money b) = default;

private:
    constexpr explicit Money(qint64 units)
        : m_units(units) {}
    qint64 m_units = 0;
};
