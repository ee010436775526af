#pragma once

#include <QStringView>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The quick filter above the book list compares folded texts: letter case and accents dropped
// ("Émile" and "EMILE" both read "emile"), kept as UTF-8 so that a long list stays small.
std::string FoldForFilter(QStringView text);

// What the filter searches in one book: the given fields (title, author, subject, publisher,
// label number, notes), folded, each kept apart so that no word reaches across two of them.
std::string BookFilterKey(std::initializer_list<QStringView> fields);
// Adds one more field to a key being built: as text, or already folded.
void AppendFilterField(std::string& key, QStringView field);
void AppendFoldedField(std::string& key, std::string_view folded);
// The same for a field read as UTF-8, as the catalogue stores it: no conversion on the way.
void AppendUtf8FilterField(std::string& key, std::string_view utf8);

// The words typed in the filter, folded; none when nothing but blanks was typed.
std::vector<std::string> FilterWords(QStringView typed);

// True when the key holds every word, each anywhere in any field.
bool MatchesFilter(std::string_view key, const std::vector<std::string>& words);
