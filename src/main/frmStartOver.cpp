#include "main/frmStartOver.h"

#include "app/Modal.h"
#include "app/Prompts.h"
#include "backup/Backup.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "main/Maintenance.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

void ShowStartOver(QWidget* parent, const std::function<void()>& populateList) {
    frmStartOver window(parent, populateList);
    RunModal(window);
}

frmStartOver::frmStartOver(QWidget* parent, std::function<void()> populateList)
    : QDialog(parent)
    , m_populateList(std::move(populateList)) {
    setObjectName(QStringLiteral("frmStartOver"));
    setWindowTitle(QStringLiteral("Start Over"));
    if (parent)
        setWindowIcon(parent->windowIcon());
    lblInfo1 = new QLabel(QStringLiteral("0 books on file"), this);
    lblInfo1->setObjectName(QStringLiteral("lblInfo1"));
    chkStartOver1 = new QCheckBox(QStringLiteral("Start over (delete all data and start again)"), this);
    chkStartOver1->setObjectName(QStringLiteral("chkStartOver1"));
    cmdStartOver = new QPushButton(QStringLiteral("Start Over"), this);
    cmdStartOver->setObjectName(QStringLiteral("cmdStartOver"));
    cmdStartOver->setAutoDefault(false);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblInfo1);
    layout->addWidget(chkStartOver1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdStartOver);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(cmdStartOver, &QPushButton::clicked, this, &frmStartOver::cmdStartOver_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    Form_Load();
}

void frmStartOver::Form_Load() {
    const auto books = QueryNumber(QStringLiteral("SELECT COUNT(*) FROM [Book]"));
    if (books)
        lblInfo1->setText(QString::number(*books) + QStringLiteral(" books on file"));
}

void frmStartOver::cmdStartOver_Click() {
    if (!chkStartOver1->isChecked()) {
        prompts().tell(QStringLiteral("Warning"), QStringLiteral("You have selected nothing to reset."),
                       PromptIcon::Warning);
        return;
    }
    if (prompts().ask(QStringLiteral("Warning"), QStringLiteral("Reset database (delete all books)?"),
                      PromptButtons::YesNo, PromptIcon::Warning, PromptAnswer::No) != PromptAnswer::Yes)
        return;
    if (!BackUpBeforeChange())
        return;
    if (DbStatus reset = RecreateCatalogue(); !reset) {
        TellError(reset.error().description);
        // Keep a connection: whatever catalogue file is there now is opened again.
        if (!gConn.isOpen()) {
            if (DbStatus reopened = OpenDatabase(); !reopened)
                TellError(reopened.error().description);
        }
        if (m_populateList)
            m_populateList();
        reject();
        return;
    }
    if (m_populateList)
        m_populateList();
    prompts().tell(QStringLiteral("Complete"), QStringLiteral("System reset."));
    accept();
}
