#pragma once

#include "db/Money.h"

#include <QDate>
#include <QLocale>
#include <QString>

// How the book editor shows numbers, dates and money, and how it reads them back. Each pair
// reads its own text back to the same value in every locale, so showing a book and saving it
// unchanged never alters it.

// Stars with one decimal in the locale's notation ("3.5", "4.0", in German "3,5"); more
// decimals only when the value has them.
QString StarsText(double stars, const QLocale& locale = QLocale());
// The leading number of the text; the locale's decimal separator counts as a point too.
double ReadStars(const QString& text, const QLocale& locale = QLocale());

// Pages and copyright year: the number, empty for 0.
QString WholeNumberText(int value);

// "mm/dd/yyyy", empty for no date. Read back with SafeDate, month first.
QString DateText(const QDate& date);

// The locale's money format ("$1,234.50", "1.234,50 €") with two decimals, more when the amount
// has them.
QString CostText(Money cost, const QLocale& locale = QLocale());
// The amount in a typed or shown money text: only its digits, its decimal separator and its
// sign count. The decimal separator is the locale's one when the text holds it, otherwise
// "."; where "." groups thousands ("1.234"), a "." before exactly three digits groups them.
// A minus sign or a parenthesis anywhere makes the amount negative.
Money ReadCost(const QString& text, const QLocale& locale = QLocale());
