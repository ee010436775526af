#pragma once

#include <QString>

// Runs statements on a catalogue file with the plain sqlite3 tool, another program that knows
// none of this program's functions; answers what it printed, or "failed: " and its errors.
QString SqliteTool(const QString& path, const QString& sql);
