#include "reports/PainterSurface.h"

#include "app/Twips.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

namespace {

constexpr double kTwipsPerInch = 1440;
// Until a report sizes it, the canvas holds a Letter page in portrait.
constexpr QSize kDefaultPageTwips{12240, 15120};
// 96 dots an inch, so that one pixel is 15 twips whatever the screen.
constexpr int kCanvasDotsPerMeter = 3780;

// The report faces are Windows faces; metric-compatible faces stand in for them here.
QString substituteFace(const QString& face) {
    if (face.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Serif");
    if (face.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    return face;
}

} // namespace

PainterSurface::PainterSurface() = default;

PainterSurface::~PainterSurface() {
    endPainting();
}

QFont PainterSurface::deviceFont() const {
    QFont font(substituteFace(m_font.face));
    if (m_font.points > 0)
        font.setPointSizeF(m_font.points);
    font.setBold(m_font.bold);
    font.setItalic(m_font.italic);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
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

PageCanvas::PageCanvas() {
    resize(kDefaultPageTwips);
}

PageCanvas::~PageCanvas() {
    endPainting();
}

void PageCanvas::resize(const QSize& twips) {
    const QSize pixels(TwipsToPixels(twips.width()), TwipsToPixels(twips.height()));
    if (pixels == m_image.size() || pixels.isEmpty())
        return;
    endPainting();
    m_image = QImage(pixels, QImage::Format_RGB32);
    m_image.setDotsPerMeterX(kCanvasDotsPerMeter);
    m_image.setDotsPerMeterY(kCanvasDotsPerMeter);
    m_image.fill(Qt::white);
    setDevice(&m_image);
}

QSize PageCanvas::sizeInTwips() const {
    return {PixelsToTwips(m_image.width()), PixelsToTwips(m_image.height())};
}

void PageCanvas::beginPage() {
    endPainting();
    m_image.fill(Qt::white);
    beginPainting();
}

void PageCanvas::endPage() {
    endPainting();
}
