#include "main/CoverView.h"

#include <QBuffer>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QMimeData>

namespace {

// Pictures dropped from a file manager come as file addresses, from a browser often as data.
QByteArray droppedBytes(const QMimeData* data) {
    if (data->hasUrls() && data->urls().first().isLocalFile()) {
        QFile file(data->urls().first().toLocalFile());
        if (file.open(QIODevice::ReadOnly))
            return file.read(64 * 1024 * 1024);
    }
    if (data->hasImage()) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        qvariant_cast<QImage>(data->imageData()).save(&buffer, "PNG");
        return bytes;
    }
    return {};
}

} // namespace

CoverView::CoverView(QWidget* parent)
    : QLabel(parent) {
    setAcceptDrops(true);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
    // A book's shape; a fixed size keeps the fields from moving from one book to the next.
    setFixedSize(150, 225);
    render();
}

void CoverView::showCover(const QByteArray& image) {
    m_image = image.isEmpty() ? QImage() : QImage::fromData(image);
    render();
}

void CoverView::render() {
    if (m_image.isNull()) {
        setPixmap({});
        setText(QStringLiteral("No cover\n\nDrop a picture here"));
        return;
    }
    setPixmap(QPixmap::fromImage(
        m_image.scaled(contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void CoverView::dragEnterEvent(QDragEnterEvent* event) {
    if (isEnabled() && (event->mimeData()->hasUrls() || event->mimeData()->hasImage()))
        event->acceptProposedAction();
}

void CoverView::dropEvent(QDropEvent* event) {
    const QByteArray bytes = droppedBytes(event->mimeData());
    event->acceptProposedAction();
    Q_EMIT dropped(bytes);
}
