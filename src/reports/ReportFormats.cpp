#include "reports/ReportFormats.h"

#include "db/RecordHelpers.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {

QChar localeDateSeparator() {
    const QString pattern = QLocale().dateFormat(QLocale::ShortFormat);
    for (const QChar c : pattern) {
        if (!c.isLetter() && !c.isSpace() && c != u'\'')
            return c;
    }
    return u'/';
}

// A stored number's value; the common plain form ("12", "-3.5") is read without a pattern.
double numberOf(const QString& fieldText) {
    const bool plain = !fieldText.isEmpty() && std::all_of(fieldText.cbegin(), fieldText.cend(), [](QChar c) {
        return c.isDigit() || c == u'.' || c == u'-';
    });
    bool ok = false;
    const double value = plain ? fieldText.toDouble(&ok) : 0.0;
    return ok ? value : LeadingNumber(fieldText);
}

QLocale wholeNumbers() {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

QString FormatReportDate(const QDate& date) {
    const QChar separator = localeDateSeparator();
    return date.toString(QStringLiteral("MM")) + separator + date.toString(QStringLiteral("dd")) + separator +
           date.toString(QStringLiteral("yyyy"));
}

QString FormatDateField(const QString& storedDate) {
    if (storedDate.isEmpty())
        return QString();
    const QDate date = DateFromStored(storedDate);
    return IsNoDate(date) ? QString() : FormatReportDate(date);
}

QString FormatWhole(const QString& fieldText) {
    return wholeNumbers().toString(std::round(numberOf(fieldText)) + 0.0, 'f', 0);
}

QString FormatOneDecimal(const QString& fieldText) {
    return wholeNumbers().toString(numberOf(fieldText), 'f', 1);
}

QString FormatCount(qint64 count) {
    return QLocale().toString(count);
}

QString FormatCurrency(Money amount) {
    constexpr qint64 unitsPerCent = Money::kUnitsPerWhole / 100;
    const qint64 units = amount.units();
    qint64 cents = units / unitsPerCent;
    const qint64 remainder = units % unitsPerCent;
    if (remainder * 2 >= unitsPerCent)
        ++cents;
    else if (remainder * 2 <= -unitsPerCent)
        --cents;
    return QLocale().toCurrencyString(static_cast<double>(cents) / 100.0, QString(), 2);
}

Money MoneyOfField(const QString& fieldText) {
    return Money::fromDouble(numberOf(fieldText));
}
