#pragma once

#include <QColor>
#include <QPointF>
#include <QString>

// A font as the spool language names it: a face, a size in points and one of the styles.
struct SpoolFont {
    QString face;
    double points = 0;
    bool bold = false;
    bool italic = false;

    bool operator==(const SpoolFont&) const = default;
};

// A page drawn in twips (1440 an inch) from its top-left corner: the preview's page canvas
// or the printer. Texts are measured on the surface itself, in twips, in its current font.
class TwipsSurface {
public:
    virtual ~TwipsSurface() = default;

    virtual void setFont(const SpoolFont& font) = 0;
    virtual SpoolFont font() const = 0;
    virtual double textWidth(const QString& text) const = 0;
    // The height of a line of text in the current font (what "X" measures).
    virtual double textHeight() const = 0;
    // The colour of the texts drawn from now on; boxes and rules are always black.
    virtual void setColor(const QColor& color) = 0;

    virtual void drawText(const QPointF& topLeft, const QString& text) = 0;
    // The outline of a rectangle; the pen is this many device pixels wide.
    virtual void drawBox(const QPointF& corner, const QPointF& oppositeCorner, int penWidth) = 0;
    virtual void drawRule(const QPointF& from, const QPointF& to, int penWidth) = 0;
};
