#include "main/BookListView.h"

#include "main/BookListModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <cmath>

namespace {

bool movesSelection(int key) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

} // namespace

BookListView::BookListView(QWidget* parent)
    : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void BookListView::setBookModel(BookListModel* model) {
    m_model = model;
    setModel(model);
    setColumnHidden(BookListModel::ColBookNumber, true);
    applyColumnShares();
}

int BookListView::selectedRow() const {
    if (!selectionModel())
        return -1;
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isRowSelected(current.row(), QModelIndex()))
        return current.row();
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

int BookListView::selectedBookId() const {
    const int row = selectedRow();
    return row < 0 ? 0 : m_model->bookIdAt(row);
}

void BookListView::selectRow(int row) {
    if (!m_model || row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_model->index(row, BookListModel::ColTitle);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

bool BookListView::jumpToLetter(QChar letter) {
    if (!m_model)
        return false;
    const auto row = m_model->rowOfTitleInitial(letter);
    if (!row || *row < 0)
        return false;
    selectRow(*row);
    return true;
}

void BookListView::applyColumnShares() {
    if (!m_model)
        return;
    const int width = viewport()->width();
    for (int column = BookListModel::ColTitle; column < BookListModel::ColumnCount; ++column) {
        const double share = BookListModel::columnInfo(column).widthShare;
        setColumnWidth(column, static_cast<int>(std::floor(share * width)));
    }
}

void BookListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        Q_EMIT insertPressed();
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        Q_EMIT deletePressed();
        return;
    }
    const int before = selectedRow();
    QTreeView::keyPressEvent(event);
    if (movesSelection(event->key()) && selectedRow() != before && selectedRow() >= 0)
        Q_EMIT rowChosen();
}

void BookListView::keyboardSearch(const QString& search) {
    // Each typed character jumps on its own; the editor keeps the book it shows.
    if (!search.isEmpty())
        jumpToLetter(search.back());
}

void BookListView::mousePressEvent(QMouseEvent* event) {
    QTreeView::mousePressEvent(event);
    if (event->button() == Qt::RightButton && selectedRow() >= 0)
        Q_EMIT popupRequested(event->globalPosition().toPoint());
}

void BookListView::mouseReleaseEvent(QMouseEvent* event) {
    const QModelIndex pressed = indexAt(event->position().toPoint());
    QTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && pressed.isValid() && selectedRow() == pressed.row())
        Q_EMIT rowChosen();
}

void BookListView::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    applyColumnShares();
}
