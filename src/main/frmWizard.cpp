#include "main/frmWizard.h"

#include "app/ProgressWindows.h"
#include "app/Prompts.h"
#include "app/Startup.h"
#include "app/Twips.h"
#include "db/Catalogue.h"
#include "db/Connection.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

constexpr int kDesignedWidth = 11880;
constexpr int kDesignedHeight = 8550;

} // namespace

frmWizard::frmWizard(QWidget* parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmWizard"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tomekeep.png")));
    resize(TwipsToPixels(kDesignedWidth), TwipsToPixels(kDesignedHeight));
    buildMenus();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdClose = new QPushButton(QStringLiteral("Close"), central);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);
    setCentralWidget(central);
    connect(cmdClose, &QPushButton::clicked, this, &frmWizard::cmdClose_Click);

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &frmWizard::mnuFileExit_Click);
}

void frmWizard::buildMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileExit = mnuFile->addAction(QStringLiteral("E&xit"));
    mnuFileExit->setObjectName(QStringLiteral("mnuFileExit"));
    connect(mnuFileExit, &QAction::triggered, this, &frmWizard::mnuFileExit_Click);
}

void frmWizard::Form_Load() {
    SplashStep(QStringLiteral("Load books"));
    SetCaption();
}

void frmWizard::SetCaption() {
    setWindowTitle(QStringLiteral("Tomekeep (") + gDBName + u')');
}

bool frmWizard::SaveCurrentBook() {
    // The window holds no editor yet, so there is never anything unsaved.
    return true;
}

void frmWizard::mnuFileExit_Click() {
    if (!SaveCurrentBook())
        return;
    const PromptAnswer answer = prompts().ask(QStringLiteral("Tomekeep"), QStringLiteral("Exit Tomekeep?"),
                                              PromptButtons::YesNoCancel, PromptIcon::Question);
    if (answer == PromptAnswer::Yes)
        close();
}

void frmWizard::cmdClose_Click() {
    if (SaveCurrentBook())
        mnuFileExit_Click();
}

void frmWizard::closeEvent(QCloseEvent* event) {
    SaveFormPlacement(*this, QString());
    gConn.close();
    event->accept();
    QApplication::quit();
}
