#pragma once

#include "db/DbResult.h"

#include <QString>

// The name of the open catalogue: upper case, only A-Z and 0-9, never empty.
extern QString gDBName;

inline constexpr int kMaxCatalogueNameLength = 200;

QString KeepAlphaNumeric(const QString& text);
// A typed or stored catalogue name made safe: trimmed, upper case, A-Z and 0-9 only, at most
// kMaxCatalogueNameLength characters so that its file name stays valid; "BIBLIO" when nothing is left.
QString CleanCatalogueName(const QString& text);
// Reads the "DBName" setting into gDBName.
void ReadDBName();

// Opens gConn on the catalogue gDBName names, creating the catalogue first when it has no file.
// A file that is there but is not a catalogue is refused and left exactly as it is.
DbStatus OpenDatabase();
// Opens gConn on an existing catalogue file named by its path, wherever it lies; a file that is
// not a catalogue is refused and left exactly as it is.
DbStatus OpenCatalogueFile(const QString& path);
// Builds the catalogue file of gDBName with its tables, standard lists and sample book.
// The file appears only when complete: it is built under another name and moved into place.
DbStatus CreateDatabase();
// Brings the open catalogue's schema up to date with this program's additions; run after every open.
DbStatus UpdateDatabase();
// How many of SchemaSteps() the open catalogue has had (SQLite's user_version).
DbResult<int> SchemaStepsDone();
// How many of SchemaSteps() the open catalogue still lacks: a read-only one is not brought up to date.
DbResult<int> SchemaStepsMissing();
DbResult<bool> ColumnExists(const QString& table, const QString& column);
// Removes the catalogue file of gDBName and its side files; gConn must be closed.
DbStatus DeleteCatalogueFiles();
