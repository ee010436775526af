#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QString>

// The face a report names, as this machine draws it. Report layouts are designed for
// "Times New Roman" and "Arial"; Liberation Serif and Liberation Sans share their metrics,
// so texts measure the same on every machine. Other faces are used as named.
QString CanvasFaceName(const QString& face);

// The font a report file selects: face, size in points and style code (normal, bold or
// italic; never both), without underline or strike-through.
QFont CanvasFont(const QString& face, double points, int styleCode);

// An off-screen page at 96 dots an inch, where 15 twips make one pixel. The report writer
// measures its texts here and the preview draws its pages here, so a text is cut exactly
// where it will be drawn.
class PageCanvas {
public:
    static constexpr int kDotsPerInch = 96;
    static constexpr int kTwipsPerInch = 1440;
    static constexpr int kTwipsPerDot = kTwipsPerInch / kDotsPerInch;

    PageCanvas();

    // Gives the page a new size in twips; its content is cleared to white.
    void Resize(int widthTwips, int heightTwips);
    void Clear();
    QImage& Image() { return m_image; }
    const QImage& Image() const { return m_image; }
    int WidthTwips() const { return m_image.width() * kTwipsPerDot; }
    int HeightTwips() const { return m_image.height() * kTwipsPerDot; }

    void SetFont(const QFont& font);
    const QFont& Font() const { return m_font; }
    // Width and height of a text in the current font, in whole twips.
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;

private:
    QImage m_image;
    QFont m_font;
    QFontMetricsF m_metrics;
    // Widths measured in each font: reports write the same names and labels over and over
    // (and change fonts on every page heading), and shaping a text costs far more than
    // looking it up.
    mutable QHash<QString, QHash<QString, int>> m_widthsByFont;
    mutable qsizetype m_rememberedWidths = 0;
    QString m_fontKey;
};
