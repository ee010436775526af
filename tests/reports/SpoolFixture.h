#pragma once

#include "reports/SpoolRenderer.h"
#include "reports/SpoolScramble.h"
#include "support/Parts.h"
#include "support/TestMain.h"

// Hand-made spool files laid out as the report writer lays them out: header, pages separated
// by "/NEWPAGE", "/ENDOFREPORT" and the trailer of page positions. A password scrambles every
// line before the trailer as the writer does.
class SpoolFixture {
public:
    explicit SpoolFixture(const QString& password = QString())
        : m_key(password) {}

    void line(const QString& text) {
        const QByteArray bytes = text.toUtf8();
        m_bytes += m_ended ? bytes : ScrambleLine(bytes, m_key);
        m_bytes += "\r\n";
    }
    void lines(const QStringList& texts) {
        for (const QString& text : texts)
            line(text);
    }

    void header(const QString& reportName, int orientation = 1, int paperSize = 1) {
        lines({"/VERSION", "1", "/REPORTNAME", reportName, "/CREATEDBY", "ZKN", "/CREATEDATE", "12/24/2025",
               "/CREATETIME", "10:00:00", "/NOTE", "", "/ORIENTATION", QString::number(orientation),
               "/PAPERSIZE", QString::number(paperSize), "/BEGINNINGOFREPORT"});
    }
    void font(int size = 10, const QString& face = u"Times New Roman"_s, int style = 1) {
        lines({"/FONT", QString::number(size), face, QString::number(style)});
    }
    void text(const QString& value, int tab) { lines({"/TEXT", value, QString::number(tab)}); }
    void newPage() {
        lines({"/NEWPAGE", QString::number(m_offsets.size() + 1)});
        m_offsets.append(m_bytes.size() + 1);
    }
    // The end marker and the trailer.
    void end() {
        line(u"/ENDOFREPORT"_s);
        m_ended = true;
        lines({"/PAGEBYTEOFFSETS", QString::number(m_offsets.size())});
        for (qint64 offset : m_offsets)
            line(QString::number(offset));
    }

    // A report of this many pages: a heading naming the page, then numbered rows of text.
    void report(int pages, int rowsPerPage, const QString& reportName = u"Book Listing"_s,
                int orientation = 1, int paperSize = 1) {
        header(reportName, orientation, paperSize);
        font();
        for (int page = 1; page <= pages; ++page) {
            if (page > 1)
                newPage();
            lines(Parts("/SETTAB|1|0.1|1|/SETTAB|2|4|2|/SETTAB|3|7.8|3"));
            text(u"Page "_s + QString::number(page), 3);
            for (int row = 1; row <= rowsPerPage; ++row)
                lines({"/CR", "/TEXT", rowText(page, row), "1"});
        }
        end();
    }
    static QString rowText(int page, int row) { return u"Title %1.%2 - Ä café"_s.arg(page).arg(row); }

    const QByteArray& bytes() const { return m_bytes; }
    const QList<qint64>& offsets() const { return m_offsets; }

private:
    ScrambleKey m_key;
    QByteArray m_bytes;
    QList<qint64> m_offsets{1};
    bool m_ended = false;
};

// A page with known metrics that records what is drawn on it and asked of it: a text is
// (characters × points × widthPerPoint) twips wide and a line (points × heightPerPoint) high.
class RecordingSurface : public TwipsSurface, public PrintPages {
public:
    struct Drawing {
        enum Kind { Text, Box, Rule } kind;
        QPointF from;
        QPointF to;
        QString text;
        int penWidth = 0;
        SpoolFont font;
        QColor color;
    };

    explicit RecordingSurface(double widthPerPoint = 6, double heightPerPoint = 23)
        : m_widthPerPoint(widthPerPoint)
        , m_heightPerPoint(heightPerPoint) {}

    void setFont(const SpoolFont& font) override { m_font = font; }
    SpoolFont font() const override { return m_font; }
    double textWidth(const QString& text) const override {
        return static_cast<double>(text.size()) * m_font.points * m_widthPerPoint;
    }
    double textHeight() const override { return m_font.points * m_heightPerPoint; }
    void setColor(const QColor& color) override { m_color = color; }
    void drawText(const QPointF& topLeft, const QString& text) override {
        record(Drawing::Text, topLeft, {}, text, 0);
    }
    void drawBox(const QPointF& corner, const QPointF& opposite, int pen) override {
        record(Drawing::Box, corner, opposite, {}, pen);
    }
    void drawRule(const QPointF& from, const QPointF& to, int pen) override {
        record(Drawing::Rule, from, to, {}, pen);
    }
    void newPage() override { ++newPages; }
    void setOrientation(int code) override { orientations.append(code); }
    void setPaperSize(int code) override { paperSizes.append(code); }

    QList<Drawing> of(Drawing::Kind kind) const {
        QList<Drawing> found;
        std::copy_if(drawings.begin(), drawings.end(), std::back_inserter(found),
                     [kind](const Drawing& drawing) { return drawing.kind == kind; });
        return found;
    }
    // Each drawing as "text x,y", or "box" or "rule" with both corners and the pen.
    QStringList drawn() const {
        QStringList drawn;
        const auto at = [](const QPointF& point) {
            return u"%1,%2"_s.arg(point.x()).arg(point.y());
        };
        for (const Drawing& d : drawings)
            drawn << (d.kind == Drawing::Text
                          ? d.text + u' ' + at(d.from)
                          : u"%1 %2 %3 %4"_s.arg(d.kind == Drawing::Box ? u"box"_s : u"rule"_s, at(d.from),
                                                 at(d.to), QString::number(d.penWidth)));
        return drawn;
    }

    QList<Drawing> drawings;
    int newPages = 0;
    QList<int> orientations;
    QList<int> paperSizes;

private:
    void record(Drawing::Kind kind, const QPointF& from, const QPointF& to, const QString& text, int pen) {
        drawings.append({kind, from, to, text, pen, m_font, m_color});
    }

    double m_widthPerPoint;
    double m_heightPerPoint;
    SpoolFont m_font;
    QColor m_color = Qt::black;
};
