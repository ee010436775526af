#pragma once

#include "reports/SpoolRenderer.h"
#include "support/TestMain.h"

// A page with known metrics that records what is drawn on it and asked of it: a text is
// (characters × points × widthPerPoint) twips wide and a line (points × heightPerPoint) high.
class RecordingSurface : public TwipsSurface, public PrintPages {
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
        record(Drawing::Text, topLeft, {}, text, 0);
    }
    void drawBox(const QPointF& corner, const QPointF& opposite, int pen) override {
        record(Drawing::Box, corner, opposite, {}, pen);
    }
    void drawRule(const QPointF& from, const QPointF& to, int pen) override {
        record(Drawing::Rule, from, to, {}, pen);
    }
    void newPage() override { ++newPages; }
    void setOrientation(int code) override { orientations.append(code); }
    void setPaperSize(int code) override { paperSizes.append(code); }

    QList<Drawing> of(Drawing::Kind kind) const {
        QList<Drawing> found;
        std::copy_if(drawings.begin(), drawings.end(), std::back_inserter(found),
                     [kind](const Drawing& drawing) { return drawing.kind == kind; });
        return found;
    }
    QStringList texts() const {
        QStringList found;
        for (const Drawing& drawing : of(Drawing::Text))
            found.append(drawing.text);
        return found;
    }

    QList<Drawing> drawings;
    int newPages = 0;
    QList<int> orientations;
    QList<int> paperSizes;

private:
    void record(Drawing::Kind kind, const QPointF& from, const QPointF& to, const QString& text, int pen) {
        drawings.append({kind, from, to, text, pen, m_font, m_color});
    }

    double m_widthPerPoint;
    double m_heightPerPoint;
    SpoolFont m_font;
    QColor m_color = Qt::black;
};
