#pragma once

#include "reports/SpoolRenderer.h"

#include <QList>

// A surface with simple, known metrics that records what is drawn on it: a text is
// (characters × points × widthPerPoint) twips wide and a line (points × heightPerPoint) high.
class RecordingSurface : public TwipsSurface {
public:
    struct Drawing {
        enum Kind { Text, Box, Rule } kind;
        QPointF from;
        QPointF to;
        QString text;
        int penWidth = 0;
        SpoolFont font;
        QColor color;
    };

    explicit RecordingSurface(double widthPerPoint = 6, double heightPerPoint = 23)
        : m_widthPerPoint(widthPerPoint)
        , m_heightPerPoint(heightPerPoint) {}

    void setFont(const SpoolFont& font) override { m_font = font; }
    SpoolFont font() const override { return m_font; }
    double textWidth(const QString& text) const override {
        return static_cast<double>(text.size()) * m_font.points * m_widthPerPoint;
    }
    double textHeight() const override { return m_font.points * m_heightPerPoint; }
    void setColor(const QColor& color) override { m_color = color; }
    void drawText(const QPointF& topLeft, const QString& text) override {
        drawings.append({Drawing::Text, topLeft, topLeft, text, 0, m_font, m_color});
    }
    void drawBox(const QPointF& corner, const QPointF& oppositeCorner, int penWidth) override {
        drawings.append({Drawing::Box, corner, oppositeCorner, {}, penWidth, m_font, m_color});
    }
    void drawRule(const QPointF& from, const QPointF& to, int penWidth) override {
        drawings.append({Drawing::Rule, from, to, {}, penWidth, m_font, m_color});
    }

    QList<Drawing> of(Drawing::Kind kind) const {
        QList<Drawing> found;
        for (const Drawing& drawing : drawings) {
            if (drawing.kind == kind)
                found.append(drawing);
        }
        return found;
    }
    QStringList texts() const {
        QStringList found;
        for (const Drawing& drawing : of(Drawing::Text))
            found.append(drawing.text);
        return found;
    }

    QList<Drawing> drawings;

private:
    double m_widthPerPoint;
    double m_heightPerPoint;
    SpoolFont m_font;
    QColor m_color = Qt::black;
};

// Records what printing asks of the printer beyond drawing.
class RecordingPages : public PrintPages {
public:
    void newPage() override { ++newPages; }
    void setOrientation(int code) override { orientations.append(code); }
    void setPaperSize(int code) override { paperSizes.append(code); }

    int newPages = 0;
    QList<int> orientations;
    QList<int> paperSizes;
};
