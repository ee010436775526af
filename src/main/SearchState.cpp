#include "main/SearchState.h"

int gSearchMode = kSearchAll;
QString gSearchTitle;
QString gSearchLabel;
QString gSearchAward;
QString gSearchPublisher;
QString gSearchAuthor;
QString gSearchAuthorIds;
QString gSearchSubject;
QString gSearchLocation;
QString gSearchNotes;

void ResetSearchState() {
    gSearchMode = kSearchAll;
    for (QString* pattern : {&gSearchTitle, &gSearchLabel, &gSearchAward, &gSearchPublisher, &gSearchAuthor,
                             &gSearchAuthorIds, &gSearchSubject, &gSearchLocation, &gSearchNotes})
        pattern->clear();
}
