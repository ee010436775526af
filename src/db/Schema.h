#pragma once

#include <QStringList>

// The nine tables of a catalogue and their indexes, as statements that build an empty file.
QStringList SchemaStatements();
// The tables every catalogue holds; a file without them is not a catalogue.
QStringList CatalogueTableNames();
