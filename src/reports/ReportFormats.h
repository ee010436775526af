#pragma once

#include "db/Money.h"

#include <QDate>
#include <QString>

// How reports show values; each follows the user's locale.

// A date as "mm/dd/yyyy", the locale's date separator standing for "/".
QString FormatReportDate(const QDate& date);
// A catalogue date field as reports show it: empty for a null or pre-1900 (empty) date.
QString FormatDateField(const QString& storedDate);
// Whole numbers ("###0"): pages, copyright year.
QString FormatWhole(const QString& fieldText);
// One decimal ("0.0"): stars.
QString FormatOneDecimal(const QString& fieldText);
// Counts with thousands separators ("###,##0").
QString FormatCount(qint64 count);
// An amount in the locale's money format, rounded to whole cents half away from zero.
QString FormatCurrency(Money amount);
// The field's text read as money: its leading decimal number, 0 when it has none.
Money MoneyOfField(const QString& fieldText);
