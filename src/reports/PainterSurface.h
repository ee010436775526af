#pragma once

#include "reports/TwipsSurface.h"

#include <QImage>
#include <QSize>
#include <memory>

class QFont;
class QPaintDevice;
class QPainter;

// A twips surface over any paint device: positions and texts are measured in the device's
// own resolution and converted, so the same drawing serves a 96-dpi image and a printer.
class PainterSurface : public TwipsSurface {
public:
    PainterSurface();
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
    bool isPainting() const { return m_painter != nullptr; }

private:
    // Built when needed rather than kept: a font must not outlive the application.
    QFont deviceFont() const;
    QPointF toDevice(const QPointF& twips) const;
    void blackPen(int penWidth);

    QPaintDevice* m_device = nullptr;
    std::unique_ptr<QPainter> m_painter;
    SpoolFont m_font;
    QColor m_color = Qt::black;
};

// The preview's page canvas: an off-screen image of one page at 96 dpi, 15 twips a pixel.
class PageCanvas : public PainterSurface {
public:
    PageCanvas();
    ~PageCanvas() override;

    // The page size in twips; other sizes are rounded down to whole pixels.
    void resize(const QSize& twips);
    QSize sizeInTwips() const;
    const QImage& image() const { return m_image; }

    // Clears the page to white and opens it for drawing until endPage().
    void beginPage();
    void endPage();

private:
    QImage m_image;
};
