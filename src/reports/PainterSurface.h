#pragma once

#include "reports/PageCanvas.h"
#include "reports/TwipsSurface.h"

#include <QSize>
#include <memory>

class QFont;
class QPaintDevice;
class QPainter;

// A twips surface over any paint device: positions and texts are measured in the device's
// own resolution and converted, so the same drawing serves a 96-dpi image and a printer.
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
    void blackPen(int penWidth);

    QPaintDevice* m_device = nullptr;
    std::unique_ptr<QPainter> m_painter;
    SpoolFont m_font;
    QColor m_color = Qt::black;
};

// The preview's page canvas: the page image the screen renderer draws on, measuring its
// texts exactly as the report writer measured them when it cut them to their columns.
class CanvasSurface : public PainterSurface {
public:
    CanvasSurface();
    ~CanvasSurface() override;

    void setFont(const SpoolFont& font) override;
    double textWidth(const QString& text) const override;
    double textHeight() const override;

    // Sizes the page in twips; a size already in force keeps the page as it is.
    void resize(const QSize& twips);
    QSize sizeInTwips() const { return {m_page.WidthTwips(), m_page.HeightTwips()}; }
    const QImage& image() const { return m_page.Image(); }

    // Clears the page to white and opens it for drawing until endPage().
    void beginPage();
    void endPage();

private:
    PageCanvas m_page;
};
