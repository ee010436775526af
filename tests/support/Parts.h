#pragma once

#include "support/TestMain.h"

// An expected list written as one line: its items joined by '|' (an empty item stays).
inline QStringList Parts(const QString& joined) {
    return joined.split(u'|');
}
