#include "reports/PreviewDocument.h"

#include "app/Prompts.h"
#include "reports/PaperSizes.h"

#include <algorithm>
#include <optional>

PreviewDocument& Preview() {
    static PreviewDocument document;
    return document;
}

void PreviewDocument::Init() {
    m_offsets.clear();
    m_indexRead = false;
    m_indexFromTrailer = false;
    m_passwordAsked = false;
    m_headerRead = false;
    m_header = {};
    m_currentPage = 1;
    m_key.startAt(1);
}

bool PreviewDocument::ReadPageIndex() {
    const std::optional<QList<qint64>> trailer = ReadPageTrailer(m_spoolPath);
    m_indexFromTrailer = trailer.has_value();
    m_offsets = trailer.value_or(QList<qint64>());
    m_indexRead = true;
    return m_indexFromTrailer;
}

void PreviewDocument::CheckProtected() {
    m_key = ScrambleKey();
    if (IsScrambledSpool(m_spoolPath)) {
        m_key = ScrambleKey(
            prompts().inputText(QStringLiteral("Protected"),
                                QStringLiteral("This report is password protected.  Please enter password:"),
                                QString(), std::nullopt));
    }
    m_passwordAsked = true;
}

void PreviewDocument::ReadSpoolHeader() {
    SpoolFileReader reader(m_spoolPath, m_key);
    if (reader.open())
        m_header = ::ReadSpoolHeader(reader);
    if (const PaperLayout* layout = FindPaperLayout(m_header.paperSize, m_header.orientation))
        m_canvas.resize({layout->canvasWidth, layout->canvasHeight});
    m_headerRead = true;
}

bool PreviewDocument::Load() {
    SpoolFileReader probe(m_spoolPath);
    if (!probe.open()) {
        m_offsets = {1};
        return false;
    }
    if (!m_indexRead)
        ReadPageIndex();
    if (!m_passwordAsked)
        CheckProtected();
    // Without a usable trailer the pages are found by reading the body once, which needs
    // the password first.
    if (m_offsets.isEmpty()) {
        SpoolFileReader scan(m_spoolPath, m_key);
        m_offsets = ScanPageOffsets(scan);
    }
    if (!m_headerRead)
        ReadSpoolHeader();
    return true;
}

bool PreviewDocument::RenderCurrentPage() {
    const bool readable = Load();
    m_currentPage = std::clamp(m_currentPage, 1, PageCount());
    m_canvas.beginPage();
    SpoolFileReader reader(m_spoolPath, m_key);
    if (readable && reader.open() && reader.seekTo(m_offsets.at(m_currentPage - 1))) {
        ScreenRenderer renderer(m_canvas, m_state);
        renderer.drawPage(reader);
    }
    m_canvas.endPage();
    return readable;
}
