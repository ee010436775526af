#include "main/LookupImage.h"

#include <QMouseEvent>

LookupImage::LookupImage(QWidget* parent)
    : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignCenter);
}

void LookupImage::setPictures(const QPixmap& normal, const QPixmap& hover, const QPixmap& greyed) {
    m_normal = normal;
    m_hover = hover;
    m_greyedPicture = greyed;
    setFixedSize(normal.deviceIndependentSize().toSize());
    showPicture();
}

void LookupImage::setGreyed(bool greyed) {
    m_greyed = greyed;
    setCursor(greyed ? Qt::ArrowCursor : Qt::PointingHandCursor);
    showPicture();
}

void LookupImage::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    showPicture();
    QLabel::enterEvent(event);
}

void LookupImage::leaveEvent(QEvent* event) {
    m_hovered = false;
    showPicture();
    QLabel::leaveEvent(event);
}

// A picture does not take the mouse on its own: take the press, so the release comes here too.
void LookupImage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        event->accept();
    else
        QLabel::mousePressEvent(event);
}

void LookupImage::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && !m_greyed && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

void LookupImage::showPicture() {
    if (m_greyed)
        setPixmap(m_greyedPicture);
    else
        setPixmap(m_hovered ? m_hover : m_normal);
}
