#include "lookups/DialogSupport.h"

#include "app/Prompts.h"
#include "db/DbResult.h"
#include "lookups/LookupNames.h"

#include <QDialog>
#include <QIcon>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

void TakeMainWindowIcon(QWidget& window) {
    const QWidget* parent = window.parentWidget();
    window.setWindowIcon(parent ? parent->window()->windowIcon()
                                : QIcon(QStringLiteral(":/icons/tomekeep.png")));
}

void SetUpWindow(QDialog& window, const QString& objectName, const QString& caption) {
    window.setObjectName(objectName);
    window.setWindowTitle(caption);
    TakeMainWindowIcon(window);
}

QPushButton* MakeButton(const QString& caption, const QString& objectName, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    return button;
}

QListWidget* MakeNameList(QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QStringLiteral("lstData"));
    list->setMinimumSize(240, 260);
    return list;
}

void ShowDbError(const DbError& error) {
    TellError(error.messageText());
}

bool FillNameList(QListWidget& list, const LookupMember& member) {
    const DbResult<std::vector<LookupRow>> rows = LookupRows(member);
    list.clear();
    if (!rows) {
        ShowDbError(rows.error());
        return false;
    }
    for (const LookupRow& row : *rows) {
        auto* item = new QListWidgetItem(row.name, &list);
        item->setData(Qt::UserRole, row.id);
    }
    if (list.count() > 0)
        list.setCurrentRow(0);
    return true;
}

std::optional<QString> SelectedName(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.constFirst()->text();
}

std::optional<LookupRow> SelectedRow(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    const QListWidgetItem* item = selected.constFirst();
    return LookupRow{item->data(Qt::UserRole).toLongLong(), item->text()};
}

KeyPreview::KeyPreview(QWidget& window, Handler handler)
    : QObject(&window)
    , m_handler(std::move(handler)) {}

void KeyPreview::install(QWidget& window, Handler handler) {
    auto* preview = new KeyPreview(window, std::move(handler));
    window.installEventFilter(preview);
    for (QWidget* control : window.findChildren<QWidget*>())
        control->installEventFilter(preview);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && m_handler(static_cast<QKeyEvent*>(event)->key()))
        return true;
    return QObject::eventFilter(watched, event);
}
