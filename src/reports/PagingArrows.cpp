#include "reports/PagingArrows.h"

#include <QEvent>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QTransform>
#include <algorithm>

namespace {

// The arrow pointing forwards, in a square of side 1; backwards arrows are its mirror image.
QPainterPath forwardShape(bool toTheEnd) {
    QPainterPath path;
    const qreal tip = toTheEnd ? 0.64 : 0.74;
    const qreal back = toTheEnd ? 0.22 : 0.30;
    path.moveTo(back, 0.2);
    path.lineTo(tip, 0.5);
    path.lineTo(back, 0.8);
    path.closeSubpath();
    if (toTheEnd)
        path.addRect(QRectF(0.68, 0.2, 0.11, 0.6));
    return path;
}

class ArrowEngine : public QIconEngine {
public:
    ArrowEngine(PagingArrow arrow, const QColor& normal, const QColor& disabled)
        : m_arrow(arrow)
        , m_normal(normal)
        , m_disabled(disabled) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const bool backwards = m_arrow == PagingArrow::First || m_arrow == PagingArrow::Previous;
        const bool toTheEnd = m_arrow == PagingArrow::First || m_arrow == PagingArrow::Last;
        const qreal side = std::min(rect.width(), rect.height());
        QTransform place;
        place.translate(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2);
        place.scale(side, side);
        if (backwards) {
            place.translate(1, 0);
            place.scale(-1, 1);
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillPath(place.map(forwardShape(toTheEnd)), mode == QIcon::Disabled ? m_disabled : m_normal);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap picture(size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return picture;
    }

    QIconEngine* clone() const override { return new ArrowEngine(*this); }

private:
    PagingArrow m_arrow;
    QColor m_normal;
    QColor m_disabled;
};

} // namespace

QIcon PagingArrowIcon(PagingArrow arrow, const QPalette& palette) {
    return QIcon(new ArrowEngine(arrow, palette.color(QPalette::Active, QPalette::ButtonText),
                                 palette.color(QPalette::Disabled, QPalette::ButtonText)));
}

PagingButton::PagingButton(PagingArrow arrow, QWidget* parent)
    : QToolButton(parent)
    , m_arrow(arrow) {
    setIcon(PagingArrowIcon(m_arrow, palette()));
}

void PagingButton::changeEvent(QEvent* event) {
    QToolButton::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        setIcon(PagingArrowIcon(m_arrow, palette()));
}
