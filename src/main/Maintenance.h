#pragma once

#include "db/DbResult.h"

#include <QString>
#include <functional>

// True when `table` has a row numbered `id`. Otherwise `id` becomes the number of the table's
// "(unknown)" row, added when missing, and the answer is false.
DbResult<bool> CheckLookupRef(int& id, const QString& table, const QString& idColumn);

// Points every book whose subject, format, rating or location row is missing at the table's
// "(unknown)" row. `step` runs after each book and answers false to stop; the repairs made so
// far stay. Answers how many references were repaired.
DbResult<int> RepairBookReferences(const std::function<bool()>& step);

// Tools, Repair data: asks, repairs with the progress window (whose Cancel stops it) and says
// how many problems it repaired; reloads the list through populateList when it repaired any.
void CheckAndRepair(const std::function<void()>& populateList);

// Removes every author that no book refers to; answers how many were removed.
DbResult<qint64> DeleteAuthorsNotInUse();
// Setup, Delete Unused authors: asks, deletes and says how many.
void DeleteUnusedAuthors();

// Closes the catalogue, deletes it with its side files and creates it afresh under the same name;
// answers the first step that failed, after which the catalogue may be closed.
DbStatus RecreateCatalogue();
