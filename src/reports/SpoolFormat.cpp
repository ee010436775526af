#include "reports/SpoolFormat.h"

#include <QLocale>

namespace spool {

QString FormatDecimal(double value) {
    QString text = QLocale::c().toString(value, 'f', QLocale::FloatingPointShortest);
    if (text == QLatin1StringView("-0"))
        text = QStringLiteral("0");
    return text;
}

double ParseDecimal(const QString& text, bool* ok) {
    return QLocale::c().toDouble(text.trimmed(), ok);
}

} // namespace spool
