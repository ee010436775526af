#include "support/TestHome.h"

#include "app/Paths.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "main/SearchState.h"

namespace {

// The standard catalogue, built once per test program from the program's own creation code.
QString templateCatalogue() {
    static QTemporaryDir folder;
    static QString path;
    if (path.isEmpty()) {
        const QByteArray home = qgetenv("TOMEKEEP_HOME");
        qputenv("TOMEKEEP_HOME", QFile::encodeName(folder.path()));
        gDBName = u"BIBLIO"_s;
        gCatalogueFile.clear();
        if (CreateDatabase())
            path = CatalogueFilePath(gDBName);
        qputenv("TOMEKEEP_HOME", home);
    }
    return path;
}

// A test that opens a window must say how to answer it: one it did not expect fails it.
int RefuseModal(QDialog& dialog) {
    qWarning("A modal window opened that the test did not expect: %s", qPrintable(dialog.objectName()));
    QTest::qFail("unexpected modal window", __FILE__, __LINE__);
    return QDialog::Rejected;
}

} // namespace

TestHome::TestHome() {
    gConn.close();
    m_previousHome = qgetenv("TOMEKEEP_HOME");
    qputenv("TOMEKEEP_HOME", QFile::encodeName(m_dir.path()));
    auto scripted = std::make_unique<ScriptedPrompts>();
    m_prompts = scripted.get();
    m_previousPrompts = installPrompts(std::move(scripted));
    m_previousRunner = SetModalRunner([this](QDialog& dialog) {
        if (m_modalActions.isEmpty())
            return RefuseModal(dialog);
        const ModalRunner action = m_modalActions.takeFirst();
        dialog.show();
        const int result = action(dialog);
        dialog.hide();
        return result;
    });
    gDBName = u"BIBLIO"_s;
    gCatalogueFile.clear();
    ResetSearchState();
}

TestHome::~TestHome() {
    gConn.close();
    gCatalogueFile.clear();
    SetModalRunner(std::move(m_previousRunner));
    installPrompts(std::move(m_previousPrompts));
    if (m_previousHome.isNull())
        qunsetenv("TOMEKEEP_HOME");
    else
        qputenv("TOMEKEEP_HOME", m_previousHome);
}

void TestHome::onNextModal(ModalRunner action) {
    m_modalActions.append(std::move(action));
}

bool TestHome::openFreshCatalogue() {
    const QString source = templateCatalogue();
    gDBName = u"BIBLIO"_s;
    const QString target = CatalogueFilePath(gDBName);
    QFile::remove(target);
    if (source.isEmpty() || !QFile::copy(source, target))
        return false;
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return OpenDatabase().ok();
}

bool TestHome::makeCatalogueFile(const QString& path) const {
    const QString source = templateCatalogue();
    QDir().mkpath(QFileInfo(path).absolutePath());
    return !source.isEmpty() && QFile::copy(source, path) &&
           QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}
