// The book list and the book editor of the main window.
#include "app/Prompts.h"
#include "db/Schema.h"
#include "lookups/Pickers.h"
#include "main/BookListModel.h"
#include "main/BookListView.h"
#include "main/LookupImage.h"
#include "main/QuickFilter.h"
#include "main/SearchState.h"
#include "main/frmWizard.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

namespace {

constexpr char kDesignedLength[] = "designedLength";

// Shows a text in a box without cutting it: a stored text longer than the box's input limit
// (written by an import, say) widens the limit while it is shown.
void showText(QLineEdit* box, const QString& text) {
    const int designed = box->property(kDesignedLength).toInt();
    box->setMaxLength(std::max(designed, static_cast<int>(text.size())));
    box->setText(text);
}

PromptAnswer askLookupQuestion(const QString& title, const QString& text) {
    return prompts().ask(title, text, PromptButtons::YesNoCancel, PromptIcon::Question);
}

} // namespace

QComboBox* frmWizard::lookupBox(LookupKind kind) const {
    switch (kind) {
    case LookupKind::Subject:
        return cboSubject;
    case LookupKind::Rating:
        return cboRating;
    case LookupKind::Format:
        return cboFormat;
    case LookupKind::Location:
        break;
    }
    return cboLocation;
}

void frmWizard::connectEditor() {
    for (const auto& entry : textBoxes()) {
        connect(entry.first, &QLineEdit::textChanged, this, &frmWizard::markChanged);
        entry.first->installEventFilter(this);
    }
    for (const LookupKind kind : kLookupKinds) {
        QComboBox* box = lookupBox(kind);
        connect(box, &QComboBox::editTextChanged, this, &frmWizard::markChanged);
        connect(box, &QComboBox::activated, this, &frmWizard::markChanged);
    }
    connect(txtNotes, &QPlainTextEdit::textChanged, this, [this] {
        const int limit = std::max(kNotesLength, txtNotes->property(kDesignedLength).toInt());
        const QString notes = txtNotes->toPlainText();
        if (notes.size() > limit) {
            const QSignalBlocker quiet(txtNotes);
            txtNotes->setPlainText(notes.left(limit));
            txtNotes->moveCursor(QTextCursor::End);
        }
        markChanged();
    });
}

bool frmWizard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            SelectAllText(box);
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmWizard::setDirty(bool dirty) {
    mDirty = dirty;
    cmdSaveChanges->setEnabled(dirty);
}

void frmWizard::EnableEditor(bool enabled) {
    const QList<QWidget*> controls = {
        txtStars,       txtTitle,  cboSubject, cboFormat,   txtPages,  cboRating,     txtCopyright,
        txtPublisher,   txtAuthor, lstAwards,  cmdAddAward, cmdRemove, cboLocation,   txtLabelNumber,
        txtAcquireDate, txtCost,   txtLentTo,  txtLentDate, txtNotes,  cmdSaveChanges};
    for (QWidget* control : controls)
        control->setEnabled(enabled);
    imgInternet->setGreyed(!enabled);
}

DbStatus frmWizard::loadList() {
    auto rows = FetchBookRows(CurrentBookListQuery());
    if (rows && rows->empty() && gSearchMode != kSearchAll) {
        const PromptAnswer answer =
            prompts().ask(QStringLiteral("Clear Search"),
                          QStringLiteral("Your search no longer finds any Books.  Clear your search?"),
                          PromptButtons::YesNoCancel, PromptIcon::Question);
        if (answer == PromptAnswer::Yes) {
            gSearchMode = kSearchAll;
            rows = FetchBookRows(CurrentBookListQuery());
        }
    }
    m_model->clear();
    const ListSort sort = StoredListSort();
    m_model->sort(sort.column, sort.order);
    lstMain->header()->setSortIndicator(sort.column, sort.order);
    DbStatus status;
    if (rows)
        m_model->setBooks(std::move(*rows));
    else
        status = rows.error();
    EnableEditor(m_model->rowCount() > 0);
    showCount();
    if (m_model->rowCount() > 0)
        lstMain->selectRow(0);
    ShowSelectedBook();
    return status;
}

void frmWizard::showCount() {
    lblCount->setText(QStringLiteral("Books in list: ") + QString::number(m_model->rowCount()));
}

// The quick filter narrows the rows of the search in force. The book in the editor stays while
// it is listed; otherwise the first listed book is shown, as after a reload.
void frmWizard::applyFilter() {
    const bool typing = txtFilter->hasFocus();
    const int shown = LeadingInteger(txtBookId->text());
    m_model->setFilter(txtFilter->text());
    showCount();
    if (const int row = m_model->rowOfBook(shown); row >= 0) {
        lstMain->selectRow(row);
    } else {
        EnableEditor(m_model->rowCount() > 0);
        if (m_model->rowCount() > 0)
            lstMain->selectRow(0);
        ShowSelectedBook();
    }
    if (typing)
        txtFilter->setFocus();
}

void frmWizard::PopulateLstMain() {
    if (DbStatus status = loadList(); !status)
        tellError(status.error());
}

void frmWizard::ShowSelectedBook() {
    if (mDirty && !SaveCurrentBook())
        return;
    if (m_model->rowCount() == 0) {
        clearEditor();
        return;
    }
    const int bookId = lstMain->selectedBookId();
    if (bookId != 0) {
        auto book = ReadShownBook(bookId);
        if (!book) {
            // Never leave another book's values under this number: a later save would write them.
            clearEditor();
            tellError(book.error());
            return;
        }
        if (!book->has_value()) {
            clearEditor();
            return;
        }
        showBook(**book);
    }
    setDirty(false);
}

void frmWizard::showBook(const ShownBook& book) {
    std::vector<LookupEntry> lists[4];
    for (const LookupKind kind :
         {LookupKind::Location, LookupKind::Rating, LookupKind::Format, LookupKind::Subject}) {
        auto list = ReadLookupList(kind);
        if (!list) {
            clearEditor();
            tellError(list.error());
            return;
        }
        lists[static_cast<int>(kind)] = std::move(*list);
    }
    BookFields ids = book.fields;
    for (const LookupKind kind : kLookupKinds)
        fillLookupBox(kind, std::move(lists[static_cast<int>(kind)]), LookupIdOf(ids, kind));

    const EditorTexts texts = TextsOfBook(book);
    txtBookId->setText(texts.bookId);
    for (const auto& [box, text] : textBoxes())
        showText(box, texts.*text);
    txtNotes->setProperty(kDesignedLength, static_cast<int>(texts.notes.size()));
    txtNotes->setPlainText(texts.notes);
    lstAwards->clear();
    lstAwards->addItems(texts.awards);
}

void frmWizard::fillLookupBox(LookupKind kind, std::vector<LookupEntry> list, int selectedId) {
    QComboBox* box = lookupBox(kind);
    std::vector<LookupEntry>& shown = m_lookupLists[static_cast<int>(kind)];
    // Refilling a long list for every book shown costs more than comparing it.
    if (shown != list || box->count() != static_cast<int>(list.size())) {
        box->clear();
        QStringList names;
        names.reserve(static_cast<qsizetype>(list.size()));
        for (const LookupEntry& entry : list)
            names << entry.name;
        box->addItems(names);
        shown = std::move(list);
    }
    const auto found = std::find_if(shown.begin(), shown.end(), [selectedId](const LookupEntry& entry) {
        return entry.id == selectedId;
    });
    if (found == shown.end()) {
        box->setCurrentIndex(-1);
        box->setEditText(QString());
    } else {
        box->setCurrentIndex(static_cast<int>(found - shown.begin()));
    }
}

void frmWizard::clearEditor() {
    txtBookId->clear();
    for (const auto& entry : textBoxes())
        entry.first->clear();
    txtNotes->clear();
    for (const LookupKind kind : kLookupKinds) {
        lookupBox(kind)->clear();
        lookupBox(kind)->clearEditText();
        m_lookupLists[static_cast<int>(kind)].clear();
    }
    lstAwards->clear();
    // No book is shown: there is nothing to save, and Save Changes must not suggest otherwise.
    setDirty(false);
}

std::vector<std::pair<QLineEdit*, QString EditorTexts::*>> frmWizard::textBoxes() const {
    return {{txtStars, &EditorTexts::stars},
            {txtTitle, &EditorTexts::title},
            {txtPages, &EditorTexts::pages},
            {txtCopyright, &EditorTexts::copyright},
            {txtPublisher, &EditorTexts::publisher},
            {txtAuthor, &EditorTexts::author},
            {txtLabelNumber, &EditorTexts::labelNumber},
            {txtAcquireDate, &EditorTexts::acquireDate},
            {txtCost, &EditorTexts::cost},
            {txtLentTo, &EditorTexts::lentTo},
            {txtLentDate, &EditorTexts::lentDate}};
}

EditorTexts frmWizard::editorTexts() const {
    EditorTexts texts;
    texts.bookId = txtBookId->text();
    for (const auto& [box, text] : textBoxes())
        texts.*text = box->text();
    texts.notes = txtNotes->toPlainText();
    for (int row = 0; row < lstAwards->count(); ++row)
        texts.awards << lstAwards->item(row)->text();
    for (const LookupKind kind : kLookupKinds)
        texts.lookup(kind) = lookupBox(kind)->currentText();
    return texts;
}

bool frmWizard::SaveCurrentBook() {
    if (txtBookId->text().isEmpty()) {
        setDirty(false);
        return true;
    }
    if (!mDirty)
        return true;
    const EditorTexts texts = editorTexts();
    setDirty(false);
    const SaveResult result = SaveEditedBook(texts, askLookupQuestion);
    switch (result.outcome) {
    case SaveOutcome::Kept:
        setDirty(true);
        return false;
    case SaveOutcome::Failed:
        // The edits stay in the editor, and nothing moves on as if they had been written.
        setDirty(true);
        tellError(result.error);
        return false;
    case SaveOutcome::Discarded:
        // Show what the catalogue holds, so dropped edits do not look saved.
        if (auto stored = ReadShownBook(LeadingInteger(texts.bookId)); stored && stored->has_value())
            showBook(**stored);
        setDirty(false);
        return true;
    case SaveOutcome::Saved:
        break;
    }
    showSavedRow(LeadingInteger(texts.bookId), texts, result.fields);
    lstMain->setFocus();
    return true;
}

void frmWizard::showSavedRow(int bookId, const EditorTexts& texts, const BookFields& saved) {
    const int row = m_model->rowOfBook(bookId);
    if (row < 0)
        return;
    BookRow shown = m_model->book(row);
    const bool titleChanged = shown.title != saved.title;
    shown.title = saved.title;
    shown.author = texts.author;
    shown.subject = texts.lookup(LookupKind::Subject);
    shown.location = texts.lookup(LookupKind::Location);
    shown.pages = saved.pages;
    shown.copyright = saved.copyright;
    shown.hasCopyright = true;
    shown.stars = saved.stars;
    shown.hasStars = true;
    shown.filterKey = BookFilterKey(
        {shown.title, shown.author, shown.subject, texts.publisher, texts.labelNumber, texts.notes});
    m_model->updateRow(row, shown);
    if (!titleChanged)
        return;
    // The new title belongs elsewhere in the list: reload it and stay on the edited book.
    PopulateLstMain();
    selectAndShow(m_model->rowOfBook(bookId));
}

void frmWizard::selectAndShow(int row) {
    if (row < 0)
        return;
    lstMain->selectRow(row);
    ShowSelectedBook();
}

void frmWizard::DeleteBook(int bookId) {
    auto title = BookTitle(bookId);
    if (!title) {
        tellError(title.error());
        return;
    }
    const PromptAnswer answer = prompts().ask(QStringLiteral("Delete Warning"),
                                              QStringLiteral("Delete Book '") + *title + QStringLiteral("'?"),
                                              PromptButtons::YesNoCancel, PromptIcon::Warning);
    if (answer != PromptAnswer::Yes)
        return;
    if (DbStatus deleted = DeleteBookRows(bookId); !deleted) {
        tellError(deleted.error());
        return;
    }
    // Edits of the book just deleted have nowhere to go; saving them would link awards to nothing.
    if (LeadingInteger(txtBookId->text()) == bookId)
        clearEditor();
    PopulateLstMain();
}

void frmWizard::cmdAddBook_Click() {
    if (!SaveCurrentBook())
        return;
    auto bookId = AddNewBook();
    if (!bookId) {
        tellError(bookId.error());
        return;
    }
    PopulateLstMain();
    const int row = *bookId > 0 ? m_model->rowOfBook(*bookId) : -1;
    if (row < 0) {
        // The new book is not in the list (the search in force does not find it): typing must
        // not go into the title of the book that is shown instead.
        lstMain->setFocus();
        return;
    }
    selectAndShow(row);
    txtTitle->setFocus();
    SelectAllText(txtTitle);
}

void frmWizard::cmdDeleteBook_Click() {
    const int bookId = lstMain->selectedBookId();
    if (bookId == 0)
        return;
    if (SaveCurrentBook())
        DeleteBook(bookId);
}

void frmWizard::stepBook(QPushButton* button, int direction) {
    button->setEnabled(false);
    if (SaveCurrentBook()) {
        const int row = lstMain->selectedRow();
        const int target = row + direction;
        if (row >= 0 && target >= 0 && target < m_model->rowCount())
            selectAndShow(target);
        lstMain->setFocus();
    }
    button->setEnabled(true);
}

void frmWizard::cmdNextBook_Click() {
    stepBook(cmdNextBook, 1);
}

void frmWizard::cmdPreviousBook_Click() {
    stepBook(cmdPreviousBook, -1);
}

void frmWizard::cmdSaveChanges_Click() {
    SaveCurrentBook();
    cmdSaveChanges->setEnabled(false);
}

void frmWizard::cmdAddAward_Click() {
    markChanged();
    lstAwards->setFocus();
    ShowSelectAward(this, *lstAwards);
}

void frmWizard::cmdRemove_Click() {
    markChanged();
    QListWidgetItem* selected =
        lstAwards->selectedItems().isEmpty() ? nullptr : lstAwards->selectedItems().first();
    if (!selected) {
        prompts().tell(QStringLiteral("Information"), QStringLiteral("Click on an award to remove."));
        lstAwards->setFocus();
        return;
    }
    delete lstAwards->takeItem(lstAwards->row(selected));
    // As after a click elsewhere: the next Remove needs a new choice.
    lstAwards->clearSelection();
    lstAwards->setCurrentRow(-1);
}

void frmWizard::cmdLookupAuthor_Click() {
    markChanged();
    ShowSelectAuthor(this, *txtAuthor);
}
