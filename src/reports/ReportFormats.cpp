#include "reports/ReportFormats.h"

#include "db/RecordHelpers.h"

#include <QLocale>
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
    return wholeNumbers().toString(std::round(LeadingNumber(fieldText)) + 0.0, 'f', 0);
}

QString FormatOneDecimal(const QString& fieldText) {
    return wholeNumbers().toString(LeadingNumber(fieldText), 'f', 1);
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
    return Money::fromDouble(LeadingNumber(fieldText));
}
