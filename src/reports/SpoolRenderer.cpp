#include "reports/SpoolRenderer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTwipsPerInch = 1440;
// Positions from the file are kept within a sane distance of the page, so that no damaged
// number can push a painter into overflow.
constexpr double kFarthestInches = 100;
constexpr int kWidestPen = 100;
// Font sizes from the file are kept to what a page can show; narrowing a printer font steps
// down from the size read, so an absurd size would take absurdly long.
constexpr int kSmallestFont = 1;
constexpr int kLargestFont = 1000;
constexpr double kTenthsPerPoint = 10;
constexpr long kSmallestNarrowedTenths = 20;
constexpr double kLineAboveShare = 4;
constexpr double kLineBelowDivisor = 1.3;
const QString kNarrowingSample = QStringLiteral("WWWMMM");

double twips(double inches) {
    return std::clamp(inches, -kFarthestInches, kFarthestInches) * kTwipsPerInch;
}

int penWidth(int thickness) {
    return std::clamp(thickness, 1, kWidestPen);
}

std::optional<int> tabIndex(std::optional<int> index) {
    if (index && *index >= 0 && *index < spool::kTabCount)
        return index;
    return std::nullopt;
}

QColor windowsColor(int value) {
    const auto layout = static_cast<unsigned int>(value);
    return QColor(static_cast<int>(layout & 0xFF), static_cast<int>((layout >> 8) & 0xFF),
                  static_cast<int>((layout >> 16) & 0xFF));
}

bool drawsOnPaper(SpoolOp op) {
    return op == SpoolOp::Text || op == SpoolOp::Box || op == SpoolOp::LineAbove || op == SpoolOp::LineBelow;
}

} // namespace

void ResetTabs(TabTable& tabs) {
    std::fill(tabs.begin() + 1, tabs.end(), TabStop{});
}

SpoolRenderer::SpoolRenderer(TwipsSurface& surface, RenderState& state)
    : m_surface(surface)
    , m_state(state) {}

void SpoolRenderer::draw(const SpoolCommand& command) {
    switch (command.op) {
    case SpoolOp::Cr:
        newLine();
        break;
    case SpoolOp::Font:
        readFont(command);
        break;
    case SpoolOp::Bold:
        setStyle(true, false);
        break;
    case SpoolOp::Normal:
        setStyle(false, false);
        break;
    case SpoolOp::Italics:
        setStyle(false, true);
        break;
    case SpoolOp::FontColor:
        setColor(command);
        break;
    case SpoolOp::ResetTabs:
        ResetTabs(m_state.tabs);
        break;
    case SpoolOp::SetTab:
        setTab(command);
        break;
    case SpoolOp::SetPos:
        setPos(command);
        break;
    case SpoolOp::Text:
        drawText(command);
        break;
    case SpoolOp::Box:
        drawBox(command);
        break;
    case SpoolOp::LineAbove:
        drawRule(command, lineAboveY());
        break;
    case SpoolOp::LineBelow:
        drawRule(command, lineBelowY());
        break;
    default:
        break;
    }
}

void SpoolRenderer::newLine() {
    m_position.ry() += m_state.lineHeight + m_state.extraLineSpacing;
}

void SpoolRenderer::readFont(const SpoolCommand& command) {
    const std::optional<int> size = command.integer(0);
    const std::optional<int> style = command.integer(2);
    if (!size || !style)
        return;
    const int points = std::clamp(*size, kSmallestFont, kLargestFont);
    applyFont({command.text(1), static_cast<double>(points), *style == spool::kStyleBold,
               *style == spool::kStyleItalic});
}

void SpoolRenderer::setStyle(bool bold, bool italic) {
    SpoolFont font = m_surface.font();
    font.bold = bold;
    font.italic = italic;
    m_surface.setFont(font);
}

void SpoolRenderer::setColor(const SpoolCommand& command) {
    if (const std::optional<int> color = command.integer(0))
        m_surface.setColor(windowsColor(*color));
}

void SpoolRenderer::setTab(const SpoolCommand& command) {
    const std::optional<int> index = tabIndex(command.integer(0));
    const std::optional<double> position = command.decimal(1);
    const std::optional<int> alignment = command.integer(2);
    if (index && position && alignment)
        m_state.tabs.at(*index) = {*position, *alignment};
}

void SpoolRenderer::setPos(const SpoolCommand& command) {
    const std::optional<double> x = command.decimal(0);
    const std::optional<double> y = command.decimal(1);
    if (x && y)
        m_position = {twips(*x) + shift(), twips(*y) + shift()};
}

void SpoolRenderer::drawText(const SpoolCommand& command) {
    m_textTab = command.integer(1).value_or(m_textTab);
    if (!tabIndex(m_textTab))
        return;
    const TabStop& stop = m_state.tabs.at(m_textTab);
    const QString text = command.text(0);
    double x = twips(stop.position) + shift();
    switch (stop.alignment) {
    case spool::kAlignLeft:
        break;
    case spool::kAlignCentre:
        x -= m_surface.textWidth(text) / 2;
        break;
    case spool::kAlignRight:
        x -= m_surface.textWidth(text);
        break;
    default:
        return;
    }
    m_position.setX(x);
    m_surface.drawText(m_position, text);
}

void SpoolRenderer::drawBox(const SpoolCommand& command) {
    for (int i = 0; i < 4; ++i)
        m_box.at(i) = command.decimal(i).value_or(m_box.at(i));
    m_box[4] = command.integer(4).value_or(static_cast<int>(m_box[4]));
    const double offset = shift();
    m_surface.drawBox({twips(m_box[0]) + offset, twips(m_box[1]) + offset},
                      {twips(m_box[2]) + offset, twips(m_box[3]) + offset},
                      penWidth(static_cast<int>(m_box[4])));
}

void SpoolRenderer::drawRule(const SpoolCommand& command, double y) {
    const std::optional<int> index = tabIndex(command.integer(0));
    const std::optional<double> length = command.decimal(1);
    const std::optional<int> thickness = command.integer(2);
    if (!index || !length || !thickness)
        return;
    const double start = m_state.tabs.at(*index).position;
    m_surface.drawRule({twips(start), y}, {twips(start + *length), y}, penWidth(*thickness));
}

void ScreenRenderer::drawPage(SpoolFileReader& reader) {
    startPage();
    while (!reader.atEnd()) {
        const SpoolCommand command = ReadSpoolCommand(reader);
        if (command.op == SpoolOp::NewPage || command.op == SpoolOp::EndOfReport)
            return;
        draw(command);
    }
}

double ScreenRenderer::shift() const {
    return 45;
}

void ScreenRenderer::applyFont(const SpoolFont& font) {
    surface().setFont(font);
    state().lineHeight = static_cast<int>(std::lround(surface().textHeight()));
}

PrintRenderer::PrintRenderer(TwipsSurface& printer, PrintPages& pages, TwipsSurface& canvas,
                             RenderState& state, Progress progress)
    : SpoolRenderer(printer, state)
    , m_pages(pages)
    , m_canvas(canvas)
    , m_progress(std::move(progress)) {}

bool PrintRenderer::print(SpoolFileReader& reader) {
    ResetTabs(state().tabs);
    m_page = 1;
    startPage();
    // A report that sets no font of its own prints in the font the preview shows it in.
    if (!m_canvas.font().face.isEmpty())
        applyFont(m_canvas.font());
    if (!reader.open() || !reader.seekTo(1))
        return true;
    bool screenOnly = false;
    while (!reader.atEnd()) {
        if (m_progress.cancelled && m_progress.cancelled())
            return false;
        const SpoolCommand command = ReadSpoolCommand(reader);
        if (command.op == SpoolOp::EndOfReport)
            break;
        if (command.op == SpoolOp::ScreenOnly) {
            screenOnly = true;
            continue;
        }
        apply(command, screenOnly);
        screenOnly = false;
    }
    return true;
}

void PrintRenderer::apply(const SpoolCommand& command, bool screenOnly) {
    if (ApplyHeaderCommand(command, m_header)) {
        if (screenOnly)
            return;
        if (command.op == SpoolOp::Orientation)
            m_pages.setOrientation(m_header.orientation);
        else if (command.op == SpoolOp::PaperSize)
            m_pages.setPaperSize(m_header.paperSize);
    } else if (command.op == SpoolOp::NewPage) {
        if (!screenOnly)
            startNextPage();
    } else if (!screenOnly || !drawsOnPaper(command.op)) {
        draw(command);
    }
}

void PrintRenderer::startNextPage() {
    m_pages.newPage();
    startPage();
    ++m_page;
    if (m_progress.pageStarted)
        m_progress.pageStarted(m_page);
}

void PrintRenderer::applyFont(const SpoolFont& font) {
    surface().setFont(font);
    m_canvas.setFont(font);
    const double canvasWidth = m_canvas.textWidth(kNarrowingSample);
    // Counted in tenths of a point, so that repeated steps add up exactly.
    SpoolFont narrowed = font;
    long tenths = std::lround(font.points * kTenthsPerPoint);
    while (surface().textWidth(kNarrowingSample) > canvasWidth && tenths > kSmallestNarrowedTenths) {
        --tenths;
        narrowed.points = static_cast<double>(tenths) / kTenthsPerPoint;
        surface().setFont(narrowed);
    }
    state().lineHeight = static_cast<int>(std::lround(surface().textHeight()));
    const int canvasHeight = static_cast<int>(std::lround(m_canvas.textHeight()));
    state().extraLineSpacing = std::max(0, canvasHeight - state().lineHeight);
}

double PrintRenderer::lineAboveY() const {
    return position().y() - surface().textHeight() / kLineAboveShare;
}

double PrintRenderer::lineBelowY() const {
    return position().y() + surface().textHeight() / kLineBelowDivisor;
}
