#pragma once

#include "reports/PageCanvas.h"
#include "reports/PaperSizes.h"
#include "reports/SpoolFormat.h"
#include "reports/SpoolScramble.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>
#include <QVariant>
#include <array>
#include <functional>

class Report;

// How a report ended: in the preview, discarded after the user cancelled it, or lost
// because its file could not be written.
enum class ReportOutcome { Previewed, Cancelled, Failed };

// Writes one report at a time into a report file of drawing commands (fonts, tab stops,
// texts, line breaks, rules, boxes, page breaks) that the preview reads and prints. Texts are
// measured on a page canvas as the preview draws them, and cut to their columns.
//
// A report calls BeginReport, then the writing operations, then EndReport, which hands the
// file to the preview (or removes it when the user cancelled).
class ReportWriter {
public:
    struct TabStop {
        double position = 0; // inches
        int alignment = spool::kAlignLeft;
    };

    // How the writer reaches the preview and the clock; the program's defaults unless a test
    // replaces them.
    struct Hooks {
        std::function<void()> closePreview;
        std::function<void(const QString& spoolFile)> showPreview;
        std::function<QDateTime()> now;
    };

    ReportWriter();

    // Starts the report file; false (and nothing written) when the file cannot be created.
    // Orientation and paper size 0 mean portrait and Letter; an empty password leaves the
    // file readable as text.
    bool BeginReport(Report& report, int orientation, int paperSize, const QString& password);
    // Finishes the file and hands it to the preview, or removes it after a cancel, a failed
    // write or Abandon.
    ReportOutcome EndReport();
    // Marks the report in progress as failed: EndReport will discard it.
    void Abandon() { m_writeFailed = true; }

    // Writes a value at a tab stop (0-19), cut to the stop's column. Style 0 keeps the current
    // style, 2 and 3 write in bold or italic; 1 writes normal and wraps what does not fit onto
    // the following lines at the same stop.
    void PrintText(Report* report, const QVariant& value, int tab, int style);
    // True when PrintText would write the text at the stop whole, without cutting it.
    bool FitsColumn(const QString& text, int tab) const;
    // Ends the line; with a report, a full page breaks onto a new one.
    void NewLine(Report* report = nullptr);
    void NewPage(Report& report);
    void SetFont(double size, const QString& face, int style);
    void SetTab(int index, double position, int alignment);
    void ResetTabs();
    void PrintBox(double x1, double y1, double x2, double y2, int thickness);
    void LineAbove(int tab, double length, int thickness);
    // The next command is drawn on screen only.
    void ScreenOnly();
    // The heading every report's pages start with.
    void PrintPageHeading(Report& report);

    // A report file name in the spool folder that is not taken yet: eight digits counting
    // seconds since midnight, then "." and the extension. Empty when none is free.
    QString MakeTempFileName(const QString& extension) const;

    bool IsWriting() const { return m_file.isOpen(); }
    QString SpoolPath() const { return m_path; }
    int PageNumber() const { return m_page; }
    const QList<qint32>& PageOffsets() const { return m_pageOffsets; }
    int VerticalPosition() const { return m_y; }
    int PageHeight() const { return m_pageHeight; }
    int LineHeight() const { return m_lineHeight; }
    const TabStop& Tab(int index) const { return m_tabs.at(static_cast<size_t>(index)); }
    const PageCanvas& Canvas() const { return m_canvas; }

    // Replaces the hooks for the writer's next reports; answers the ones in force before.
    Hooks SetHooks(Hooks hooks);
    // How often (milliseconds) a running report lets window events through; answers the
    // interval in force before.
    qint64 SetEventInterval(qint64 milliseconds);

private:
    void WriteSpoolLine(const QString& text);
    void WriteSpoolLine(QLatin1StringView command);
    void WriteRaw(const QByteArray& line);
    void FlushPending();
    void ApplyCanvasFont(double size, const QString& face, int style);
    void WriteHeader(const QString& reportName);
    void LetEventsRun();
    void ShowPercentage();
    bool FitsWhole(int tab) const;
    QString FitPiece(const QString& rest, int tab, QString& remainder) const;

    Hooks m_hooks;
    QFile m_file;
    QByteArray m_pending; // written lines not yet handed to the file
    QString m_path;
    bool m_writeFailed = false;
    qint64 m_bytesWritten = 0;
    ScrambleKey m_key;

    int m_orientation = kOrientationPortrait;
    int m_paperSize = kPaperLetter;
    const PaperLayout* m_layout = &kPaperLayouts.front();
    int m_pageHeight = 0;
    int m_page = 1;
    QList<qint32> m_pageOffsets;

    int m_y = 0;
    int m_lineHeight = 0;
    QString m_face;
    double m_size = 0;
    int m_style = spool::kStyleNormal;
    std::array<TabStop, spool::kTabCount> m_tabs{};
    PageCanvas m_canvas;
    QString m_canvasFace;
    double m_canvasSize = -1;
    int m_canvasStyle = -1;
    QElapsedTimer m_sinceEvents;
    qint64 m_eventInterval;
};

// The writer every report of the program writes through.
ReportWriter& Writer();

// Line breaks inside a text become blanks: each CR LF pair one blank, and so does a CR or
// LF on its own, so a text always stays on one line of the report file.
QString StripLineBreaks(const QString& text);
