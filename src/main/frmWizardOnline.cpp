// The editor's ISBN look-up and the book's cover.
#include "app/Prompts.h"
#include "main/CoverView.h"
#include "main/frmWizard.h"
#include "online/BookLookup.h"
#include "online/Covers.h"
#include "online/Isbn.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kLookupTitle = QStringLiteral("Look Up ISBN");
// No picture file worth keeping is larger; a bigger one is not read into memory.
constexpr qint64 kMaxPictureFile = 64 * 1024 * 1024;

QPushButton* newOnlineButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

// An editor box a look-up fills, with the value found and the label the question names.
struct FoundText {
    QLineEdit* box;
    QString value;
    QString label;
};

} // namespace

QLayout* frmWizard::buildIsbnRow(QWidget* panel) {
    // Room for an ISBN-13 written with hyphens or blanks.
    txtIsbn = new QLineEdit(panel);
    txtIsbn->setObjectName(QStringLiteral("txtIsbn"));
    txtIsbn->setMaxLength(20);
    txtIsbn->setProperty("designedLength", 20);
    txtIsbn->setPlaceholderText(QStringLiteral("ISBN-10 or ISBN-13"));
    cmdLookupIsbn = newOnlineButton(panel, "cmdLookupIsbn", kLookupTitle);
    prgLookup = new QProgressBar(panel);
    prgLookup->setObjectName(QStringLiteral("prgLookup"));
    prgLookup->setRange(0, 0);
    prgLookup->setMaximumWidth(90);
    prgLookup->hide();
    cmdCancelLookup = newOnlineButton(panel, "cmdCancelLookup", QStringLiteral("Cancel"));
    cmdCancelLookup->hide();
    auto* row = new QHBoxLayout;
    row->addWidget(txtIsbn, 1);
    row->addWidget(cmdLookupIsbn);
    row->addWidget(prgLookup);
    row->addWidget(cmdCancelLookup);
    return row;
}

QLayout* frmWizard::buildCoverColumn(QWidget* panel) {
    picCover = new CoverView(panel);
    picCover->setObjectName(QStringLiteral("picCover"));
    cmdSetCover = newOnlineButton(panel, "cmdSetCover", QStringLiteral("Set Cover..."));
    cmdRemoveCover = newOnlineButton(panel, "cmdRemoveCover", QStringLiteral("Remove Cover"));
    auto* column = new QVBoxLayout;
    column->addWidget(picCover);
    column->addWidget(cmdSetCover);
    column->addWidget(cmdRemoveCover);
    column->addStretch();
    return column;
}

void frmWizard::connectOnline() {
    m_lookup = new BookLookup(this);
    connect(m_lookup, &BookLookup::finished, this, &frmWizard::lookupFinished);
    connect(cmdLookupIsbn, &QPushButton::clicked, this, &frmWizard::cmdLookupIsbn_Click);
    connect(cmdCancelLookup, &QPushButton::clicked, this, &frmWizard::cmdCancelLookup_Click);
    connect(cmdSetCover, &QPushButton::clicked, this, &frmWizard::cmdSetCover_Click);
    connect(cmdRemoveCover, &QPushButton::clicked, this, &frmWizard::cmdRemoveCover_Click);
    connect(picCover, &CoverView::dropped, this,
            [this](const QByteArray& bytes) { takeCoverFile(bytes, QStringLiteral("The dropped file")); });
    // Enter looks a new book up: the usual way with a scanner, which ends each ISBN with Enter.
    connect(txtIsbn, &QLineEdit::returnPressed, this, [this] {
        if (txtTitle->text() == NewBookTitle() && !m_lookup->isRunning())
            cmdLookupIsbn_Click();
    });
}

void frmWizard::SetLookupTimeout(std::chrono::milliseconds timeout) {
    m_lookup->setTimeout(timeout);
}

void frmWizard::showCover(int bookId) {
    m_pendingCover.reset();
    if (bookId <= 0) {
        picCover->showCover({});
        return;
    }
    auto cover = ReadCover(bookId);
    picCover->showCover(cover ? *cover : QByteArray());
    if (!cover)
        tellError(cover.error());
}

void frmWizard::setPendingCover(const QByteArray& prepared) {
    m_pendingCover = prepared;
    picCover->showCover(prepared);
    markChanged();
}

void frmWizard::takeCoverFile(const QByteArray& bytes, const QString& name) {
    const QByteArray prepared = PrepareCover(bytes);
    if (prepared.isEmpty()) {
        prompts().tell(QStringLiteral("Set Cover"),
                       name + QStringLiteral(" is not a picture Tomekeep can read."), PromptIcon::Warning);
        return;
    }
    setPendingCover(prepared);
}

void frmWizard::cmdSetCover_Click() {
    const QString path = prompts().chooseOpenFile(
        QStringLiteral("Set Cover"), QDir::homePath(),
        QStringLiteral("Pictures (*.jpg *.jpeg *.png *.gif *.bmp *.webp);;All files (*)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    const QString name = u"'" + QDir::toNativeSeparators(path) + u"'";
    if (!file.open(QIODevice::ReadOnly)) {
        prompts().tell(QStringLiteral("Set Cover"),
                       name + QStringLiteral(" cannot be read: ") + file.errorString(), PromptIcon::Warning);
        return;
    }
    takeCoverFile(file.read(kMaxPictureFile), name);
}

void frmWizard::cmdRemoveCover_Click() {
    if (picCover->hasCover())
        setPendingCover({});
}

void frmWizard::cmdLookupIsbn_Click() {
    const QString isbn = NormaliseIsbn(txtIsbn->text());
    if (isbn.isEmpty()) {
        prompts().tell(kLookupTitle, WrongIsbnText(txtIsbn->text()), PromptIcon::Warning);
        txtIsbn->setFocus();
        return;
    }
    m_lookupBase = MetadataBaseUrl();
    m_lookupBookId = txtBookId->text();
    showLookupBusy(true);
    m_lookup->start(m_lookupBase, isbn);
}

void frmWizard::cmdCancelLookup_Click() {
    m_lookup->cancel();
}

void frmWizard::showLookupBusy(bool busy) {
    cmdLookupIsbn->setEnabled(!busy);
    prgLookup->setVisible(busy);
    cmdCancelLookup->setVisible(busy);
    if (busy)
        cmdCancelLookup->setFocus();
    else if (cmdCancelLookup->hasFocus())
        txtIsbn->setFocus();
}

void frmWizard::lookupFinished(const LookupResult& result) {
    showLookupBusy(false);
    // The user moved on to another book meanwhile: the answer is not this book's.
    if (result.failure == LookupFailure::Cancelled || txtBookId->text() != m_lookupBookId)
        return;
    if (!result.found()) {
        prompts().tell(kLookupTitle, LookupFailureText(result, m_lookupBase), PromptIcon::Warning);
        return;
    }
    fillFoundBook(result.book);
}

void frmWizard::fillFoundBook(const FoundBook& found) {
    const auto number = [](int value) {
        return value > 0 ? QString::number(value) : QString();
    };
    const FoundText texts[] = {{txtTitle, found.title, QStringLiteral("Title")},
                               {txtAuthor, found.author, QStringLiteral("Author")},
                               {txtPublisher, found.publisher, QStringLiteral("Publisher")},
                               {txtCopyright, number(found.copyright), QStringLiteral("Copyright")},
                               {txtPages, number(found.pages), QStringLiteral("Pages")}};
    // A box counts as filled when the user wrote something else there; a new book's title does not.
    const auto filled = [](const FoundText& text) {
        const QString shown = text.box->text().trimmed();
        return !text.value.isEmpty() && !shown.isEmpty() && shown != text.value && shown != NewBookTitle();
    };
    QStringList differing;
    for (const FoundText& text : texts) {
        if (filled(text))
            differing << text.label;
    }
    if (!found.cover.isEmpty() && picCover->hasCover())
        differing << QStringLiteral("Cover");
    bool replace = true;
    if (!differing.isEmpty()) {
        const PromptAnswer answer = prompts().ask(
            kLookupTitle,
            QStringLiteral(
                "The details found for ISBN %1 differ from what is filled in (%2).  Replace them?  "
                "No fills in only the empty fields.")
                .arg(found.isbn, differing.join(QStringLiteral(", "))),
            PromptButtons::YesNoCancel, PromptIcon::Question);
        if (answer == PromptAnswer::Cancel)
            return;
        replace = answer == PromptAnswer::Yes;
    }
    for (const FoundText& text : texts) {
        if (!text.value.isEmpty() && (replace || !filled(text)))
            text.box->setText(text.value);
    }
    txtIsbn->setText(found.isbn);
    if (!found.cover.isEmpty() && (replace || !picCover->hasCover()))
        setPendingCover(found.cover);
}
