#pragma once

#include <QFrame>
#include <QPoint>
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class QScrollBar;
class QToolButton;

// How far a scroll bar reaches over a page: its maximum and its two steps, in screen pixels.
struct ScrollRange {
    int maximum = 0;
    int arrowKeyStep = 1; // the arrow keys and the bar's page area
    int otherStep = 1;    // the bar's arrow buttons
};
// The range over a page this many twips long seen through a viewport this many twips long.
ScrollRange ScrollRangeFor(int canvasTwips, int viewportTwips);

// The visible part of the page: paints the page canvas from the scroll position.
class PageViewport : public QFrame {
    Q_OBJECT
public:
    explicit PageViewport(QWidget* parent);
    void setOrigin(const QPoint& origin) { m_origin = origin; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint m_origin;
};

// The report preview: one page at a time, paging, scrolling, printing, a copy of the report
// file, its header, and closing (which removes the report file).
class frmPP : public QWidget {
    Q_OBJECT
public:
    explicit frmPP(QWidget* parent = nullptr);
    ~frmPP() override;

    // Draws the current page of the preview document and shows it from the top-left corner.
    void ShowPage();
    void LayoutScrollBars();
    void BlitViewport();
    QPoint ScrollPosition() const { return m_scroll; }

    QToolButton* cmdFirst = nullptr;
    QToolButton* cmdPrev = nullptr;
    QToolButton* cmdNext = nullptr;
    QToolButton* cmdLast = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdInfo = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* lblPage = nullptr;
    PageViewport* picPPshow = nullptr;
    QScrollBar* hscBar = nullptr;
    QScrollBar* vscBar = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Answers where the command buttons along the top start, in twips.
    int createPagingControls();
    void createCommandButtons(int left);
    void createViewport();
    void cmdFirst_Click();
    void cmdPrev_Click();
    void cmdNext_Click();
    void cmdLast_Click();
    void cmdPrint_Click();
    void cmdSave_Click();
    void cmdInfo_Click();
    void cmdClose_Click();
    void scrolled();
    bool keyDown(int key, Qt::KeyboardModifiers modifiers);
    void scrollBy(int dx, int dy);
    void goToPage(int page);
    void layoutViewport();
    void removeSpoolFile();

    // The report file this window shows and removes when it closes.
    const QString m_spoolFile;
    QPoint m_scroll;
    int m_hArrowStep = 1;
    int m_vArrowStep = 1;
    // While the report prints, the window neither closes nor changes page: printing reads
    // the same file and measures on the same page canvas.
    bool m_printing = false;
};

// The preview window now open, if any.
frmPP* PreviewWindow();
