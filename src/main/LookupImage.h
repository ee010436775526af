#pragma once

#include <QLabel>
#include <QPixmap>

// The small picture beside the title that looks the book up in a library catalogue. It shows
// its normal picture, a lit one while the mouse is over it and a greyed one while the editor is
// off; a click while it is not greyed reports clicked().
class LookupImage : public QLabel {
    Q_OBJECT
public:
    explicit LookupImage(QWidget* parent = nullptr);

    void setPictures(const QPixmap& normal, const QPixmap& hover, const QPixmap& greyed);
    void setGreyed(bool greyed);
    bool isGreyed() const { return m_greyed; }
    bool isHovered() const { return m_hovered; }

Q_SIGNALS:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void showPicture();

    QPixmap m_normal;
    QPixmap m_hover;
    QPixmap m_greyedPicture;
    bool m_greyed = false;
    bool m_hovered = false;
};
