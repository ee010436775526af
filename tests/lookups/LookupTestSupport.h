#pragma once

#include "app/Modal.h"
#include "db/Recordset.h"
#include "support/TestMain.h"

// Shared by the lookup list and picker tests.
namespace lookuptest {

inline QStringList entries(const QListWidget& list) {
    QStringList texts;
    for (int row = 0; row < list.count(); ++row)
        texts << list.item(row)->text();
    return texts;
}

inline void click(const QDialog& dialog, const QString& button) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
}

inline void selectName(QListWidget& list, const QString& name) {
    const QList<QListWidgetItem*> found = list.findItems(name, Qt::MatchExactly);
    if (!found.isEmpty())
        list.setCurrentItem(found.constFirst());
}

// What an open name dialog showed before the test typed into it: "window|caption|label|text|
// limit|" and "internet" when it offers the look-up; and whether it stayed open after Save.
struct NameDialogSeen {
    QString shown;
    bool stayedOpen = false;
};

// Types the text into the open name dialog and presses Save; a dialog that refuses the name
// and stays open is then cancelled, as the user would.
inline ModalRunner saveName(const QString& text, NameDialogSeen* seen = nullptr) {
    return [text, seen](QDialog& dialog) {
        auto* box = dialog.findChild<QLineEdit*>(u"txtName"_s);
        if (seen) {
            const bool internet = dialog.findChild<QLabel*>(u"imgInternet"_s) != nullptr;
            seen->shown = QStringList{dialog.objectName(),
                                      dialog.windowTitle(),
                                      dialog.findChild<QLabel*>(u"lblName"_s)->text(),
                                      box->text(),
                                      QString::number(box->maxLength()),
                                      internet ? u"internet"_s : u""_s}
                              .join(u'|');
        }
        box->setText(text);
        click(dialog, u"cmdSave"_s);
        if (seen)
            seen->stayedOpen = dialog.isVisible();
        if (dialog.isVisible())
            click(dialog, u"cmdCancel"_s);
        return dialog.result();
    };
}

inline ModalRunner cancelDialog() {
    return [](QDialog& dialog) {
        click(dialog, u"cmdCancel"_s);
        return dialog.result();
    };
}

} // namespace lookuptest
