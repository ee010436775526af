#include "reports/PageCanvas.h"

#include "reports/SpoolFormat.h"
#include "reports/TwipsSurface.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kInchesPerMetre = 1 / 0.0254;
// Enough for every recurring text of a report; beyond it the widths are measured afresh.
constexpr qsizetype kMaxRememberedWidths = 32768;

QImage measuringDevice() {
    QImage image(1, 1, QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(PageCanvas::kDotsPerInch * kInchesPerMetre));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

int toTwips(double dots) {
    return static_cast<int>(std::lround(dots * PageCanvas::kTwipsPerDot));
}

} // namespace

QString CanvasFaceName(const QString& face) {
    if (face.compare(QLatin1StringView("Times New Roman"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Serif");
    if (face.compare(QLatin1StringView("Arial"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    return face;
}

QFont CanvasFont(const QString& face, double points, int styleCode) {
    QFont font(CanvasFaceName(face));
    font.setBold(styleCode == spool::kStyleBold);
    font.setItalic(styleCode == spool::kStyleItalic);
    if (points > 0)
        font.setPointSizeF(points);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // Unhinted outlines keep every width proportional to the size, as on paper.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QFont CanvasFont(const SpoolFont& font) {
    const int style = font.bold ? spool::kStyleBold : font.italic ? spool::kStyleItalic : spool::kStyleNormal;
    return CanvasFont(font.face, font.points, style);
}

PageCanvas::PageCanvas()
    : m_device(measuringDevice())
    , m_font(CanvasFont(QStringLiteral("Times New Roman"), 10, spool::kStyleNormal))
    , m_metrics(m_font, &m_device)
    , m_fontKey(m_font.key()) {}

void PageCanvas::SetFont(const QFont& font) {
    if (font == m_font)
        return;
    m_font = font;
    m_metrics = QFontMetricsF(m_font, &m_device);
    m_fontKey = m_font.key();
}

int PageCanvas::TextWidth(const QString& text) const {
    QHash<QString, int>& widths = m_widthsByFont[m_fontKey];
    if (const auto known = widths.constFind(text); known != widths.cend())
        return known.value();
    const int width = toTwips(m_metrics.horizontalAdvance(text));
    if (m_rememberedWidths >= kMaxRememberedWidths) {
        for (QHash<QString, int>& font : m_widthsByFont)
            font.clear();
        m_rememberedWidths = 0;
    }
    widths.insert(text, width);
    ++m_rememberedWidths;
    return width;
}

int PageCanvas::TextHeight(const QString& text) const {
    // A text's height is its lines' height; an empty text still has one line.
    const int lines = std::max<qsizetype>(1, text.count(u'\n') + 1);
    return toTwips(m_metrics.height() * lines);
}
