#pragma once

class QSqlDatabase;
struct sqlite3;

// The engine's own handle behind an open connection, for registering the program's functions
// on it, or for the online backup; null when the connection is not an open SQLite one.
sqlite3* SqliteHandle(const QSqlDatabase& database);
