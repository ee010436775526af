#pragma once

#include "app/Twips.h"

#include <QRect>

// A control's place on its window, designed in twips.
inline QRect TwipsRect(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}
