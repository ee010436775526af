// The book list and the book editor of the main window.
#include "app/Prompts.h"
#include "app/WaitPointer.h"
#include "db/Connection.h"
#include "db/Schema.h"
#include "lookups/Pickers.h"
#include "main/BookListModel.h"
#include "main/BookListView.h"
#include "main/CoverView.h"
#include "main/LookupImage.h"
#include "main/PlainTextLimit.h"
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
#include <QTimer>
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
    connect(txtNotes, &QPlainTextEdit::textChanged, this, &frmWizard::markChanged);
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
        txtStars,   txtTitle,    txtIsbn,   cmdLookupIsbn, cmdSetCover,    cmdRemoveCover, picCover,
        cboSubject, cboFormat,   txtPages,  cboRating,     txtCopyright,   txtPublisher,   txtAuthor,
        lstAwards,  cmdAddAward, cmdRemove, cboLocation,   txtLabelNumber, txtAcquireDate, txtCost,
        txtLentTo,  txtLentDate, txtNotes,  cmdSaveChanges};
    for (QWidget* control : controls)
        control->setEnabled(enabled);
    imgInternet->setGreyed(!enabled);
    // A catalogue that may only be read shows its books in boxes that take no typing.
    const bool writable = !gConn.isReadOnly();
    for (const auto& [box, text] : textBoxes())
        box->setReadOnly(!writable);
    txtNotes->setReadOnly(!writable);
    const QList<QWidget*> changers = {cboSubject,  cboFormat, cboRating,     cboLocation,
                                      cmdAddAward, cmdRemove, cmdSaveChanges};
    for (QWidget* control : changers)
        control->setEnabled(enabled && writable);
    cmdLookupAuthor->setEnabled(writable);
}

DbStatus frmWizard::loadList() {
    DbStatus status = reloadModel();
    if (status && m_model->foundCount() == 0 && gSearchMode != kSearchAll) {
        const PromptAnswer answer =
            prompts().ask(QStringLiteral("Clear Search"),
                          QStringLiteral("Your search no longer finds any Books.  Clear your search?"),
                          PromptButtons::YesNoCancel, PromptIcon::Question);
        if (answer == PromptAnswer::Yes) {
            gSearchMode = kSearchAll;
            status = reloadModel();
        }
    }
    EnableEditor(m_model->rowCount() > 0);
    showCount();
    if (m_model->rowCount() > 0)
        lstMain->selectRow(0);
    ShowSelectedBook();
    return status;
}

DbStatus frmWizard::reloadModel() {
    const std::optional<ListQuery> search =
        gSearchMode == kSearchAll ? std::nullopt : std::optional<ListQuery>(CurrentBookIdsQuery());
    const ListSort sort = StoredListSort();
    lstMain->header()->setSortIndicator(sort.column, sort.order);
    DbStatus status = m_model->reload(search, sort.column, sort.order);
    if (!status)
        m_model->clear();
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
    if (DbStatus filtered = m_model->setFilter(txtFilter->text()); !filtered)
        tellError(filtered.error());
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

void frmWizard::filterTyped(const QString& typed) {
    if (typed.trimmed().isEmpty() || m_model->foundCount() <= BookListModel::kBooksFilteredInMemory) {
        m_filterPause->stop();
        applyFilter();
        return;
    }
    m_filterPause->start();
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
    m_notesLimit->setLimit(std::max(kNotesLength, static_cast<int>(texts.notes.size())));
    txtNotes->setPlainText(texts.notes);
    m_shownAs = book.fields;
    lstAwards->clear();
    lstAwards->addItems(texts.awards);
    showCover(book.bookId);
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
    m_shownAs.reset();
    showCover(0);
    // No book is shown: there is nothing to save, and Save Changes must not suggest otherwise.
    setDirty(false);
}

std::vector<std::pair<QLineEdit*, QString EditorTexts::*>> frmWizard::textBoxes() const {
    return {{txtStars, &EditorTexts::stars},
            {txtTitle, &EditorTexts::title},
            {txtIsbn, &EditorTexts::isbn},
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
    texts.cover = m_pendingCover;
    for (int row = 0; row < lstAwards->count(); ++row)
        texts.awards << lstAwards->item(row)->text();
    for (const LookupKind kind : kLookupKinds)
        texts.lookup(kind) = lookupBox(kind)->currentText();
    return texts;
}

bool frmWizard::SaveCurrentBook() {
    return saveShownBook(Questions::Ask);
}

bool frmWizard::SaveWithoutQuestions() {
    return saveShownBook(Questions::None);
}

bool frmWizard::saveShownBook(Questions questions) {
    // Nothing can be typed into a catalogue that may only be read, and nothing is written to it.
    if (txtBookId->text().isEmpty() || gConn.isReadOnly()) {
        setDirty(false);
        return true;
    }
    if (!mDirty)
        return true;
    if (!datesReadable(questions))
        return false;
    const EditorTexts texts = editorTexts();
    const int bookId = LeadingInteger(texts.bookId);
    // On a logout nobody can answer: a wrong ISBN is then left out rather than the book unsaved.
    if (questions == Questions::Ask && !confirmIsbn(texts))
        return false;
    setDirty(false);
    // The save may wait for another program to let go of the catalogue.
    WaitPointer waiting;
    const LookupQuestion ask = [&waiting, questions](const QString& title, const QString& text) {
        if (questions == Questions::None)
            return PromptAnswer::Yes;
        waiting.restore();
        const PromptAnswer answer = askLookupQuestion(title, text);
        waiting.resume();
        return answer;
    };
    SaveResult result = SaveEditedBook(texts, ask, m_shownAs ? &*m_shownAs : nullptr);
    waiting.restore();
    // Cancel on the question about another program's change: the user stays on the book.
    if (result.outcome == SaveOutcome::Changed && !settleChangedBook(questions, texts, ask, result))
        return false;
    switch (result.outcome) {
    case SaveOutcome::Kept:
        setDirty(true);
        // Back to the box the question was about, to put the name right.
        lookupBox(result.keptFor)->setFocus();
        return false;
    case SaveOutcome::Changed:
    case SaveOutcome::Failed:
        // The edits stay in the editor, and nothing moves on as if they had been written.
        setDirty(true);
        tellError(result.error);
        return false;
    case SaveOutcome::Discarded:
        // Show what the catalogue holds, so dropped edits do not look saved.
        reshowStoredBook(bookId);
        return true;
    case SaveOutcome::Saved:
        break;
    }
    rebaseShownBook();
    showSavedRow(bookId, result.fields);
    lstMain->setFocus();
    return true;
}

bool frmWizard::datesReadable(Questions questions) {
    const std::pair<QLineEdit*, QString> dates[] = {{txtAcquireDate, QStringLiteral("Acquired")},
                                                    {txtLentDate, QStringLiteral("Lent Date")}};
    for (const auto& [box, label] : dates) {
        if (IsReadableDate(box->text()))
            continue;
        if (questions == Questions::Ask) {
            prompts().tell(QStringLiteral("Warning"), UnreadableDateText(label, box->text()),
                           PromptIcon::Warning);
            box->setFocus();
            SelectAllText(box);
        }
        return false;
    }
    return true;
}

// Answers false when the user chose to stay on the book; otherwise result holds how the save ended.
bool frmWizard::settleChangedBook(Questions questions, const EditorTexts& texts, const LookupQuestion& ask,
                                  SaveResult& result) {
    PromptAnswer answer = PromptAnswer::Yes;
    if (questions == Questions::Ask) {
        answer = prompts().ask(
            QStringLiteral("Book Changed"),
            QStringLiteral("Another program has changed or deleted '%1' since it was shown here.\n\n"
                           "Yes saves your changes over it; No drops your changes and shows "
                           "the book as it is stored now; Cancel keeps editing.")
                .arg(txtTitle->text()),
            PromptButtons::YesNoCancel, PromptIcon::Warning);
    }
    switch (answer) {
    case PromptAnswer::Yes: {
        WaitPointer waiting;
        result = SaveEditedBook(texts, ask);
        return true;
    }
    case PromptAnswer::No:
        result.outcome = SaveOutcome::Discarded;
        return true;
    default:
        setDirty(true);
        return false;
    }
}

void frmWizard::reshowStoredBook(int bookId) {
    if (auto stored = ReadShownBook(bookId); stored && stored->has_value()) {
        showBook(**stored);
        setDirty(false);
        return;
    }
    // Another program deleted it: the list no longer holds it either.
    clearEditor();
    PopulateLstMain();
}

void frmWizard::rebaseShownBook() {
    const int bookId = LeadingInteger(txtBookId->text());
    if (auto stored = ReadShownBook(bookId); stored && stored->has_value())
        m_shownAs = (*stored)->fields;
}

int frmWizard::currentRow() const {
    const int shown = LeadingInteger(txtBookId->text());
    return shown > 0 ? m_model->rowOfBook(shown) : -1;
}

bool frmWizard::confirmIsbn(const EditorTexts& texts) {
    const auto check = CheckTypedIsbn(LeadingInteger(texts.bookId), texts.isbn);
    if (!check) {
        tellError(check.error());
        return false;
    }
    switch (check->verdict) {
    case IsbnCheck::Verdict::Fine:
        return true;
    case IsbnCheck::Verdict::Wrong:
        prompts().tell(QStringLiteral("Warning"), WrongIsbnText(texts.isbn), PromptIcon::Warning);
        txtIsbn->setFocus();
        return false;
    case IsbnCheck::Verdict::Shared:
        break;
    }
    return prompts().ask(QStringLiteral("Warning"), SharedIsbnText(*check), PromptButtons::YesNo,
                         PromptIcon::Warning) == PromptAnswer::Yes;
}

void frmWizard::showSavedRow(int bookId, const BookFields& saved) {
    const int row = m_model->rowOfBook(bookId);
    if (row < 0)
        return;
    const bool titleChanged = m_model->book(row).title != saved.title;
    m_model->refreshRow(row);
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
    const PromptAnswer answer = prompts().ask(
        QStringLiteral("Delete Warning"), QStringLiteral("Delete Book '") + *title + QStringLiteral("'?"),
        PromptButtons::YesNoCancel, PromptIcon::Warning, PromptAnswer::No);
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
    auto added = AddNewBook();
    if (!added) {
        tellError(added.error());
        return;
    }
    if (added->titleTaken) {
        prompts().tell(QStringLiteral("Information"),
                       QStringLiteral("A book titled '%1' is already being entered.  Give it its own title, "
                                      "then add the next book.")
                           .arg(NewBookTitle()));
    }
    // The new book is shown whatever the search: the list leaves it and lists every book.
    gSearchMode = kSearchAll;
    PopulateLstMain();
    const int row = added->bookId > 0 ? m_model->rowOfBook(added->bookId) : -1;
    if (row < 0) {
        // Not listed (an empty subject or location list): typing must not go into the title
        // of the book that is shown instead.
        lstMain->setFocus();
        return;
    }
    selectAndShow(row);
    txtTitle->setFocus();
    SelectAllText(txtTitle);
}

void frmWizard::cmdDeleteBook_Click() {
    const int row = currentRow();
    if (row < 0)
        return;
    const int bookId = m_model->bookIdAt(row);
    if (SaveCurrentBook())
        DeleteBook(bookId);
}

void frmWizard::stepBook(QPushButton* button, int direction) {
    button->setEnabled(false);
    if (SaveCurrentBook()) {
        const int row = currentRow();
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
    // Save Changes follows the book's state: after a save that did not land it stays enabled,
    // and Ctrl+S tries again.
    SaveCurrentBook();
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
