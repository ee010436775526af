#pragma once

#include "reports/PainterSurface.h"
#include "reports/SpoolReader.h"
#include "reports/SpoolRenderer.h"

#include <QList>
#include <QString>

// The report shown in the preview: its spool file, where each page starts, the header, the
// password, the page shown and the page canvas it is drawn on. One instance serves the
// whole program; only the page shown is ever read from the file.
class PreviewDocument {
public:
    // Takes a new spool file: forgets what was read of the last one. The font, the stops and
    // the line height stay, since a later report of a run may not set them again.
    void Init();
    void SetSpoolPath(const QString& path) { m_spoolPath = path; }
    const QString& SpoolPath() const { return m_spoolPath; }

    // Reads the page index, asks for the password and reads the header, each once per file.
    // False when the file cannot be read at all.
    bool Load();
    // Draws the current page (kept within the pages there are) on the page canvas.
    bool RenderCurrentPage();

    int PageCount() const { return static_cast<int>(m_offsets.size()); }
    // The 1-based byte position where a page's commands begin.
    qint64 PageOffset(int page) const { return m_offsets.value(page - 1, 1); }
    int CurrentPage() const { return m_currentPage; }
    void SetCurrentPage(int page) { m_currentPage = page; }
    const SpoolHeader& Header() const { return m_header; }
    // The password in force; empty for a file that is not scrambled.
    const ScrambleKey& Key() const { return m_key; }

    CanvasSurface& Canvas() { return m_canvas; }
    RenderState& State() { return m_state; }

    // The steps of Load, in their order.
    bool ReadPageIndex();
    void CheckProtected();
    void ReadSpoolHeader();

private:
    QString m_spoolPath;
    QList<qint64> m_offsets;
    bool m_indexRead = false;
    bool m_indexFromTrailer = false;
    bool m_passwordAsked = false;
    bool m_headerRead = false;
    SpoolHeader m_header;
    int m_currentPage = 1;
    ScrambleKey m_key;
    RenderState m_state;
    CanvasSurface m_canvas;
};

// The program's one preview document.
PreviewDocument& Preview();
