#pragma once

#include <QString>

// The 13 digits of a typed or scanned ISBN-10 or ISBN-13 (hyphens and blanks allowed, an ISBN-10
// may end in X), or an empty text when it is not an ISBN or its check digit is wrong.
QString NormaliseIsbn(const QString& typed);
// Whether the text is 13 digits whose last is the right check digit.
bool IsIsbn13(const QString& digits);
