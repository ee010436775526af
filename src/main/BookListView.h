#pragma once

#include <QTreeView>

class BookListModel;

// The report-style list of books: one selected row at a time, columns sized by their share of
// the width, a typed letter jumps to the first title that begins with it.
class BookListView : public QTreeView {
    Q_OBJECT
public:
    explicit BookListView(QWidget* parent = nullptr);

    void setBookModel(BookListModel* model);
    BookListModel* bookModel() const { return m_model; }

    // The selected row, -1 when none is selected.
    int selectedRow() const;
    // The book number of the selected row, 0 when none is selected.
    int selectedBookId() const;
    // Selects the row and scrolls it into view; the editor is not told.
    void selectRow(int row);
    // Selects the first row, in the current order, whose title begins with the letter (in any
    // case). Answers false, selecting nothing, when no title does.
    bool jumpToLetter(QChar letter);
    // Gives every column its share of the list's width.
    void applyColumnShares();

Q_SIGNALS:
    // The user chose a row: clicked it, or moved to it with the arrow or page keys.
    void rowChosen();
    void insertPressed();
    void deletePressed();
    // The right button went down while a row is selected; globalPos is where.
    void popupRequested(const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    BookListModel* m_model = nullptr;
};
