#include "reports/PagePicture.h"

#include "reports/PageCanvas.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <cmath>

namespace {

constexpr double kTwipsPerDot = PageCanvas::kTwipsPerDot;

QPointF toDots(const QPointF& twips) {
    return twips / kTwipsPerDot;
}

// The font drawn as large as on a 96-dot page, on a device of any logical resolution.
QFont fontAt96Dots(const SpoolFont& font, const QPaintDevice& device) {
    SpoolFont scaled = font;
    scaled.points = font.points * PageCanvas::kDotsPerInch / device.logicalDpiY();
    return CanvasFont(scaled);
}

void blackPen(QPainter& painter, int penWidth) {
    painter.setPen(QPen(Qt::black, penWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
}

} // namespace

void DrawBoxOutline(QPainter& painter, const QRectF& box, int penWidth) {
    blackPen(painter, penWidth);
    const QRectF normal = box.normalized();
    if (normal.width() == 0 || normal.height() == 0)
        painter.drawLine(normal.topLeft(), normal.bottomRight());
    else
        painter.drawRect(normal);
}

void DrawRuleLine(QPainter& painter, const QPointF& from, const QPointF& to, int penWidth) {
    blackPen(painter, penWidth);
    painter.drawLine(from, to);
}

void PagePicture::addText(const QPointF& topLeft, const QString& text, const SpoolFont& font,
                          const QColor& color) {
    m_drawings.push_back({Drawing::Text, topLeft, {}, text, font, color, 0});
}

void PagePicture::addBox(const QPointF& corner, const QPointF& oppositeCorner, int penWidth) {
    m_drawings.push_back({Drawing::Box, corner, oppositeCorner, {}, {}, {}, penWidth});
}

void PagePicture::addRule(const QPointF& from, const QPointF& to, int penWidth) {
    m_drawings.push_back({Drawing::Rule, from, to, {}, {}, {}, penWidth});
}

void PagePicture::paint(QPainter& painter) const {
    const QPaintDevice& device = *painter.device();
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    const SpoolFont* current = nullptr;
    qreal ascent = 0;
    for (const Drawing& drawing : m_drawings) {
        switch (drawing.kind) {
        case Drawing::Text:
            // Texts come in runs of one font: build it once per run.
            if (!current || !(drawing.font == *current)) {
                current = &drawing.font;
                const QFont font = fontAt96Dots(*current, device);
                ascent = QFontMetricsF(font, &device).ascent();
                painter.setFont(font);
            }
            painter.setPen(drawing.color);
            painter.drawText(toDots(drawing.from) + QPointF(0, ascent), drawing.text);
            break;
        case Drawing::Box:
            DrawBoxOutline(painter, QRectF(toDots(drawing.from), toDots(drawing.to)), drawing.penWidth);
            break;
        case Drawing::Rule:
            DrawRuleLine(painter, toDots(drawing.from), toDots(drawing.to), drawing.penWidth);
            break;
        }
    }
    painter.restore();
}

QImage PagePicture::render(const QSize& twips, qreal devicePixelRatio) const {
    const QSize dots(std::max(1, twips.width() / PageCanvas::kTwipsPerDot),
                     std::max(1, twips.height() / PageCanvas::kTwipsPerDot));
    QImage page(dots * devicePixelRatio, QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(PageCanvas::kDotsPerInch / 0.0254));
    page.setDotsPerMeterX(dotsPerMetre);
    page.setDotsPerMeterY(dotsPerMetre);
    page.setDevicePixelRatio(devicePixelRatio);
    page.fill(Qt::white);
    QPainter painter(&page);
    paint(painter);
    return page;
}
