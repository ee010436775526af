#pragma once

// Window geometry is designed in twips (1440 an inch); the screen works at 96 dpi,
// so 15 twips make one pixel.
inline constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) {
    return twips / kTwipsPerPixel;
}
constexpr int PixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}
