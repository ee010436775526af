#pragma once

struct sqlite3;
class QSqlDatabase;

// The engine's own handle behind an open connection, for what Qt SQL does not offer (functions
// on the connection, online backup); null when the connection is not an open SQLite one.
sqlite3* SqliteHandleOf(const QSqlDatabase& database);
