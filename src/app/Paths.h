#pragma once

#include <QString>

// Where the program keeps its files. The data folder is TOMEKEEP_HOME when that is set,
// otherwise the user's application data folder; it is created when missing.
QString DataFolder();
// The catalogue file of a cleaned catalogue name, inside the data folder.
QString CatalogueFilePath(const QString& catalogueName);
// SQLite's side files of a catalogue, which belong to it wherever it goes.
QStringList CatalogueSideFiles(const QString& catalogueFile);
// The folder of report spool files, created when missing.
QString SpoolFolder();
// The exchange file offered when none was used before.
QString DefaultExchangeFile();
// Where the preview's Save copies a report spool file.
QString ReportCopyPath();
// The settings file of a portable installation; empty when settings live in the user's store.
QString PortableSettingsFile();
