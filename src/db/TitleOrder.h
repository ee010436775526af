#pragma once

#include "db/DbResult.h"

#include <QByteArray>
#include <QStringView>

// The book list walks the catalogue in the user's alphabetical order of titles, a million books
// in a blink, through an index. Beside each title the catalogue keeps its sort key
// ([Book].[TitleOrder], a byte string that compares as the titles do) in a plain indexed column,
// and the columns the list sorts by are indexed too. The key follows one locale's order, named in
// [TitleOrderLocale]; a title written without its key (by another tool, or by a bulk import) or
// keyed in another order is keyed again before the list is read.

// The sort key of a title in the user's order.
QByteArray TitleOrderKey(QStringView title);

// Adds the key column, its index and the indexes of the other sorted columns, the trigger that
// drops a key when its title changes, and the table naming the order. Safe to run again.
DbStatus AddTitleOrder();

// True when every book's key is there and follows the user's order: the list may walk the index.
DbResult<bool> TitleOrderCurrent();
// Keys every book whose key is missing, and every book when the keys follow another order.
// A catalogue that may only be read is left as it is.
DbStatus RepairTitleOrder();
