#include "LookupTestSupport.h"
#include "lookups/LookupLists.h"
#include "lookups/Pickers.h"
#include "lookups/frmPicker.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

using namespace lookuptest;

namespace {

// What the open picker showed, then a choice of the named entry (or none) and Select.
struct PickerSeen {
    QString objectName;
    QString caption;
    QString addCaption;
    QStringList names;
    bool stayedOpen = false;
};

ModalRunner pick(const QString& name, PickerSeen* seen = nullptr) {
    return [name, seen](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("lstData"));
        if (seen) {
            const auto* add = dialog.findChild<QPushButton*>(QStringLiteral("cmdAdd"));
            *seen = {dialog.objectName(), dialog.windowTitle(), add ? add->text() : QString(),
                     entries(*list)};
        }
        list->clearSelection();
        selectName(*list, name);
        click(dialog, QStringLiteral("cmdSelect"));
        if (seen)
            seen->stayedOpen = dialog.isVisible();
        return dialog.result();
    };
}

// Presses the picker's Add (by the Insert key when asked) and reports whether it stayed open.
ModalRunner addNew(bool byKey, bool* stayedOpen) {
    return [byKey, stayedOpen](QDialog& dialog) {
        if (byKey)
            QTest::keyClick(dialog.findChild<QListWidget*>(QStringLiteral("lstData")), Qt::Key_Insert);
        else
            click(dialog, QStringLiteral("cmdAdd"));
        *stayedOpen = dialog.isVisible();
        if (dialog.isVisible())
            click(dialog, QStringLiteral("cmdClose"));
        return dialog.result();
    };
}

} // namespace

class PickerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lookupPickersFillTheSearchBox_data() {
        QTest::addColumn<PickerKind>("kind");
        QTest::addColumn<QStringList>("texts"); // window, caption, a name to choose
        QTest::newRow("award") << PickerKind::LookupAward
                               << QStringList{"frmLookupAward", "Lookup Award", "Nebula Award"};
        QTest::newRow("subject") << PickerKind::LookupSubject
                                 << QStringList{"frmLookupSubject", "Lookup Subject", "Entertainment"};
        QTest::newRow("location") << PickerKind::LookupLocation
                                  << QStringList{"frmLookupLocation", "Lookup Location", "Living Room"};
    }

    void lookupPickersFillTheSearchBox() {
        QFETCH(PickerKind, kind);
        QFETCH(QStringList, texts);
        const QString chosen = texts[2];
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        QLineEdit txtSearch(QStringLiteral("typed before"));
        PickerSeen seen;
        home.onNextModal(pick(chosen, &seen));
        QCOMPARE(ShowLookupPicker(kind, nullptr, txtSearch), int(QDialog::Accepted));
        QCOMPARE(QStringList({seen.objectName, seen.caption, seen.addCaption}),
                 QStringList({texts[0], texts[1], QString()}));
        QVERIFY(seen.names.contains(chosen));
        QVERIFY(
            std::is_sorted(seen.names.cbegin(), seen.names.cend(), [](const QString& a, const QString& b) {
                return a.compare(b, Qt::CaseInsensitive) < 0;
            }));
        QCOMPARE(txtSearch.text(), chosen);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void selectAwardAppendsOnlyNewAwards() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        QListWidget lstAwards;
        lstAwards.addItems({"  nebula AWARD ", "Bestseller"});
        PickerSeen seen;
        home.onNextModal(pick(QStringLiteral("Nebula Award"), &seen));
        ShowSelectAward(nullptr, lstAwards);
        QCOMPARE(QStringList({seen.objectName, seen.caption, seen.addCaption}),
                 QStringList({"frmSelectAward", "Select Award", "&Add New Award"}));
        QVERIFY(!seen.stayedOpen);
        QCOMPARE(entries(lstAwards), QStringList({"  nebula AWARD ", "Bestseller"}));

        home.onNextModal(pick(QStringLiteral("Nobel Prize")));
        ShowSelectAward(nullptr, lstAwards);
        QCOMPARE(entries(lstAwards), QStringList({"  nebula AWARD ", "Bestseller", "Nobel Prize"}));

        // A new award is stored and appended to the book in one step.
        bool stayedOpen = true;
        home.onNextModal(addNew(false, &stayedOpen));
        home.onNextModal(saveName(QStringLiteral("Hugo Award")));
        QCOMPARE(ShowSelectAward(nullptr, lstAwards), int(QDialog::Accepted));
        QVERIFY(!stayedOpen);
        QCOMPARE(entries(lstAwards).last(), QStringLiteral("Hugo Award"));
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Award] WHERE [Name] = 'Hugo Award'")), 1);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    // The author text is replaced by a chosen or added author; a cancelled or refused name leaves
    // the picker open and the book alone, even when an earlier add left its name behind.
    void selectAuthorReplacesTheAuthorText() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        gLastAddedAuthor = QStringLiteral("Left Over");
        QLineEdit txtAuthor(QStringLiteral("Someone"));
        bool stayedOpen = false;
        home.onNextModal(addNew(true, &stayedOpen));
        home.onNextModal(cancelDialog());
        ShowSelectAuthor(nullptr, txtAuthor);
        QVERIFY(stayedOpen);

        const QString existing = firstAuthor();
        home.prompts().answerOk();
        home.onNextModal(addNew(false, &stayedOpen));
        home.onNextModal(saveName(existing));
        ShowSelectAuthor(nullptr, txtAuthor);
        QVERIFY(stayedOpen);
        QCOMPARE(home.prompts().last().text,
                 u"Author '" + existing + u"' already exists.  Please enter a unique name to add.");
        QCOMPARE(txtAuthor.text(), QStringLiteral("Someone"));

        PickerSeen seen;
        home.onNextModal(pick(existing, &seen));
        ShowSelectAuthor(nullptr, txtAuthor);
        QCOMPARE(QStringList({seen.objectName, seen.caption, seen.addCaption}),
                 QStringList({"frmSelectAuthor", "Select Author", "&Add New Author"}));
        QCOMPARE(txtAuthor.text(), existing);
        home.onNextModal(addNew(false, &stayedOpen));
        home.onNextModal(saveName(QStringLiteral("Ursula K. Le Guin")));
        ShowSelectAuthor(nullptr, txtAuthor);
        QVERIFY(!stayedOpen);
        QCOMPARE(txtAuthor.text(), QStringLiteral("Ursula K. Le Guin"));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void selectWithNothingToChooseStaysOpen() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        QVERIFY(gConn.execute(QStringLiteral("DELETE FROM [Award]")));
        QListWidget lstAwards;
        PickerSeen seen;
        home.onNextModal(pick(QString(), &seen));
        QCOMPARE(ShowSelectAward(nullptr, lstAwards), int(QDialog::Rejected));
        QVERIFY(seen.stayedOpen);
        QVERIFY(seen.names.isEmpty());
        QCOMPARE(lstAwards.count(), 0);
    }

private:
    static QString firstAuthor() {
        auto first =
            Recordset::open(QStringLiteral("SELECT [Name] FROM [Author] ORDER BY [AuthorId] LIMIT 1"));
        return first && !first->eof() ? first->text(0) : QString();
    }
};

TOMEKEEP_TEST(PickerTest);
#include "tst_pickers.moc"
