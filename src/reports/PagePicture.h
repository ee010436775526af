#pragma once

#include "reports/TwipsSurface.h"

#include <QImage>
#include <QSize>
#include <vector>

class QPainter;

// The outline of a box in black, pen this many device pixels wide; a box of no height (or
// width) is how reports draw a rule, and its outline is a line.
void DrawBoxOutline(QPainter& painter, const QRectF& box, int penWidth);
void DrawRuleLine(QPainter& painter, const QPointF& from, const QPointF& to, int penWidth);

// One page's drawing in twips, kept as the texts, boxes and rules themselves rather than as
// dots, so that it is painted sharp at whatever resolution the screen has.
class PagePicture {
public:
    void clear() { m_drawings.clear(); }
    bool isEmpty() const { return m_drawings.empty(); }
    void addText(const QPointF& topLeft, const QString& text, const SpoolFont& font, const QColor& color);
    void addBox(const QPointF& corner, const QPointF& oppositeCorner, int penWidth);
    void addRule(const QPointF& from, const QPointF& to, int penWidth);

    // Paints the page's drawing with its top-left corner at the painter's origin, at 96
    // logical dots an inch (15 twips a dot), whatever the device's own resolution.
    void paint(QPainter& painter) const;
    // The page of this size in twips on white, at 96 dots an inch times the ratio given.
    QImage render(const QSize& twips, qreal devicePixelRatio) const;

private:
    struct Drawing {
        enum Kind { Text, Box, Rule } kind;
        QPointF from; // twips
        QPointF to;
        QString text;
        SpoolFont font;
        QColor color;
        int penWidth = 0;
    };
    std::vector<Drawing> m_drawings;
};
