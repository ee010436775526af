#pragma once

#include <QString>

// Copies a file whole: the copy is written beside the target and takes its place only once it
// is complete, so a failure on the way (a full disk) leaves what the target held as it was.
bool CopyFileWhole(const QString& source, const QString& target);
