#pragma once

#include "app/Modal.h"
#include "db/RecordHelpers.h"
#include "db/Recordset.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"

#include <memory>

// A test's own world: a private data folder (so settings and catalogues never leak between
// tests), scripted prompts, the search state of a fresh start and no open catalogue.
// Everything is put back when it goes out of scope.
class TestHome {
public:
    TestHome();
    ~TestHome();
    TestHome(const TestHome&) = delete;
    TestHome& operator=(const TestHome&) = delete;

    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    ScriptedPrompts& prompts() { return *m_prompts; }

    // Queues what to do with the next modal window instead of running its event loop: the
    // action gets the window (shown) and answers its result. A modal window with no queued
    // action fails the test.
    void onNextModal(ModalRunner action);
    int pendingModalActions() const { return static_cast<int>(m_modalActions.size()); }

    // Opens a new standard catalogue named BIBLIO as gConn. Built once per test program and
    // copied, so every test starts from the same fresh seed rows.
    bool openFreshCatalogue();
    // Writes a new standard catalogue to any path (its folder created), without opening it.
    bool makeCatalogueFile(const QString& path) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previousHome;
    ScriptedPrompts* m_prompts = nullptr;
    std::unique_ptr<Prompts> m_previousPrompts;
    ModalRunner m_previousRunner;
    QList<ModalRunner> m_modalActions;
};

// Fails the running test when a prompt came that the script did not answer.
#define VERIFY_NO_UNEXPECTED_PROMPTS(home)                                                                   \
    QVERIFY2((home).prompts().unexpected().isEmpty(),                                                        \
             qPrintable((home).prompts().unexpected().join(u" | "_s)))

// Declares a test's home with a fresh standard catalogue open as gConn.
#define FRESH_HOME(home)                                                                                     \
    TestHome home;                                                                                           \
    QVERIFY((home).openFreshCatalogue())

// A test's home that fails the test, when it ends, for any prompt the script did not answer.
struct CheckedHome : TestHome {
    ~CheckedHome() { VERIFY_NO_UNEXPECTED_PROMPTS(*this); }
};

// FRESH_HOME, checked at the test's end.
#define FRESH_CHECKED_HOME(home)                                                                             \
    CheckedHome home;                                                                                        \
    QVERIFY((home).openFreshCatalogue())

// A number the open catalogue answers (a count, an id); -1 when the query fails.
// A book of the standard "(none)" lookups, for a test to change what it cares about.
inline BookFields PlainBook(const QString& title) {
    BookFields book;
    book.subjectId = book.locationId = book.formatId = book.ratingId = 1;
    book.title = title;
    return book;
}

inline qint64 NumberOf(const QString& sql, const QVariantList& params = {}) {
    const auto value = QueryNumber(sql, params);
    return value ? *value : -1;
}

// Every row the open catalogue answers, its columns joined by '|'; "<failed>" when the query fails.
inline QStringList TextsOf(const QString& sql, const QVariantList& params = {}) {
    auto rows = Recordset::open(sql, params);
    if (!rows)
        return {u"<failed>"_s};
    QStringList texts;
    for (; !rows->eof(); rows->moveNext()) {
        QStringList columns;
        for (int column = 0; column < rows->columns().size(); ++column)
            columns << rows->text(column);
        texts << columns.join(u'|');
    }
    return texts;
}

// Writes a whole file (its folder must exist).
inline void WriteFile(const QString& path, const QByteArray& bytes = {}) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}
