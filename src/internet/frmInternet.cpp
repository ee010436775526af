#include "internet/frmInternet.h"

#include "app/Prompts.h"
#include "app/Settings.h"
#include "internet/InternetSearch.h"
#include "online/BookLookup.h"

#include <QApplication>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

frmInternet::frmInternet(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmInternet"));
    setWindowTitle(QStringLiteral("Internet Settings"));
    if (QWidget* main = QApplication::activeWindow())
        setWindowIcon(main->windowIcon());

    auto* layout = new QVBoxLayout(this);
    lblnfo = new QLabel(
        QStringLiteral(
            "Select the website that you want to link to when you click on the Internet Search  button."),
        this);
    lblnfo->setObjectName(QStringLiteral("lblnfo"));
    lblnfo->setWordWrap(true);
    layout->addWidget(lblnfo);

    auto* group = new QButtonGroup(this);
    group->setObjectName(QStringLiteral("optInternet"));
    const QStringList sites = InternetSites();
    for (int i = 0; i < static_cast<int>(optInternet.size()); ++i) {
        optInternet[i] = new QRadioButton(sites[i], this);
        optInternet[i]->setObjectName(QStringLiteral("optInternet%1").arg(i));
        group->addButton(optInternet[i], i);
        layout->addWidget(optInternet[i]);
    }

    auto* server = new QLabel(QStringLiteral("Book details server for Look Up ISBN:"), this);
    server->setObjectName(QStringLiteral("lblMetadataUrl"));
    txtMetadataUrl = new QLineEdit(this);
    txtMetadataUrl->setObjectName(QStringLiteral("txtMetadataUrl"));
    txtMetadataUrl->setPlaceholderText(DefaultMetadataUrl());
    server->setBuddy(txtMetadataUrl);
    layout->addSpacing(8);
    layout->addWidget(server);
    layout->addWidget(txtMetadataUrl);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmInternet::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    Form_Load();
}

void frmInternet::Form_Load() {
    txtMetadataUrl->setText(GetSetting(QStringLiteral("MetadataURL"), DefaultMetadataUrl()));
    const QString site = GetSetting(QStringLiteral("InternetSite"), DefaultInternetSite()).trimmed();
    for (QRadioButton* option : optInternet) {
        if (option->text().trimmed().compare(site, Qt::CaseInsensitive) == 0) {
            option->setChecked(true);
            return;
        }
    }
}

bool frmInternet::saveMetadataUrl() {
    const QString typed = txtMetadataUrl->text().trimmed();
    const QUrl url(typed);
    if (!typed.isEmpty() &&
        (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https") || url.host().isEmpty())) {
        prompts().tell(
            QStringLiteral("Internet Settings"),
            QStringLiteral("'%1' is not a web address.  Enter one such as %2, or leave the box empty.")
                .arg(typed, DefaultMetadataUrl()),
            PromptIcon::Warning);
        txtMetadataUrl->setFocus();
        return false;
    }
    SaveSetting(QStringLiteral("MetadataURL"), typed.isEmpty() ? DefaultMetadataUrl() : typed);
    return true;
}

void frmInternet::cmdOK_Click() {
    if (!saveMetadataUrl())
        return;
    for (const QRadioButton* option : optInternet) {
        if (option->isChecked()) {
            m_chosen = option->text();
            SaveSetting(QStringLiteral("InternetSite"), m_chosen);
            accept();
            return;
        }
    }
    reject();
}
