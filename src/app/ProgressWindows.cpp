#include "app/ProgressWindows.h"

#include "app/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <memory>

bool gCancelled = false;

namespace {

constexpr int kWindowWidth = 5400;
constexpr int kSplashHeight = 1425;
constexpr int kProgressLoadedHeight = 1425;
constexpr int kProgressRunningHeight = 1965;
constexpr int kProgressCancelHeight = 2000;
constexpr int kCancelTop = 1080;
constexpr int kCancelHeight = 375;
constexpr int kCancelWidth = 1215;
constexpr int kMargin = 240;
constexpr int kStatusTop = 180;
constexpr int kBarTop = 540;
constexpr int kBarHeight = 300;

std::unique_ptr<frmSplash>& splash() {
    static std::unique_ptr<frmSplash> window;
    return window;
}

std::unique_ptr<frmProgress>& progress() {
    static std::unique_ptr<frmProgress> window;
    return window;
}

QRect twipsRect(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

} // namespace

ProgressWindowBase::ProgressWindowBase(const QString& objectName, QWidget* parent)
    : QDialog(parent) {
    setObjectName(objectName);
    setModal(false);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setGeometry(twipsRect(kMargin, kStatusTop, kWindowWidth - 2 * kMargin, 300));
    shpBackground = new QFrame(this);
    shpBackground->setObjectName(QStringLiteral("shpBackground"));
    shpBackground->setFrameShape(QFrame::Box);
    shpBackground->setGeometry(twipsRect(kMargin, kBarTop, kWindowWidth - 2 * kMargin, kBarHeight));
    shpForeground = new QFrame(this);
    shpForeground->setObjectName(QStringLiteral("shpForeground"));
    shpForeground->setAutoFillBackground(true);
    QPalette bar = shpForeground->palette();
    bar.setColor(QPalette::Window, palette().color(QPalette::Highlight));
    shpForeground->setPalette(bar);
    setFixedWidth(TwipsToPixels(kWindowWidth));
    drawBar();
}

void ProgressWindowBase::SetRange(int minimum, int maximum) {
    m_min = minimum;
    m_max = maximum;
}

void ProgressWindowBase::SetStatus(const QString& status) {
    lblStatus->setText(status);
}

double ProgressWindowBase::FilledShare() const {
    // An empty range (a run over nothing) has no share to show: the bar stays empty.
    const double steps = static_cast<double>(m_max) - m_min + 1;
    if (steps <= 0)
        return 0.0;
    return std::clamp(m_value / steps, 0.0, 1.0);
}

void ProgressWindowBase::SetValue(int value) {
    m_value = value;
    drawBar();
    if (ProcessEventsAt(value))
        QApplication::processEvents();
}

void ProgressWindowBase::drawBar() {
    const QRect frame = shpBackground->geometry();
    const int width = static_cast<int>(FilledShare() * frame.width());
    shpForeground->setGeometry(frame.left(), frame.top(), width, frame.height());
}

void ProgressWindowBase::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    drawBar();
}

void ProgressWindowBase::Increment(const QString& status) {
    SetStatus(status);
    if (m_value < m_max)
        SetValue(m_value + 1);
}

frmSplash::frmSplash(QWidget* parent)
    : ProgressWindowBase(QStringLiteral("frmSplash"), parent) {
    setWindowTitle(QStringLiteral("Tomekeep"));
    setWindowFlags(Qt::SplashScreen | Qt::WindowStaysOnTopHint);
    setFixedHeight(TwipsToPixels(kSplashHeight));
}

frmProgress::frmProgress(QWidget* parent)
    : ProgressWindowBase(QStringLiteral("frmProgress"), parent) {
    setWindowTitle(QStringLiteral("Tomekeep"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(
        twipsRect((kWindowWidth - kCancelWidth) / 2, kCancelTop, kCancelWidth, kCancelHeight));
    connect(cmdCancel, &QPushButton::clicked, this, &frmProgress::cmdCancel_Click);
    if (QWidget* main = QApplication::activeWindow())
        setWindowIcon(main->windowIcon());
    setFixedHeight(TwipsToPixels(kProgressLoadedHeight));
    gCancelled = false;
    SetTopMost(this, true);
}

void frmProgress::ShowCancel() {
    setFixedHeight(TwipsToPixels(kProgressCancelHeight));
}

void frmProgress::StopProgress() {
    mCanClose = true;
    SetValue(Max());
    close();
}

void frmProgress::cmdCancel_Click() {
    gCancelled = true;
    mCanClose = true;
}

void frmProgress::closeEvent(QCloseEvent* event) {
    if (mCanClose)
        event->accept();
    else
        event->ignore();
}

void frmProgress::reject() {
    // Esc must not end a run the caller's loop still counts on.
    if (mCanClose)
        QDialog::reject();
}

void StartSplash(const QString& status, int minimum, int maximum) {
    splash() = std::make_unique<frmSplash>();
    splash()->SetStatus(status);
    splash()->SetRange(minimum, maximum);
    splash()->Reset();
    splash()->show();
}

void SplashStep(const QString& status) {
    if (splash())
        splash()->Increment(status);
}

void EndSplash() {
    splash().reset();
}

frmSplash* SplashWindow() {
    return splash().get();
}

void StartProgress(const QString& status, int minimum, int maximum) {
    gCancelled = false;
    progress() = std::make_unique<frmProgress>();
    progress()->setFixedHeight(TwipsToPixels(kProgressRunningHeight));
    progress()->SetStatus(status);
    progress()->SetRange(minimum, maximum);
    progress()->Reset();
    progress()->show();
}

void ProgressStep(const QString& status) {
    if (!progress())
        return;
    progress()->Increment(status);
    QApplication::processEvents();
}

void EndProgress() {
    if (progress()) {
        progress()->StopProgress();
        progress().reset();
    }
    gCancelled = true;
}

frmProgress* ProgressWindow() {
    return progress().get();
}

void SetTopMost(QWidget* window, bool on) {
    if (!window)
        return;
    const bool wasVisible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    // Changing a window flag hides the window; bring it back where it was.
    if (wasVisible)
        window->show();
}
