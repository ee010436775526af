#pragma once

#include <QString>

// Which books the main list shows: all of them (0) or those one search finds, with the
// pattern each search kind last handed over. Set by the search windows, read by the list.
enum SearchMode : int {
    kSearchAll = 0,
    kSearchTitle = 1,
    kSearchLabel = 3,
    kSearchAward = 4,
    kSearchPublisher = 5,
    kSearchAuthor = 6,
    kSearchSubject = 7,
    kSearchLocation = 8,
    kSearchNotes = 9,
};

extern int gSearchMode;
extern QString gSearchTitle;
extern QString gSearchLabel;
extern QString gSearchAward;
extern QString gSearchPublisher;
extern QString gSearchAuthor;
extern QString gSearchAuthorIds;
extern QString gSearchSubject;
extern QString gSearchLocation;
extern QString gSearchNotes;

// Back to the state of a fresh start: all books, every pattern empty.
void ResetSearchState();
