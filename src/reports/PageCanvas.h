#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QString>

struct SpoolFont;

// The face a report names, as this machine draws it. Report layouts are designed for
// "Times New Roman" and "Arial"; Liberation Serif and Liberation Sans share their metrics,
// so texts measure the same on every machine. Other faces are used as named.
QString CanvasFaceName(const QString& face);

// The font a report file selects: face, size in points and style code (normal, bold or
// italic; never both), without underline or strike-through.
QFont CanvasFont(const QString& face, double points, int styleCode);
QFont CanvasFont(const SpoolFont& font);

// Texts measured as on a page of 96 dots an inch, where 15 twips make one dot. The report
// writer cuts its texts to their columns by these measures and the preview measures with the
// same ones, so a text is cut exactly where it will be drawn.
class PageCanvas {
public:
    static constexpr int kDotsPerInch = 96;
    static constexpr int kTwipsPerInch = 1440;
    static constexpr int kTwipsPerDot = kTwipsPerInch / kDotsPerInch;

    PageCanvas();

    void SetFont(const QFont& font);
    const QFont& Font() const { return m_font; }
    // Width and height of a text in the current font, in whole twips.
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;

private:
    // A 96-dot device for the font metrics; nothing is drawn on it.
    QImage m_device;
    QFont m_font;
    QFontMetricsF m_metrics;
    // Widths measured in each font: reports write the same names and labels over and over
    // (and change fonts on every page heading), and shaping a text costs far more than
    // looking it up.
    mutable QHash<QString, QHash<QString, int>> m_widthsByFont;
    mutable qsizetype m_rememberedWidths = 0;
    QString m_fontKey;
};
