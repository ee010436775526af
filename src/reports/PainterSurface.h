#pragma once

#include "reports/PageCanvas.h"
#include "reports/PagePicture.h"
#include "reports/TwipsSurface.h"

#include <QSize>
#include <memory>

class QFont;
class QPaintDevice;
class QPainter;

// A twips surface over a paint device (the printer): positions and texts are measured in
// the device's own resolution and converted.
class PainterSurface : public TwipsSurface {
public:
    PainterSurface() = default;
    ~PainterSurface() override;
    PainterSurface(const PainterSurface&) = delete;
    PainterSurface& operator=(const PainterSurface&) = delete;

    void setFont(const SpoolFont& font) override { m_font = font; }
    SpoolFont font() const override { return m_font; }
    double textWidth(const QString& text) const override;
    double textHeight() const override;
    void setColor(const QColor& color) override { m_color = color; }

    // Drawing happens only between beginPainting() and endPainting(); measuring always.
    void drawText(const QPointF& topLeft, const QString& text) override;
    void drawBox(const QPointF& corner, const QPointF& oppositeCorner, int penWidth) override;
    void drawRule(const QPointF& from, const QPointF& to, int penWidth) override;

protected:
    void setDevice(QPaintDevice* device) { m_device = device; }
    bool beginPainting();
    void endPainting();
    // The font as the device draws it; built when needed rather than kept, so that no font
    // outlives the application.
    QFont deviceFont() const;

private:
    QPointF toDevice(const QPointF& twips) const;

    QPaintDevice* m_device = nullptr;
    std::unique_ptr<QPainter> m_painter;
    SpoolFont m_font;
    QColor m_color = Qt::black;
};

// The preview's page canvas: measures its texts exactly as the report writer measured them
// when it cut them to their columns, and keeps the page's drawing as outlines for the screen
// to paint at its own resolution.
class CanvasSurface : public TwipsSurface {
public:
    CanvasSurface();

    void setFont(const SpoolFont& font) override;
    SpoolFont font() const override { return m_font; }
    double textWidth(const QString& text) const override;
    double textHeight() const override;
    void setColor(const QColor& color) override { m_color = color; }

    // Drawing is kept only between beginPage() and endPage(); measuring always works.
    void drawText(const QPointF& topLeft, const QString& text) override;
    void drawBox(const QPointF& corner, const QPointF& oppositeCorner, int penWidth) override;
    void drawRule(const QPointF& from, const QPointF& to, int penWidth) override;

    void resize(const QSize& twips) { m_size = twips; }
    QSize sizeInTwips() const { return m_size; }
    const PagePicture& picture() const { return m_picture; }
    // The page as it is drawn on a screen of this device pixel ratio.
    QImage render(qreal devicePixelRatio) const { return m_picture.render(m_size, devicePixelRatio); }

    // Starts the page afresh, blank.
    void beginPage();
    void endPage() { m_drawing = false; }

private:
    PageCanvas m_page;
    PagePicture m_picture;
    QSize m_size;
    SpoolFont m_font;
    QColor m_color = Qt::black;
    bool m_drawing = false;
};
