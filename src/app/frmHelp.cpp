#include "app/frmHelp.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QPointer<frmHelp>& openWindow() {
    static QPointer<frmHelp> window;
    return window;
}

} // namespace

QUrl HandbookUrl() {
    return QUrl(QStringLiteral("qrc:/help/handbook.html"));
}

frmHelp::frmHelp(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Tomekeep Handbook"));
    setAttribute(Qt::WA_DeleteOnClose);
    if (parent)
        setWindowIcon(parent->window()->windowIcon());

    txtHandbook = new QTextBrowser(this);
    txtHandbook->setObjectName(QStringLiteral("txtHandbook"));
    // The handbook is read from the program itself; nothing it links to leaves the machine.
    txtHandbook->setOpenLinks(true);
    txtHandbook->setOpenExternalLinks(false);
    txtHandbook->setSource(HandbookUrl());

    const struct {
        QPushButton* frmHelp::*button;
        const char* name;
        const char* caption;
    } designs[] = {{&frmHelp::cmdBack, "cmdBack", "&Back"},
                   {&frmHelp::cmdContents, "cmdContents", "C&ontents"},
                   {&frmHelp::cmdClose, "cmdClose", "&Close"}};
    for (const auto& design : designs) {
        auto* button = new QPushButton(QLatin1String(design.caption), this);
        button->setObjectName(QLatin1String(design.name));
        button->setAutoDefault(false);
        this->*design.button = button;
    }
    cmdBack->setEnabled(false);
    connect(txtHandbook, &QTextBrowser::backwardAvailable, cmdBack, &QPushButton::setEnabled);
    connect(cmdBack, &QPushButton::clicked, txtHandbook, &QTextBrowser::backward);
    connect(cmdContents, &QPushButton::clicked, this, [this] { ShowSection(QString()); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdContents);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtHandbook, 1);
    layout->addLayout(buttons);
    resize(720, 640);
}

void frmHelp::ShowSection(const QString& anchor) {
    QUrl url = HandbookUrl();
    url.setFragment(anchor.isEmpty() ? QStringLiteral("top") : anchor);
    txtHandbook->setSource(url);
}

frmHelp* ShowHandbook(QWidget* parent, const QString& anchor) {
    QPointer<frmHelp>& window = openWindow();
    if (!window)
        window = new frmHelp(parent);
    window->ShowSection(anchor);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

frmHelp* HelpWindow() {
    return openWindow();
}
