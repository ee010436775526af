#pragma once

#include "db/DbResult.h"

#include <QString>

// Builds a catalogue file of many made-up books through the program's own schema, for
// benchmarks and for trying the program on a large collection.
struct GeneratorOptions {
    int bookCount = 1000;
    quint32 seed = 20261206;
};

// Creates `targetFile` (which must not exist) holding the standard lists, extra authors,
// subjects and locations, and bookCount books with awards, loans, costs, dates and notes.
DbStatus GenerateCatalogue(const QString& targetFile, const GeneratorOptions& options);
