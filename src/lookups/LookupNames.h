#pragma once

#include "db/DbResult.h"

#include <QStringList>

struct LookupMember;

// Reading and changing the names of one lookup table. Names are used exactly as typed: no
// trimming, and an empty name is a name like any other. Comparisons ignore letter case, as
// the catalogue's own text comparison does.

// Every name of the table in name order; a null name reads as empty text.
DbResult<QStringList> LookupNames(const QString& table);
// How many rows of the table carry the name.
DbResult<qint64> CountLookupName(const LookupMember& member, const QString& name);
DbStatus InsertLookupName(const LookupMember& member, const QString& name);
// Gives every row named oldName the new name; the books follow, since they hold identifiers.
DbStatus RenameLookupName(const LookupMember& member, const QString& oldName, const QString& newName);

// What a delete did: the number of books (award links, for awards) that still use the row,
// and whether the row is gone. A row in use is never deleted.
struct LookupDeletion {
    qint64 usage = 0;
    bool deleted = false;
};

// Deletes the first row of that name unless a book uses it. Only the row whose books were
// counted goes: another row of the same name stays, so no book is left pointing at nothing.
DbResult<LookupDeletion> DeleteLookupName(const LookupMember& member, const QString& name);
