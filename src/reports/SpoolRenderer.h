#pragma once

#include "reports/SpoolFormat.h"
#include "reports/SpoolReader.h"
#include "reports/TwipsSurface.h"

#include <array>
#include <functional>

struct TabStop {
    double position = 0; // inches
    int alignment = spool::kAlignLeft;
};
using TabTable = std::array<TabStop, spool::kTabCount>;

// Stops 1 to 20 back to position 0, aligned left; stop 0 keeps what it has.
void ResetTabs(TabTable& tabs);

// What drawing keeps from one command to the next, and from one page and report to the next:
// a report written after the first one of a run may set no font or stops of its own.
struct RenderState {
    TabTable tabs{};
    int lineHeight = 0;       // twips
    int extraLineSpacing = 0; // twips, printing only
};

// Draws the body commands of a spool file on a surface. The screen and the printer differ
// in a few commands; the two renderers below supply those differences.
class SpoolRenderer {
public:
    SpoolRenderer(TwipsSurface& surface, RenderState& state);
    virtual ~SpoolRenderer() = default;
    SpoolRenderer(const SpoolRenderer&) = delete;
    SpoolRenderer& operator=(const SpoolRenderer&) = delete;

    // Back to the top-left corner, as a cleared page starts.
    void startPage() { m_position = {}; }
    // Draws or applies one command; header and page commands change nothing here.
    void draw(const SpoolCommand& command);
    QPointF position() const { return m_position; }

protected:
    // Twips added to every position taken from the file.
    virtual double shift() const = 0;
    virtual void applyFont(const SpoolFont& font) = 0;
    virtual double lineAboveY() const = 0;
    virtual double lineBelowY() const = 0;

    TwipsSurface& surface() const { return m_surface; }
    RenderState& state() const { return m_state; }

private:
    void newLine();
    void readFont(const SpoolCommand& command);
    void setStyle(bool bold, bool italic);
    void setColor(const SpoolCommand& command);
    void setTab(const SpoolCommand& command);
    void setPos(const SpoolCommand& command);
    void drawText(const SpoolCommand& command);
    void drawBox(const SpoolCommand& command);
    void drawRule(const SpoolCommand& command, double y);

    TwipsSurface& m_surface;
    RenderState& m_state;
    QPointF m_position;
    // What a "/TEXT" stop and the "/BOX" values fall back to when they cannot be read.
    int m_textTab = 0;
    std::array<double, 5> m_box{};
};

// The preview's renderer: one page at a time on the page canvas, 45 twips in from its edges.
class ScreenRenderer : public SpoolRenderer {
public:
    using SpoolRenderer::SpoolRenderer;

    // Draws from the reader's position to the end of that page ("/NEWPAGE", "/ENDOFREPORT"
    // or the end of the file).
    void drawPage(SpoolFileReader& reader);

protected:
    double shift() const override;
    void applyFont(const SpoolFont& font) override;
    double lineAboveY() const override { return position().y(); }
    double lineBelowY() const override { return position().y() + surface().textHeight(); }
};

// What printing needs of the printer beyond drawing.
class PrintPages {
public:
    virtual ~PrintPages() = default;
    virtual void newPage() = 0;
    // Codes as the spool file holds them; unknown codes are ignored.
    virtual void setOrientation(int code) = 0;
    virtual void setPaperSize(int code) = 0;
};

// The printer's renderer: every page in one pass. The printer font is narrowed until a test
// text is no wider than on the page canvas, and lines are spaced at least as far apart as
// on screen, so printed pages break their lines where the preview does.
class PrintRenderer : public SpoolRenderer {
public:
    struct Progress {
        std::function<bool()> cancelled;
        std::function<void(int page)> pageStarted;
    };

    PrintRenderer(TwipsSurface& printer, PrintPages& pages, TwipsSurface& canvas, RenderState& state,
                  Progress progress);

    // Prints the whole file from its first byte; false when cancelled part way.
    bool print(SpoolFileReader& reader);
    const SpoolHeader& header() const { return m_header; }
    int pagesStarted() const { return m_page; }

protected:
    double shift() const override { return 0; }
    void applyFont(const SpoolFont& font) override;
    double lineAboveY() const override;
    double lineBelowY() const override;

private:
    void apply(const SpoolCommand& command, bool screenOnly);
    void startNextPage();

    PrintPages& m_pages;
    TwipsSurface& m_canvas;
    Progress m_progress;
    SpoolHeader m_header;
    int m_page = 1;
};
