#include "lookups/frmLookupName.h"

#include "app/Modal.h"
#include "app/Prompts.h"
#include "app/Settings.h"
#include "internet/InternetSearch.h"
#include "lookups/DialogSupport.h"
#include "lookups/LookupLists.h"
#include "lookups/LookupNames.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString kAddMode = QStringLiteral("ADD");

// A small globe; the lit one shows while the mouse is over it.
QPixmap globePicture(bool lit) {
    constexpr int size = 24;
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF globe(2.5, 2.5, size - 5, size - 5);
    painter.setBrush(lit ? QColor(70, 150, 255) : QColor(40, 100, 190));
    painter.setPen(QPen(lit ? QColor(255, 200, 40) : QColor(20, 50, 110), lit ? 2.0 : 1.2));
    painter.drawEllipse(globe);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(230, 240, 255), 1.0));
    painter.drawEllipse(globe.adjusted(globe.width() / 3.2, 0, -globe.width() / 3.2, 0));
    painter.drawLine(QPointF(globe.left(), globe.center().y()), QPointF(globe.right(), globe.center().y()));
    painter.drawLine(QPointF(globe.center().x(), globe.top()), QPointF(globe.center().x(), globe.bottom()));
    return picture;
}

PromptIcon iconFor(const QString& title) {
    return title == QStringLiteral("Warning") ? PromptIcon::Warning : PromptIcon::Information;
}

} // namespace

frmLookupName::frmLookupName(const LookupMember& member, QWidget* parent)
    : QDialog(parent)
    , m_member(member) {
    SetUpWindow(*this, member.nameDialog, member.noun);

    lblName = new QLabel(member.label, this);
    lblName->setObjectName(QStringLiteral("lblName"));
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setMaxLength(member.nameLimit);
    txtName->setMinimumWidth(260);
    lblName->setBuddy(txtName);
    cmdSave = MakeButton(QStringLiteral("&Save"), QStringLiteral("cmdSave"), this);
    cmdSave->setDefault(true);
    cmdCancel = MakeButton(QStringLiteral("Cancel"), QStringLiteral("cmdCancel"), this);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(lblName);
    nameRow->addWidget(txtName, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addLayout(buttons);
    if (member.hasInternetLookup) {
        addInternetLookup();
        nameRow->addWidget(imgInternet);
    }

    connect(cmdSave, &QPushButton::clicked, this, &frmLookupName::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmLookupName::addInternetLookup() {
    m_internetNormal = globePicture(false);
    m_internetHot = globePicture(true);
    imgInternet = new QLabel(this);
    imgInternet->setObjectName(QStringLiteral("imgInternet"));
    imgInternet->setPixmap(m_internetNormal);
    imgInternet->setCursor(Qt::PointingHandCursor);
    // Until a library has been chosen there is nothing to look the name up in.
    const QString site = GetSetting(QStringLiteral("InternetSite"), QStringLiteral("none"));
    imgInternet->setToolTip(site);
    imgInternet->setVisible(site != QStringLiteral("none"));
    imgInternet->installEventFilter(this);
}

bool frmLookupName::eventFilter(QObject* watched, QEvent* event) {
    if (watched != imgInternet)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter:
        imgInternet->setPixmap(m_internetHot);
        break;
    case QEvent::Leave:
        imgInternet->setPixmap(m_internetNormal);
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            imgInternet_Click();
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

QString frmLookupName::LookupText(const QString& typed) {
    const qsizetype comma = typed.indexOf(u',');
    if (comma < 0)
        return typed;
    return typed.mid(comma + 1) + u' ' + typed.left(comma);
}

void frmLookupName::imgInternet_Click() {
    InternetSearch(QStringLiteral("author"), LookupText(txtName->text()));
}

void frmLookupName::cmdSave_Click() {
    if (!saveName(txtName->text())) {
        txtName->setFocus();
        return;
    }
    if (CallingForm)
        CallingForm->PopulateLstData();
    accept();
}

bool frmLookupName::saveName(const QString& name) {
    if (Mode != kAddMode) {
        // Confirming the name as shown changes nothing.
        if (name == OldName)
            return true;
        const DbStatus renamed = RenameLookupRow(m_member, OldId, name);
        if (!renamed)
            ShowDbError(renamed.error());
        return renamed.ok();
    }
    const DbResult<qint64> existing = CountLookupName(m_member, name);
    if (!existing) {
        ShowDbError(existing.error());
        return false;
    }
    if (*existing > 0) {
        prompts().tell(m_member.duplicateTitle,
                       m_member.noun + u" '" + name +
                           u"' already exists.  Please enter a unique name to add.",
                       iconFor(m_member.duplicateTitle));
        return false;
    }
    const DbStatus added = InsertLookupName(m_member, name);
    if (!added) {
        ShowDbError(added.error());
        return false;
    }
    if (m_member.lastAdded)
        *m_member.lastAdded = name;
    return true;
}

int OpenNameDialog(const LookupMember& member, QWidget* parent, ListWindow* callingForm,
                   const std::optional<LookupRow>& old) {
    frmLookupName dialog(member, parent);
    dialog.CallingForm = callingForm;
    dialog.Mode = old ? QStringLiteral("EDIT") : kAddMode;
    if (old) {
        dialog.OldName = old->name;
        dialog.OldId = old->id;
    }
    // The limit is for what the user types: a longer stored name is shown whole.
    dialog.txtName->setMaxLength(std::max(member.nameLimit, static_cast<int>(dialog.OldName.size())));
    dialog.txtName->setText(dialog.OldName);
    dialog.setWindowTitle(old ? member.editCaption : member.addCaption);
    return RunModal(dialog);
}
