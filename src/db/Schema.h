#pragma once

#include <QStringList>

// The longest text each text column holds: the editor's input limits and the exchange
// file's reading both keep to these.
inline constexpr int kTitleLength = 100;
inline constexpr int kLabelLength = 50;
inline constexpr int kPublisherLength = 100;
inline constexpr int kLentToLength = 50;
inline constexpr int kNotesLength = 255;
inline constexpr int kLookupNameLength = 50;

// The nine tables of a catalogue and their indexes, as statements that build an empty file.
QStringList SchemaStatements();
// The tables every catalogue holds; a file without them is not a catalogue.
QStringList CatalogueTableNames();
