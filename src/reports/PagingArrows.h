#pragma once

#include <QIcon>
#include <QToolButton>

class QPalette;

enum class PagingArrow { First, Previous, Next, Last };

// The picture of a preview paging button, drawn as outlines at whatever size and resolution
// it is shown, in the palette's button text colour: it stays visible in light and dark
// colour schemes alike, and greys out with its button.
QIcon PagingArrowIcon(PagingArrow arrow, const QPalette& palette);

// A preview paging button. Its arrow is drawn again whenever its palette changes, as when the
// desktop switches between light and dark colour schemes.
class PagingButton : public QToolButton {
    Q_OBJECT
public:
    PagingButton(PagingArrow arrow, QWidget* parent);

protected:
    void changeEvent(QEvent* event) override;

private:
    PagingArrow m_arrow;
};
