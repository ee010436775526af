#include "app/Placement.h"

#include "app/Settings.h"
#include "app/Twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

std::optional<int> storedTwips(const QString& key) {
    bool ok = false;
    const int value = GetSetting(key).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

qint64 area(const QRect& rect) {
    return rect.isValid() ? qint64(rect.width()) * rect.height() : 0;
}

QList<QRect> availableScreens() {
    QList<QRect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        screens.append(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            screens.append(screen->availableGeometry());
    }
    return screens;
}

// The remembered size is the outer one, frame included, and the frame is known only once the
// window manager has framed the window: the inner size is set again then, once.
class OuterSizeKeeper : public QObject {
public:
    OuterSizeKeeper(QWidget& window, const QRect& frame)
        : QObject(&window)
        , m_window(window)
        , m_frame(frame) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &m_window || m_window.isMaximized())
            return false;
        // Leaving the maximised state puts the normal geometry back only after this event.
        if (event->type() == QEvent::WindowStateChange)
            QMetaObject::invokeMethod(this, &OuterSizeKeeper::fit, Qt::QueuedConnection);
        else if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
            fit();
        return false;
    }

private:
    void fit() {
        if (m_window.isMaximized() || m_window.frameGeometry() == m_window.geometry())
            return;
        m_window.removeEventFilter(this);
        const QSize frameExtra = m_window.frameGeometry().size() - m_window.geometry().size();
        m_window.resize(m_frame.size() - frameExtra);
        m_window.move(m_frame.topLeft());
        deleteLater();
    }

    QWidget& m_window;
    QRect m_frame;
};

} // namespace

std::optional<StoredPlacement> ReadFormPlacement(const QString& name) {
    const auto top = storedTwips(name + QStringLiteral(".Top"));
    const auto left = storedTwips(name + QStringLiteral(".Left"));
    const auto height = storedTwips(name + QStringLiteral(".Height"));
    const auto width = storedTwips(name + QStringLiteral(".Width"));
    if (!top || !left || !height || !width || *height <= 0 || *width <= 0)
        return std::nullopt;
    const QRect frame(TwipsToPixels(*left), TwipsToPixels(*top), TwipsToPixels(*width),
                      TwipsToPixels(*height));
    const bool maximised = GetSetting(name + QStringLiteral(".WindowState")) == QStringLiteral("2");
    return StoredPlacement{frame, maximised};
}

QRect KeptOnScreen(const QRect& frame, const QList<QRect>& screens) {
    if (screens.isEmpty())
        return frame;
    const auto most =
        std::max_element(screens.begin(), screens.end(), [&frame](const QRect& a, const QRect& b) {
            return area(a.intersected(frame)) < area(b.intersected(frame));
        });
    const QRect screen = area(most->intersected(frame)) > 0 ? *most : screens.first();
    const QSize size = frame.size().boundedTo(screen.size());
    const int left = std::clamp(frame.left(), screen.left(), screen.left() + screen.width() - size.width());
    const int top = std::clamp(frame.top(), screen.top(), screen.top() + screen.height() - size.height());
    return {QPoint(left, top), size};
}

void RestoreFormPlacement(QWidget& window, const QString& name) {
    const std::optional<StoredPlacement> stored =
        ReadFormPlacement(name.isEmpty() ? window.objectName() : name);
    if (!stored)
        return;
    const QRect frame = KeptOnScreen(stored->frame, availableScreens());
    window.move(frame.topLeft());
    window.resize(frame.size());
    new OuterSizeKeeper(window, frame);
    if (stored->maximised)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}
