#pragma once

#include <QString>

// The program's remembered choices: text values under the application "BIBLIO" and the
// section "Settings". A key never written reads as the caller's default.
QString GetSetting(const QString& key, const QString& defaultValue = QString());
void SaveSetting(const QString& key, const QString& value);
// A numeric setting: the leading decimal number of its text, 0 when it has none.
int GetNumericSetting(const QString& key, int defaultValue);
