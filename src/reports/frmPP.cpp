#include "reports/frmPP.h"

#include "app/FileCopy.h"
#include "app/Paths.h"
#include "app/Prompts.h"
#include "app/Twips.h"
#include "reports/PagingArrows.h"
#include "reports/PreviewDocument.h"
#include "reports/PrintSpool.h"
#include "reports/TwipsRect.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <limits>

namespace {

constexpr int kMinimumWidth = 4000; // twips
constexpr int kMinimumHeight = 3500;
constexpr int kViewportNarrower = 600;
constexpr int kViewportLower = 1350;
constexpr int kViewportLeft = 120;
constexpr int kViewportTop = 600;
constexpr int kButtonTop = 90;
constexpr int kButtonHeight = 390;
constexpr int kArrowWidth = 480;
constexpr int kPageLabelWidth = 1500;
constexpr int kCommandWidth = 1000;
constexpr int kGap = 120;

QString applicationTitle() {
    return QCoreApplication::applicationName();
}

// A scroll position is a 16-bit value, as the scroll bars hold it.
int clampToShort(int value) {
    return std::clamp(value, 0, static_cast<int>(std::numeric_limits<qint16>::max()));
}

void applyRange(QScrollBar* bar, const ScrollRange& range) {
    bar->setRange(0, range.maximum);
    bar->setSingleStep(range.otherStep);
    bar->setPageStep(range.arrowKeyStep);
    bar->update();
}

QString infoText(const PreviewDocument& document) {
    const SpoolHeader& header = document.Header();
    const QStringList lines{
        QStringLiteral("/VERSION=") + QString::number(header.version),
        QStringLiteral("/PAPERSIZE=") + QString::number(header.paperSize),
        QStringLiteral("/ORIENTATION=") + QString::number(header.orientation),
        QStringLiteral("/REPORTNAME=") + header.reportName,
        QStringLiteral("/CREATEDBY=") + header.createdBy,
        QStringLiteral("/CREATEDATE=") + header.createDate,
        QStringLiteral("/CREATETIME=") + header.createTime,
        QStringLiteral("/NOTE=") + header.note,
        QStringLiteral("Page Count=") + QString::number(document.PageCount()),
    };
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace

ScrollRange ScrollRangeFor(int canvasTwips, int viewportTwips) {
    const int maximum = TwipsToPixels(canvasTwips - viewportTwips);
    if (maximum < 0)
        return {0, 1, 1};
    const int clamped = clampToShort(maximum);
    return {clamped, clamped / 2, clamped / 4};
}

PageViewport::PageViewport(QWidget* parent)
    : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
}

void PageViewport::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        const QRect inner = contentsRect();
        painter.fillRect(inner, palette().color(QPalette::Dark));
        painter.setClipRect(inner);
        painter.translate(inner.topLeft() - m_origin);
        // The page is painted afresh at the screen's own resolution, so its text stays sharp
        // on a scaled screen.
        const CanvasSurface& canvas = Preview().Canvas();
        const QSize page(TwipsToPixels(canvas.sizeInTwips().width()),
                         TwipsToPixels(canvas.sizeInTwips().height()));
        painter.fillRect(QRect(QPoint(), page), Qt::white);
        canvas.picture().paint(painter);
    }
    QFrame::paintEvent(event);
}

frmPP::frmPP(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_spoolFile(Preview().SpoolPath()) {
    setObjectName(QStringLiteral("frmPP"));
    setWindowTitle(QStringLiteral("Print Preview"));
    if (QWidget* main = QApplication::activeWindow())
        setWindowIcon(main->windowIcon());
    setMinimumSize(TwipsToPixels(kMinimumWidth), TwipsToPixels(kMinimumHeight));
    createCommandButtons(createPagingControls());
    createViewport();
    // The window sees every key before its controls do.
    qApp->installEventFilter(this);
}

int frmPP::createPagingControls() {
    const struct {
        QToolButton** button;
        const char* name;
        PagingArrow arrow;
        const char* tip;
        void (frmPP::*click)();
    } arrows[] = {
        {&cmdFirst, "cmdFirst", PagingArrow::First, "First page (Home)", &frmPP::cmdFirst_Click},
        {&cmdPrev, "cmdPrev", PagingArrow::Previous, "Previous page (Page Up)", &frmPP::cmdPrev_Click},
        {&cmdNext, "cmdNext", PagingArrow::Next, "Next page (Page Down)", &frmPP::cmdNext_Click},
        {&cmdLast, "cmdLast", PagingArrow::Last, "Last page (End)", &frmPP::cmdLast_Click},
    };
    int left = kViewportLeft;
    for (const auto& arrow : arrows) {
        auto* button = new PagingButton(arrow.arrow, this);
        button->setObjectName(QLatin1String(arrow.name));
        const QString tip = QLatin1String(arrow.tip);
        button->setToolTip(tip);
        button->setAccessibleName(tip.left(tip.indexOf(QStringLiteral(" ("))));
        button->setGeometry(TwipsRect(left, kButtonTop, kArrowWidth, kButtonHeight));
        connect(button, &QToolButton::clicked, this, arrow.click);
        *arrow.button = button;
        left += kArrowWidth;
    }

    lblPage = new QLabel(QStringLiteral("Page: 1"), this);
    lblPage->setObjectName(QStringLiteral("lblPage"));
    lblPage->setAlignment(Qt::AlignCenter);
    lblPage->setGeometry(TwipsRect(left + kGap, kButtonTop, kPageLabelWidth, kButtonHeight));
    return left + kGap + kPageLabelWidth + kGap;
}

void frmPP::createCommandButtons(int left) {
    const struct {
        QPushButton** button;
        const char* name;
        const char* caption;
        const char* tip;
        void (frmPP::*click)();
    } commands[] = {
        {&cmdPrint, "cmdPrint", "&Print", "Print every page (Ctrl+P)", &frmPP::cmdPrint_Click},
        {&cmdSave, "cmdSave", "&Save", "Save a copy of the report file", &frmPP::cmdSave_Click},
        {&cmdInfo, "cmdInfo", "&Info", "About this report", &frmPP::cmdInfo_Click},
        {&cmdClose, "cmdClose", "&Close", "Close the preview (Esc)", &frmPP::cmdClose_Click},
    };
    for (const auto& command : commands) {
        auto* button = new QPushButton(QLatin1String(command.caption), this);
        button->setObjectName(QLatin1String(command.name));
        button->setToolTip(QLatin1String(command.tip));
        button->setGeometry(TwipsRect(left, kButtonTop, kCommandWidth, kButtonHeight));
        connect(button, &QPushButton::clicked, this, command.click);
        *command.button = button;
        left += kCommandWidth + kGap;
    }
}

void frmPP::createViewport() {
    picPPshow = new PageViewport(this);
    picPPshow->setObjectName(QStringLiteral("picPPshow"));
    hscBar = new QScrollBar(Qt::Horizontal, this);
    hscBar->setObjectName(QStringLiteral("hscBar"));
    vscBar = new QScrollBar(Qt::Vertical, this);
    vscBar->setObjectName(QStringLiteral("vscBar"));
    connect(hscBar, &QScrollBar::valueChanged, this, &frmPP::scrolled);
    connect(vscBar, &QScrollBar::valueChanged, this, &frmPP::scrolled);
    // Hidden until the first resize has placed them.
    picPPshow->hide();
    hscBar->hide();
    vscBar->hide();
}

frmPP::~frmPP() {
    removeSpoolFile();
}

void frmPP::layoutViewport() {
    picPPshow->setGeometry(TwipsRect(kViewportLeft, kViewportTop, PixelsToTwips(width()) - kViewportNarrower,
                                     PixelsToTwips(height()) - kViewportLower));
    picPPshow->show();
}

void frmPP::LayoutScrollBars() {
    const QRect view = picPPshow->geometry();
    const int thickness = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, hscBar);
    hscBar->setGeometry(view.left(), view.top() + view.height(), view.width(), thickness);
    vscBar->setGeometry(view.left() + view.width(), view.top(), thickness, view.height());

    const QSize canvas = Preview().Canvas().sizeInTwips();
    const QSize inner = picPPshow->contentsRect().size();
    const ScrollRange horizontal = ScrollRangeFor(canvas.width(), PixelsToTwips(inner.width()));
    const ScrollRange vertical = ScrollRangeFor(canvas.height(), PixelsToTwips(inner.height()));
    applyRange(hscBar, horizontal);
    applyRange(vscBar, vertical);
    m_hArrowStep = horizontal.arrowKeyStep;
    m_vArrowStep = vertical.arrowKeyStep;
}

void frmPP::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isMinimized())
        return;
    layoutViewport();
    LayoutScrollBars();
    hscBar->show();
    vscBar->show();
    ShowPage();
}

void frmPP::ShowPage() {
    m_scroll = {};
    hscBar->setValue(0);
    vscBar->setValue(0);
    PreviewDocument& document = Preview();
    document.RenderCurrentPage();
    // Reading the header may have given the page another paper size.
    LayoutScrollBars();
    lblPage->setText(QStringLiteral("Page: ") + QString::number(document.CurrentPage()));
    BlitViewport();
}

void frmPP::BlitViewport() {
    picPPshow->setOrigin(m_scroll);
    picPPshow->update();
}

void frmPP::scrolled() {
    m_scroll = {hscBar->value(), vscBar->value()};
    BlitViewport();
}

void frmPP::goToPage(int page) {
    Preview().SetCurrentPage(page);
    ShowPage();
}

void frmPP::cmdFirst_Click() {
    if (Preview().CurrentPage() != 1)
        goToPage(1);
}

void frmPP::cmdPrev_Click() {
    if (Preview().CurrentPage() > 1)
        goToPage(Preview().CurrentPage() - 1);
}

void frmPP::cmdNext_Click() {
    if (Preview().CurrentPage() < Preview().PageCount())
        goToPage(Preview().CurrentPage() + 1);
}

void frmPP::cmdLast_Click() {
    if (Preview().CurrentPage() != Preview().PageCount())
        goToPage(Preview().PageCount());
}

void frmPP::cmdPrint_Click() {
    m_printing = true;
    setEnabled(false);
    const PrintOutcome outcome = PrintSpool(Preview());
    setEnabled(true);
    m_printing = false;
    // Nothing printed (no file chosen, or the printer would not open): the preview stays.
    if (outcome == PrintOutcome::Printed || outcome == PrintOutcome::Cancelled)
        close();
}

void frmPP::cmdSave_Click() {
    const QString target = ReportCopyPath();
    if (prompts().ask(applicationTitle(), QStringLiteral("Save report to ") + target + u'?',
                      PromptButtons::YesNo, PromptIcon::Question) != PromptAnswer::Yes)
        return;
    if (!CopyFileWhole(m_spoolFile, target)) {
        TellError(QStringLiteral("Cannot copy the report to ") + target + u'.');
    }
}

void frmPP::cmdInfo_Click() {
    prompts().tell(applicationTitle(), infoText(Preview()), PromptIcon::None);
}

void frmPP::cmdClose_Click() {
    close();
}

void frmPP::closeEvent(QCloseEvent* event) {
    if (m_printing) {
        event->ignore();
        return;
    }
    removeSpoolFile();
    event->accept();
}

void frmPP::removeSpoolFile() {
    if (!m_spoolFile.isEmpty() && QFile::exists(m_spoolFile))
        QFile::remove(m_spoolFile);
}

bool frmPP::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != this)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    return keyDown(key->key(), key->modifiers());
}

bool frmPP::keyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (m_printing || (modifiers & ~Qt::KeypadModifier) == Qt::AltModifier)
        return false;
    // The keys desktop programs close and print with.
    if (key == Qt::Key_Escape) {
        cmdClose_Click();
        return true;
    }
    if (key == Qt::Key_P && (modifiers & Qt::ControlModifier)) {
        cmdPrint_Click();
        return true;
    }
    switch (key) {
    case Qt::Key_PageUp:
        cmdPrev_Click();
        return true;
    case Qt::Key_PageDown:
        cmdNext_Click();
        return true;
    case Qt::Key_End:
        cmdLast_Click();
        return true;
    case Qt::Key_Home:
        cmdFirst_Click();
        return true;
    case Qt::Key_Left:
        scrollBy(-m_hArrowStep, 0);
        return true;
    case Qt::Key_Right:
        scrollBy(m_hArrowStep, 0);
        return true;
    case Qt::Key_Up:
        scrollBy(0, -m_vArrowStep);
        return true;
    case Qt::Key_Down:
        scrollBy(0, m_vArrowStep);
        return true;
    default:
        scrollBy(0, 0);
        return false;
    }
}

void frmPP::scrollBy(int dx, int dy) {
    const QPoint wanted = m_scroll + QPoint(dx, dy);
    const QPoint clamped(std::clamp(wanted.x(), hscBar->minimum(), hscBar->maximum()),
                         std::clamp(wanted.y(), vscBar->minimum(), vscBar->maximum()));
    m_scroll = clamped;
    hscBar->setValue(clamped.x());
    vscBar->setValue(clamped.y());
    BlitViewport();
}
