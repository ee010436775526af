#pragma once

#include "db/DbResult.h"

#include <QString>
#include <vector>

struct LookupMember;

// Reading and changing the names of one lookup table. Names are used exactly as typed: no
// trimming, and an empty name is a name like any other. Comparisons ignore letter case, as
// the catalogue's own text comparison does.

// One row of a lookup table. Two rows may share a name: the window works on the row by its id.
struct LookupRow {
    qint64 id = 0;
    QString name;
};

// Every row of the table in name order; a null name reads as empty text.
DbResult<std::vector<LookupRow>> LookupRows(const LookupMember& member);
// How many rows of the table carry the name.
DbResult<qint64> CountLookupName(const LookupMember& member, const QString& name);
DbStatus InsertLookupName(const LookupMember& member, const QString& name);
// Gives the row its new name; the books follow, since they hold identifiers.
DbStatus RenameLookupRow(const LookupMember& member, qint64 id, const QString& newName);

// What a delete did: the number of books (award links, for awards) that still use the row,
// and whether the row is gone. A row in use is never deleted.
struct LookupDeletion {
    qint64 usage = 0;
    bool deleted = false;
};

// Deletes the row unless a book uses it; another row of the same name stays.
DbResult<LookupDeletion> DeleteLookupRow(const LookupMember& member, qint64 id);
