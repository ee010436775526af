#pragma once

#include "db/DbResult.h"

#include <QString>

// The name of the open catalogue: upper case, only A-Z and 0-9, never empty.
extern QString gDBName;
// The file of a catalogue opened where it lies (from the command line, Open Catalogue File or
// Recent Catalogues); empty while the catalogue in use is the data folder's file of gDBName.
// gDBName and "DBName" keep naming that data folder catalogue meanwhile, so the next plain
// start and File, Open work on names exactly as before.
extern QString gCatalogueFile;

inline constexpr int kMaxCatalogueNameLength = 200;

QString KeepAlphaNumeric(const QString& text);
// A typed or stored catalogue name made safe: trimmed, upper case, A-Z and 0-9 only, at most
// kMaxCatalogueNameLength characters so that its file name stays valid; "BIBLIO" when nothing is left.
QString CleanCatalogueName(const QString& text);
// Reads the "DBName" setting into gDBName.
void ReadDBName();

// The file of the catalogue in use: gCatalogueFile, or else the data folder's file of gDBName.
QString CatalogueFile();
// What the caption and messages call the catalogue in use: gDBName, or its file's base name.
QString CatalogueDisplayName();
// The name of the catalogue whose own file in the data folder `file` is; empty for any other file.
// Such a file is that named catalogue however it was reached.
QString NamedCatalogueOf(const QString& file);
// Makes `file` the catalogue in use: the named catalogue when it is one (gDBName and "DBName"
// follow), otherwise the file where it lies. Opens nothing.
void UseCatalogueFile(const QString& file);

// Opens gConn on CatalogueFile(), creating the catalogue first when it has no file.
// A file that is there but is not a catalogue is refused and left exactly as it is.
DbStatus OpenDatabase();
// Opens gConn on an existing catalogue file named by its path, wherever it lies; a file that is
// not a catalogue is refused and left exactly as it is.
DbStatus OpenCatalogueFile(const QString& path);
// Builds CatalogueFile() with its tables, standard lists and sample book.
// The file appears only when complete: it is built under another name and moved into place.
DbStatus CreateDatabase();
// Brings the open catalogue's schema up to date with this program's additions; run after every open.
DbStatus UpdateDatabase();
// How many of SchemaSteps() the open catalogue has had (SQLite's user_version).
DbResult<int> SchemaStepsDone();
// How many of SchemaSteps() the open catalogue still lacks: a read-only one is not brought up to date.
DbResult<int> SchemaStepsMissing();
DbResult<bool> ColumnExists(const QString& table, const QString& column);
// Removes CatalogueFile() and its side files; gConn must be closed.
DbStatus DeleteCatalogueFiles();
