#include "reports/PainterSurface.h"

#include "reports/PaperSizes.h"
#include "reports/SpoolFormat.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

namespace {

constexpr double kTwipsPerInch = PageCanvas::kTwipsPerInch;
// Until a report sizes it, the canvas holds a Letter page in portrait.
constexpr const PaperLayout* kDefaultLayout = FindPaperLayout(kPaperLetter, kOrientationPortrait);
const QString kLineSample = QStringLiteral("X");

int styleCode(const SpoolFont& font) {
    if (font.bold)
        return spool::kStyleBold;
    return font.italic ? spool::kStyleItalic : spool::kStyleNormal;
}

} // namespace

PainterSurface::~PainterSurface() {
    endPainting();
}

QFont PainterSurface::deviceFont() const {
    return CanvasFont(m_font.face, m_font.points, styleCode(m_font));
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

void PainterSurface::blackPen(int penWidth) {
    m_painter->setPen(QPen(Qt::black, penWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    m_painter->setBrush(Qt::NoBrush);
}

void PainterSurface::drawBox(const QPointF& corner, const QPointF& oppositeCorner, int penWidth) {
    if (!m_painter)
        return;
    blackPen(penWidth);
    const QRectF box = QRectF(toDevice(corner), toDevice(oppositeCorner)).normalized();
    // A box of no height (or width) is how reports draw a rule; an outline of it is a line.
    if (box.width() == 0 || box.height() == 0)
        m_painter->drawLine(box.topLeft(), box.bottomRight());
    else
        m_painter->drawRect(box);
}

void PainterSurface::drawRule(const QPointF& from, const QPointF& to, int penWidth) {
    if (!m_painter)
        return;
    blackPen(penWidth);
    m_painter->drawLine(toDevice(from), toDevice(to));
}

CanvasSurface::CanvasSurface() {
    m_page.Resize(kDefaultLayout->canvasWidth, kDefaultLayout->canvasHeight);
    setDevice(&m_page.Image());
}

CanvasSurface::~CanvasSurface() {
    endPainting();
}

void CanvasSurface::setFont(const SpoolFont& font) {
    PainterSurface::setFont(font);
    m_page.SetFont(deviceFont());
}

double CanvasSurface::textWidth(const QString& text) const {
    return m_page.TextWidth(text);
}

double CanvasSurface::textHeight() const {
    return m_page.TextHeight(kLineSample);
}

void CanvasSurface::resize(const QSize& twips) {
    if (twips == sizeInTwips())
        return;
    endPainting();
    m_page.Resize(twips.width(), twips.height());
    setDevice(&m_page.Image());
}

void CanvasSurface::beginPage() {
    endPainting();
    m_page.Clear();
    beginPainting();
}

void CanvasSurface::endPage() {
    endPainting();
}
