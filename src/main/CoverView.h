#pragma once

#include <QByteArray>
#include <QLabel>

// The book's cover beside the editor's fields: the picture scaled to fit, or a placeholder.
// A picture file or picture dropped on it is offered through dropped().
class CoverView : public QLabel {
    Q_OBJECT
public:
    explicit CoverView(QWidget* parent = nullptr);

    // Shows the stored picture; an empty or unreadable one shows the placeholder.
    void showCover(const QByteArray& image);
    bool hasCover() const { return !m_image.isNull(); }

Q_SIGNALS:
    void dropped(const QByteArray& bytes);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void render();

    QImage m_image;
};
