#include "online/Isbn.h"

namespace {

int digitValue(QChar c) {
    return c.unicode() - u'0';
}

bool allDigits(const QString& text) {
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

QChar isbn13CheckDigit(QStringView twelve) {
    int sum = 0;
    for (qsizetype i = 0; i < 12; ++i)
        sum += digitValue(twelve[i]) * (i % 2 == 0 ? 1 : 3);
    return QChar(u'0' + (10 - sum % 10) % 10);
}

bool isbn10CheckDigitRight(const QString& ten) {
    int sum = 0;
    for (qsizetype i = 0; i < 10; ++i) {
        const int value = (i == 9 && ten[i] == u'X') ? 10 : digitValue(ten[i]);
        sum += value * (10 - static_cast<int>(i));
    }
    return sum % 11 == 0;
}

} // namespace

bool IsIsbn13(const QString& digits) {
    return digits.size() == 13 && allDigits(digits) && isbn13CheckDigit(digits) == digits[12];
}

QString NormaliseIsbn(const QString& typed) {
    QString kept;
    for (const QChar c : typed) {
        if (c == u'-' || c.isSpace())
            continue;
        kept += c.toUpper();
    }
    if (IsIsbn13(kept))
        return kept;
    if (kept.size() == 10 && allDigits(kept.left(9)) && (kept[9] == u'X' || kept[9].isDigit()) &&
        isbn10CheckDigitRight(kept)) {
        const QString twelve = u"978" + kept.left(9);
        return twelve + isbn13CheckDigit(twelve);
    }
    return {};
}
