#pragma once

#include <array>

// Paper size and orientation codes as a report file's header carries them.
inline constexpr int kPaperLetter = 1;
inline constexpr int kPaperLegal = 2;
inline constexpr int kOrientationPortrait = 1;
inline constexpr int kOrientationLandscape = 2;

// A rectangle in inches.
struct InchBox {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
};

// How one paper size in one orientation is laid out; the writer breaks pages by it and the
// preview sizes its page canvas by it, so both must read the same table.
struct PaperLayout {
    int paperSize = kPaperLetter;
    int orientation = kOrientationPortrait;
    int canvasWidth = 0;                  // twips
    int canvasHeight = 0;                 // twips
    int pageHeight = 0;                   // twips; a page is full 2000 twips above this
    InchBox frame;                        // the screen-only frame drawn around every page
    std::array<double, 3> headingStops{}; // left / centred / right heading texts, inches
};

inline constexpr std::array<PaperLayout, 4> kPaperLayouts{{
    {kPaperLetter, kOrientationPortrait, 12240, 15120, 15840, {0, 0, 7.9, 10.5}, {0.1, 4.0, 7.8}},
    {kPaperLetter, kOrientationLandscape, 15840, 12240, 12240, {0, 0, 10.45, 7.9}, {0.1, 5.5, 10.3}},
    {kPaperLegal, kOrientationPortrait, 12240, 20160, 20160, {0, 0, 7.9, 13.5}, {0.1, 4.0, 7.8}},
    {kPaperLegal, kOrientationLandscape, 20160, 12240, 12240, {0, 0, 13.5, 7.9}, {0.1, 7.0, 13.3}},
}};

// The layout of a paper size and orientation pair; nullptr for codes outside the table.
constexpr const PaperLayout* FindPaperLayout(int paperSize, int orientation) {
    for (const PaperLayout& layout : kPaperLayouts) {
        if (layout.paperSize == paperSize && layout.orientation == orientation)
            return &layout;
    }
    return nullptr;
}
