#pragma once

#include "db/DbResult.h"

#include <QStringList>
#include <vector>

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
// The columns of a catalogue table that every catalogue holds (schema steps add others).
QStringList CatalogueColumns(const QString& table);

// One addition to the schema made after the first release. Steps are numbered from 1 in the order
// they were made and never renumbered; UpdateDatabase runs, in one transaction each, those an
// opened catalogue has not had yet. A step must also work on a catalogue that already has what it
// adds (another tool may have added it), and may use only what the plain sqlite3 tool knows.
struct SchemaStep {
    int number;
    DbStatus (*apply)();
};
const std::vector<SchemaStep>& SchemaSteps();
