#include "reports/PainterSurface.h"

#include "reports/PaperSizes.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

namespace {

constexpr double kTwipsPerInch = PageCanvas::kTwipsPerInch;
// Until a report sizes it, the canvas holds a Letter page in portrait.
constexpr const PaperLayout* kDefaultLayout = FindPaperLayout(kPaperLetter, kOrientationPortrait);
const QString kLineSample = QStringLiteral("X");

} // namespace

PainterSurface::~PainterSurface() {
    endPainting();
}

QFont PainterSurface::deviceFont() const {
    return CanvasFont(m_font);
}

double PainterSurface::textWidth(const QString& text) const {
    if (!m_device)
        return 0;
    const QFontMetricsF metrics(deviceFont(), m_device);
    return metrics.horizontalAdvance(text) * kTwipsPerInch / m_device->logicalDpiX();
}

double PainterSurface::textHeight() const {
    if (!m_device)
        return 0;
    const QFontMetricsF metrics(deviceFont(), m_device);
    return metrics.height() * kTwipsPerInch / m_device->logicalDpiY();
}

QPointF PainterSurface::toDevice(const QPointF& twips) const {
    return {twips.x() * m_device->logicalDpiX() / kTwipsPerInch,
            twips.y() * m_device->logicalDpiY() / kTwipsPerInch};
}

bool PainterSurface::beginPainting() {
    if (m_painter)
        return true;
    if (!m_device)
        return false;
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(m_device))
        return false;
    painter->setRenderHint(QPainter::TextAntialiasing);
    m_painter = std::move(painter);
    return true;
}

void PainterSurface::endPainting() {
    if (m_painter)
        m_painter->end();
    m_painter.reset();
}

void PainterSurface::drawText(const QPointF& topLeft, const QString& text) {
    if (!m_painter)
        return;
    const QFont font = deviceFont();
    m_painter->setFont(font);
    m_painter->setPen(m_color);
    const QFontMetricsF metrics(font, m_device);
    m_painter->drawText(toDevice(topLeft) + QPointF(0, metrics.ascent()), text);
}

void PainterSurface::drawBox(const QPointF& corner, const QPointF& oppositeCorner, int penWidth) {
    if (m_painter)
        DrawBoxOutline(*m_painter, QRectF(toDevice(corner), toDevice(oppositeCorner)), penWidth);
}

void PainterSurface::drawRule(const QPointF& from, const QPointF& to, int penWidth) {
    if (m_painter)
        DrawRuleLine(*m_painter, toDevice(from), toDevice(to), penWidth);
}

CanvasSurface::CanvasSurface()
    : m_size(kDefaultLayout->canvasWidth, kDefaultLayout->canvasHeight) {}

void CanvasSurface::setFont(const SpoolFont& font) {
    m_font = font;
    m_page.SetFont(CanvasFont(font));
}

double CanvasSurface::textWidth(const QString& text) const {
    return m_page.TextWidth(text);
}

double CanvasSurface::textHeight() const {
    return m_page.TextHeight(kLineSample);
}

void CanvasSurface::drawText(const QPointF& topLeft, const QString& text) {
    if (m_drawing)
        m_picture.addText(topLeft, text, m_font, m_color);
}

void CanvasSurface::drawBox(const QPointF& corner, const QPointF& oppositeCorner, int penWidth) {
    if (m_drawing)
        m_picture.addBox(corner, oppositeCorner, penWidth);
}

void CanvasSurface::drawRule(const QPointF& from, const QPointF& to, int penWidth) {
    if (m_drawing)
        m_picture.addRule(from, to, penWidth);
}

void CanvasSurface::beginPage() {
    m_picture.clear();
    m_drawing = true;
}
