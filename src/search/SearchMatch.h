#pragma once

#include "db/DbResult.h"
#include "search/Searches.h"

#include <QString>

// Whether a search finds any book, tested before the book list is reloaded for it.
struct SearchMatch {
    bool found = false;
    // Author searches: the matching authors' identifiers in decimal, joined by "," without
    // blanks, as the book list reads them.
    QString authorIds;
};

// Tests the typed text, in which * stands for any run of characters and ? for any one; % and
// _ act as wildcards too. Without a wildcard a whole field value must match. Letter case is
// ignored.
DbResult<SearchMatch> FindSearchMatch(SearchKind kind, const QString& text);

// A notes search finds its text anywhere: the trimmed text with a "*" added at either end
// that lacks one.
QString WrapInAsterisks(const QString& text);
