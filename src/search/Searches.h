#pragma once

#include <functional>

class QWidget;

// The eight searches that narrow the main window's book list to one field.
enum class SearchKind { Title, Author, Subject, Label, Location, Award, Publisher, Notes };

// Opens the search window of that kind (frmSearchTitle, ...) modally. When at least one book
// matches, it sets the search mode and pattern(s) and calls populateList, which reloads the
// book list; otherwise it says so and stays open for another try.
void ShowSearch(SearchKind kind, QWidget* parent, const std::function<void()>& populateList);
