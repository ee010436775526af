#include "main/BookText.h"

#include "db/RecordHelpers.h"

#include <QRegularExpression>
#include <cmath>

namespace {

constexpr int kMostStarDecimals = 6;

// The fewest decimals, from `least` on, that show the value exactly.
int decimalsNeeded(double value, int least, int most) {
    for (int decimals = least; decimals < most; ++decimals) {
        if (QString::number(value, 'f', decimals).toDouble() == value)
            return decimals;
    }
    return most;
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// "1.234" or "1.234.567": every "." stands before exactly three digits.
bool dotsGroupThousands(const QString& text) {
    static const QRegularExpression groupedDot(QStringLiteral(R"(\.\d{3}(?!\d))"));
    return text.count(u'.') == text.count(groupedDot);
}

QChar decimalSeparatorIn(const QString& text, const QLocale& locale) {
    const QString point = locale.decimalPoint();
    if (point.size() == 1 && text.contains(point))
        return point.front();
    if (text.contains(u'.') && !(locale.groupSeparator() == QStringLiteral(".") && dotsGroupThousands(text)))
        return u'.';
    return {};
}

} // namespace

QString StarsText(double stars, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(stars, 'f', decimalsNeeded(stars, 1, kMostStarDecimals));
}

double ReadStars(const QString& text, const QLocale& locale) {
    QString plain = text;
    const QString point = locale.decimalPoint();
    if (point != QStringLiteral("."))
        plain.replace(point, QStringLiteral("."));
    return LeadingNumber(plain);
}

QString WholeNumberText(int value) {
    return value == 0 ? QString() : QString::number(value);
}

QString DateText(const QDate& date) {
    return IsNoDate(date) ? QString() : date.toString(QStringLiteral("MM/dd/yyyy"));
}

QString CostText(Money cost, const QLocale& locale) {
    const qint64 units = cost.units();
    const int decimals = units % 100 == 0 ? 2 : units % 10 == 0 ? 3 : 4;
    return locale.toCurrencyString(cost.toDouble(), QString(), decimals);
}

Money ReadCost(const QString& text, const QLocale& locale) {
    const QChar decimal = decimalSeparatorIn(text, locale);
    const qsizetype decimalAt = decimal.isNull() ? -1 : text.lastIndexOf(decimal);
    QString number;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isAsciiDigit(text[i]))
            number.append(text[i]);
        else if (i == decimalAt)
            number.append(u'.');
    }
    bool ok = false;
    const double amount = number.toDouble(&ok);
    if (!ok)
        return {};
    const bool negative = text.contains(u'-') || text.contains(u'(') || text.contains(QChar(0x2212));
    return Money::fromDouble(negative ? -amount : amount);
}
