#include "reports/ReportWriter.h"

#include "app/Paths.h"
#include "app/Settings.h"
#include "db/Catalogue.h"
#include "db/RecordHelpers.h"
#include "reports/PreviewHost.h"
#include "reports/Printers.h"
#include "reports/Report.h"
#include "reports/ReportFormats.h"
#include "reports/frmPrinting.h"

#include <QCoreApplication>
#include <cmath>
#include <utility>

namespace {

// A page is full when the next line would start within this distance of its bottom.
constexpr int kPageFooterTwips = 2000;
// What a line advances before any font was measured.
constexpr int kDefaultLineHeight = 250;
// A right-aligned column keeps this much room (inches) for the text that ends at it.
constexpr double kRightColumnGap = 0.75;
// How often (milliseconds) a running report lets window events through, so the printing
// window repaints and its Cancel button is heard without slowing the writing down.
constexpr qint64 kEventIntervalMs = 25;
constexpr int kMaxTempNameTries = 32768;
// Lines are gathered and handed to the file in blocks of this size.
constexpr qsizetype kWriteBlock = 64 * 1024;
constexpr int kFirstPageOffset = 1;

const QString kReportFace = QStringLiteral("Times New Roman");
constexpr double kReportFontSize = 10;

QString withoutTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end);
}

// The longest start of the text no wider than the width, never splitting a surrogate pair.
qsizetype fittingLength(const PageCanvas& canvas, const QString& text, int widthTwips) {
    if (canvas.TextWidth(text) <= widthTwips)
        return text.size();
    qsizetype fits = 0;
    qsizetype tooWide = text.size();
    while (tooWide - fits > 1) {
        const qsizetype middle = fits + (tooWide - fits) / 2;
        if (canvas.TextWidth(text.left(middle)) <= widthTwips)
            fits = middle;
        else
            tooWide = middle;
    }
    if (fits > 0 && text[fits - 1].isHighSurrogate())
        --fits;
    return fits;
}

ReportWriter::Hooks programHooks() {
    return {[] { ClosePreview(); }, [](const QString& file) { ShowPreview(file); },
            [] {
                return QDateTime::currentDateTime();
            }};
}

} // namespace

QString StripLineBreaks(const QString& text) {
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QString result = text;
    result.replace(QLatin1StringView("\r\n"), QLatin1StringView(" "));
    result.replace(u'\r', u' ');
    result.replace(u'\n', u' ');
    return result;
}

ReportWriter& Writer() {
    static ReportWriter writer;
    return writer;
}

ReportWriter::ReportWriter()
    : m_hooks(programHooks())
    , m_pageOffsets{kFirstPageOffset}
    , m_eventInterval(kEventIntervalMs) {}

ReportWriter::Hooks ReportWriter::SetHooks(Hooks hooks) {
    Hooks previous = std::move(m_hooks);
    m_hooks = std::move(hooks);
    return previous;
}

qint64 ReportWriter::SetEventInterval(qint64 milliseconds) {
    return std::exchange(m_eventInterval, milliseconds);
}

bool ReportWriter::BeginReport(Report& report, int orientation, int paperSize, const QString& password) {
    // Window events run while a report is written; a second report cannot start inside one.
    if (IsWriting())
        return false;
    m_hooks.closePreview();
    const QString printer = GetSetting(QStringLiteral("Printer"));
    if (!printer.isEmpty())
        SelectPrinter(printer);

    m_key = ScrambleKey(password);
    m_orientation = orientation == kOrientationLandscape ? kOrientationLandscape : kOrientationPortrait;
    m_paperSize = paperSize == kPaperLegal ? kPaperLegal : kPaperLetter;
    m_layout = FindPaperLayout(m_paperSize, m_orientation);
    m_pageHeight = m_layout->pageHeight;
    gReportCancelled = false;
    m_page = 1;
    m_pageOffsets = {kFirstPageOffset};
    // Each file names its own font at its first SetFont, so it draws right on its own.
    m_face.clear();
    m_size = 0;

    m_path = MakeTempFileName(QStringLiteral("tmp"));
    m_file.setFileName(m_path);
    if (m_path.isEmpty() || !m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    m_bytesWritten = 0;
    m_pending.resize(0);
    m_pending.reserve(kWriteBlock + kWriteBlock / 4);
    m_writeFailed = false;
    WriteHeader(report.Name());
    m_y = 0;
    m_sinceEvents.invalidate();
    OpenPrintingWindow(QStringLiteral("Building Report"), report.Name(), true);
    ResetTabs();
    report.PrintHeading();
    return true;
}

void ReportWriter::WriteHeader(const QString& reportName) {
    const QDateTime now = m_hooks.now();
    WriteSpoolLine(spool::kVersion);
    WriteSpoolLine(QString::number(spool::kFileVersion));
    WriteSpoolLine(spool::kReportName);
    WriteSpoolLine(StripLineBreaks(reportName));
    WriteSpoolLine(spool::kCreatedBy);
    WriteSpoolLine(spool::kCreator);
    WriteSpoolLine(spool::kCreateDate);
    WriteSpoolLine(FormatReportDate(now.date()));
    WriteSpoolLine(spool::kCreateTime);
    WriteSpoolLine(now.time().toString(QStringLiteral("hh:mm:ss")));
    WriteSpoolLine(spool::kNote);
    WriteSpoolLine(QString());
    WriteSpoolLine(spool::kOrientation);
    WriteSpoolLine(QString::number(m_orientation));
    WriteSpoolLine(spool::kPaperSize);
    WriteSpoolLine(QString::number(m_paperSize));
    WriteSpoolLine(spool::kBeginningOfReport);
}

ReportOutcome ReportWriter::EndReport() {
    ClosePrintingWindow();
    if (!IsWriting())
        return ReportOutcome::Failed;
    WriteSpoolLine(spool::kEndOfReport);
    WriteRaw(QByteArray(spool::kPageByteOffsets.data(), spool::kPageByteOffsets.size()));
    WriteRaw(QByteArray::number(m_pageOffsets.size()));
    for (const qint32 offset : std::as_const(m_pageOffsets))
        WriteRaw(QByteArray::number(offset));
    FlushPending();
    m_writeFailed = m_writeFailed || !m_file.flush();
    m_file.close();
    if (gReportCancelled || m_writeFailed) {
        m_hooks.closePreview();
        QFile::remove(m_path);
        return gReportCancelled ? ReportOutcome::Cancelled : ReportOutcome::Failed;
    }
    m_hooks.showPreview(m_path);
    return ReportOutcome::Previewed;
}

void ReportWriter::WriteSpoolLine(const QString& text) {
    WriteRaw(ScrambleLine(text.toUtf8(), m_key));
}

void ReportWriter::WriteSpoolLine(QLatin1StringView command) {
    WriteRaw(ScrambleLine(QByteArray::fromRawData(command.data(), command.size()), m_key));
}

void ReportWriter::WriteRaw(const QByteArray& line) {
    if (!m_file.isOpen())
        return;
    m_pending.append(line).append(spool::kLineEnd, 2);
    m_bytesWritten += line.size() + 2;
    if (m_pending.size() >= kWriteBlock)
        FlushPending();
}

void ReportWriter::FlushPending() {
    if (!m_writeFailed && m_file.write(m_pending) != m_pending.size())
        m_writeFailed = true;
    m_pending.resize(0); // keeps the block's room for the next lines
}

void ReportWriter::LetEventsRun() {
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < m_eventInterval)
        return;
    if (frmPrinting* window = PrintingWindow()) {
        const int percent = m_pageHeight > 0 ? static_cast<int>(m_y * 100.0 / m_pageHeight) : 0;
        window->SetPercentage(QString::number(percent) + u'%');
    }
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

void ReportWriter::NewLine(Report* report) {
    if (m_lineHeight == 0)
        m_lineHeight = kDefaultLineHeight;
    m_y += m_lineHeight;
    LetEventsRun();
    if (report && m_y > m_pageHeight - kPageFooterTwips)
        NewPage(*report);
    WriteSpoolLine(spool::kCr);
}

void ReportWriter::NewPage(Report& report) {
    ++m_page;
    if (frmPrinting* window = PrintingWindow())
        window->SetReportPage(report.Name(), m_page);
    WriteSpoolLine(spool::kNewPage);
    WriteSpoolLine(QString::number(m_page));
    m_pageOffsets.resize(m_page);
    m_pageOffsets[m_page - 1] = static_cast<qint32>(m_bytesWritten + 1);
    m_y = 0;
    report.PrintHeading();
}

void ReportWriter::SetFont(double size, const QString& face, int style) {
    if (face != m_face || size != m_size) {
        WriteSpoolLine(spool::kFont);
        WriteSpoolLine(spool::FormatDecimal(size));
        WriteSpoolLine(face);
        WriteSpoolLine(QString::number(style));
    } else if (style == spool::kStyleNormal) {
        WriteSpoolLine(spool::kNormal);
    } else if (style == spool::kStyleBold) {
        WriteSpoolLine(spool::kBold);
    } else if (style == spool::kStyleItalic) {
        WriteSpoolLine(spool::kItalics);
    }
    ApplyCanvasFont(size, face, style);
    m_face = face;
    m_size = size;
    m_style = style;
}

void ReportWriter::ApplyCanvasFont(double size, const QString& face, int style) {
    if (face == m_canvasFace && size == m_canvasSize && style == m_canvasStyle)
        return;
    m_canvas.SetFont(CanvasFont(face, size, style));
    m_lineHeight = m_canvas.TextHeight(QStringLiteral("X"));
    m_canvasFace = face;
    m_canvasSize = size;
    m_canvasStyle = style;
}

void ReportWriter::SetTab(int index, double position, int alignment) {
    if (index < 0 || index >= spool::kTabCount)
        return;
    m_tabs[static_cast<size_t>(index)] = {position, alignment};
    WriteSpoolLine(spool::kSetTab);
    WriteSpoolLine(QString::number(index));
    WriteSpoolLine(spool::FormatDecimal(position));
    WriteSpoolLine(QString::number(alignment));
}

void ReportWriter::ResetTabs() {
    for (size_t i = 1; i < m_tabs.size(); ++i)
        m_tabs[i] = {};
    WriteSpoolLine(spool::kResetTabs);
}

void ReportWriter::PrintBox(double x1, double y1, double x2, double y2, int thickness) {
    WriteSpoolLine(spool::kBox);
    for (const double value : {x1, y1, x2, y2})
        WriteSpoolLine(spool::FormatDecimal(value));
    WriteSpoolLine(QString::number(thickness));
}

void ReportWriter::LineAbove(int tab, double length, int thickness) {
    WriteSpoolLine(spool::kLineAbove);
    WriteSpoolLine(QString::number(tab));
    WriteSpoolLine(spool::FormatDecimal(length));
    WriteSpoolLine(QString::number(thickness));
}

void ReportWriter::ScreenOnly() {
    WriteSpoolLine(spool::kScreenOnly);
}

QString ReportWriter::FitPiece(const QString& rest, int tab, QString& remainder) const {
    remainder.clear();
    if (tab < 0 || tab + 1 >= spool::kTabCount)
        return rest;
    const TabStop& here = m_tabs[static_cast<size_t>(tab)];
    const TabStop& next = m_tabs[static_cast<size_t>(tab + 1)];
    const bool leftLeft = here.alignment == spool::kAlignLeft && next.alignment == spool::kAlignLeft;
    const bool leftRight = here.alignment == spool::kAlignLeft && next.alignment == spool::kAlignRight;
    if (!(next.position > here.position) || !(leftLeft || leftRight))
        return rest;
    const double column = next.position - here.position - (leftRight ? kRightColumnGap : 0.0);
    const long widthTwips = std::lround(column * PageCanvas::kTwipsPerInch);
    if (widthTwips < 1)
        return rest;
    const qsizetype length = fittingLength(m_canvas, rest, static_cast<int>(widthTwips));
    // When not one character fits, the rest is dropped: wrapping it would never end.
    if (length > 0)
        remainder = rest.mid(length);
    return rest.left(length);
}

bool ReportWriter::FitsColumn(const QString& text, int tab) const {
    QString remainder;
    const QString line = StripLineBreaks(withoutTrailingBlanks(text));
    return FitPiece(line, tab, remainder).size() == line.size();
}

void ReportWriter::PrintText(Report* report, const QVariant& value, int tab, int style) {
    const int rememberedStyle = m_style;
    if (style > spool::kStyleKeep)
        SetFont(m_size, m_face, style);
    QString rest = StripLineBreaks(withoutTrailingBlanks(NullToEmpty(value)));
    for (;;) {
        LetEventsRun();
        WriteSpoolLine(spool::kText);
        QString remainder;
        WriteSpoolLine(FitPiece(rest, tab, remainder));
        WriteSpoolLine(QString::number(tab));
        if (style != spool::kStyleNormal || withoutTrailingBlanks(remainder).isEmpty())
            break;
        rest = remainder;
        NewLine(report);
    }
    if (style > spool::kStyleKeep)
        SetFont(m_size, m_face, rememberedStyle);
}

void ReportWriter::PrintPageHeading(Report& report) {
    ScreenOnly();
    const InchBox& frame = m_layout->frame;
    PrintBox(frame.x1, frame.y1, frame.x2, frame.y2, 1);
    SetTab(1, m_layout->headingStops[0], spool::kAlignLeft);
    SetTab(2, m_layout->headingStops[1], spool::kAlignCentre);
    SetTab(3, m_layout->headingStops[2], spool::kAlignRight);
    SetFont(kReportFontSize, kReportFace, spool::kStyleNormal);
    NewLine(&report);
    PrintText(&report, QString(QStringLiteral("Database: ") + CatalogueDisplayName()), 1, spool::kStyleKeep);
    SetFont(kReportFontSize, kReportFace, spool::kStyleBold);
    PrintText(&report, report.Name(), 2, spool::kStyleKeep);
    SetFont(kReportFontSize, kReportFace, spool::kStyleNormal);
    PrintText(&report, QString(QStringLiteral("Page ") + QString::number(m_page)), 3, spool::kStyleKeep);
    NewLine(&report);
    PrintText(&report, FormatReportDate(m_hooks.now().date()), 3, spool::kStyleKeep);
    NewLine(&report);
    ResetTabs();
}

QString ReportWriter::MakeTempFileName(const QString& extension) const {
    const QString folder = SpoolFolder();
    const QTime time = m_hooks.now().time();
    const int base = time.hour() * 3600 + time.minute() * 60 + time.second();
    for (int n = 0; n < kMaxTempNameTries; ++n) {
        const QString candidate =
            folder + u'/' + QStringLiteral("%1").arg(base + n, 8, 10, QLatin1Char('0')) + u'.' + extension;
        if (!QFile::exists(candidate))
            return candidate;
    }
    return QString();
}
