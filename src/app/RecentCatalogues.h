#pragma once

#include <QStringList>

// How many catalogue files File, Recent Catalogues offers.
inline constexpr int kRecentCataloguesKept = 8;

// The catalogue files opened last, newest first, from the "RecentCatalogues" setting.
QStringList RecentCatalogues();
// Puts a catalogue file first in the list (once), dropping the oldest beyond the limit.
void RememberRecentCatalogue(const QString& file);
void ForgetRecentCatalogue(const QString& file);
