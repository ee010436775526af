#pragma once

#include "db/DbResult.h"

#include <QString>

// Copies the open catalogue, whole and consistent even while another program writes to it, to a
// new file; an existing file is not overwritten.
DbStatus BackUpCatalogue(const QString& target);
