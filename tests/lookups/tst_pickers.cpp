#include "LookupTestSupport.h"
#include "lookups/LookupLists.h"
#include "lookups/Pickers.h"
#include "lookups/frmPicker.h"
#include "support/TestHome.h"

using namespace lookuptest;

namespace {

// What the open picker showed ("window|caption|add button" and its names), then a choice of the
// named entry (or none) and Select.
struct PickerSeen {
    QString shown;
    QStringList names;
    bool stayedOpen = false;
};

ModalRunner pick(const QString& name, PickerSeen* seen = nullptr) {
    return [name, seen](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>(u"lstData"_s);
        if (seen) {
            const auto* add = dialog.findChild<QPushButton*>(u"cmdAdd"_s);
            seen->shown =
                QStringList{dialog.objectName(), dialog.windowTitle(), add ? add->text() : QString()}.join(
                    u'|');
            seen->names = entries(*list);
        }
        list->clearSelection();
        selectName(*list, name);
        click(dialog, u"cmdSelect"_s);
        if (seen)
            seen->stayedOpen = dialog.isVisible();
        return dialog.result();
    };
}

// Presses the picker's Add (by the Insert key when asked) and reports whether it stayed open.
ModalRunner addNew(bool byKey, bool* stayedOpen) {
    return [byKey, stayedOpen](QDialog& dialog) {
        if (byKey)
            QTest::keyClick(dialog.findChild<QListWidget*>(u"lstData"_s), Qt::Key_Insert);
        else
            click(dialog, u"cmdAdd"_s);
        *stayedOpen = dialog.isVisible();
        if (dialog.isVisible())
            click(dialog, u"cmdClose"_s);
        return dialog.result();
    };
}

} // namespace

class PickerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lookupPickersFillTheSearchBox_data() {
        // texts: window, caption, no add button, a name to choose
        AddColumns<PickerKind, QString>("kind", "texts");
        AddRow("award", PickerKind::LookupAward, "frmLookupAward|Lookup Award||Nebula Award");
        AddRow("subject", PickerKind::LookupSubject, "frmLookupSubject|Lookup Subject||Entertainment");
        AddRow("location", PickerKind::LookupLocation, "frmLookupLocation|Lookup Location||Living Room");
    }

    void lookupPickersFillTheSearchBox() {
        const auto [kind, texts] = FetchColumns<PickerKind, QString>("kind", "texts");
        const QString chosen = texts.section(u'|', 3);
        FRESH_CHECKED_HOME(home);
        QLineEdit txtSearch(u"typed before"_s);
        PickerSeen seen;
        home.onNextModal(pick(chosen, &seen));
        QCOMPARE(ShowLookupPicker(kind, nullptr, txtSearch), int(QDialog::Accepted));
        QCOMPARE(seen.shown + u"|" + chosen, texts);
        QCOMPARE(txtSearch.text(), chosen);
    }

    void selectAwardAppendsOnlyNewAwards() {
        FRESH_CHECKED_HOME(home);
        QListWidget lstAwards;
        lstAwards.addItems({"  nebula AWARD ", "Bestseller"});
        PickerSeen seen;
        home.onNextModal(pick(u"Nebula Award"_s, &seen));
        ShowSelectAward(nullptr, lstAwards);
        QCOMPARE(seen.shown, u"frmSelectAward|Select Award|&Add New Award"_s);
        QVERIFY(!seen.stayedOpen);
        QCOMPARE(entries(lstAwards), QStringList({"  nebula AWARD ", "Bestseller"}));

        home.onNextModal(pick(u"Nobel Prize"_s));
        ShowSelectAward(nullptr, lstAwards);
        QCOMPARE(entries(lstAwards), QStringList({"  nebula AWARD ", "Bestseller", "Nobel Prize"}));

        // A new award is stored and appended to the book in one step.
        bool stayedOpen = true;
        home.onNextModal(addNew(false, &stayedOpen));
        home.onNextModal(saveName(u"Hugo Award"_s));
        QCOMPARE(ShowSelectAward(nullptr, lstAwards), int(QDialog::Accepted));
        QVERIFY(!stayedOpen && entries(lstAwards).last() == u"Hugo Award"_s);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Award] WHERE [Name] = 'Hugo Award'"_s), 1);

        // With nothing to choose, Select leaves the picker open and the book alone.
        QVERIFY(gConn.execute(u"DELETE FROM [Award]"_s));
        home.onNextModal(pick(QString(), &seen));
        QCOMPARE(ShowSelectAward(nullptr, lstAwards), int(QDialog::Rejected));
        QVERIFY(seen.stayedOpen && seen.names.isEmpty() && lstAwards.count() == 4);
    }

    // The author text is replaced by a chosen or added author; a cancelled or refused name leaves
    // the picker open and the book alone, even when an earlier add left its name behind.
    void selectAuthorReplacesTheAuthorText() {
        FRESH_CHECKED_HOME(home);
        gLastAddedAuthor = u"Left Over"_s;
        QLineEdit txtAuthor(u"Someone"_s);
        bool stayedOpen = false;
        home.onNextModal(addNew(true, &stayedOpen));
        home.onNextModal(cancelDialog());
        ShowSelectAuthor(nullptr, txtAuthor);
        QVERIFY(stayedOpen);

        const QString existing = TextsOf(u"SELECT [Name] FROM [Author] WHERE [AuthorId] = 1"_s).value(0);
        home.prompts().answerOk();
        home.onNextModal(addNew(false, &stayedOpen));
        home.onNextModal(saveName(existing));
        ShowSelectAuthor(nullptr, txtAuthor);
        QVERIFY(stayedOpen && txtAuthor.text() == u"Someone"_s);
        QCOMPARE(home.prompts().last().text,
                 u"Author '" + existing + u"' already exists.  Please enter a unique name to add.");

        PickerSeen seen;
        home.onNextModal(pick(existing, &seen));
        ShowSelectAuthor(nullptr, txtAuthor);
        QCOMPARE(seen.shown, u"frmSelectAuthor|Select Author|&Add New Author"_s);
        QCOMPARE(txtAuthor.text(), existing);
        home.onNextModal(addNew(false, &stayedOpen));
        home.onNextModal(saveName(u"Ursula K. Le Guin"_s));
        ShowSelectAuthor(nullptr, txtAuthor);
        QVERIFY(!stayedOpen);
        QCOMPARE(txtAuthor.text(), u"Ursula K. Le Guin"_s);
    }
};

TOMEKEEP_TEST(PickerTest);
#include "tst_pickers.moc"
