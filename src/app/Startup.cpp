#include "app/Startup.h"

#include "app/Placement.h"
#include "app/ProgressWindows.h"
#include "app/Prompts.h"
#include "app/RecentCatalogues.h"
#include "app/Settings.h"
#include "app/Twips.h"
#include "backup/Backup.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "main/SearchState.h"
#include "main/frmWizard.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTimer>
#include <QWidget>

namespace {

const QString kProbeConnection = QStringLiteral("tomekeep-engine-check");
constexpr int kNoSuchFile = 14; // as the engine's "unable to open database file"

bool engineOpens() {
    bool opened = false;
    {
        QSqlDatabase probe = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kProbeConnection);
        probe.setDatabaseName(QStringLiteral(":memory:"));
        opened = probe.open();
        probe.close();
    }
    QSqlDatabase::removeDatabase(kProbeConnection);
    return opened;
}

bool failStartup(const DbError& error) {
    EndSplash();
    gConn.close();
    TellError(StartupFailureText(CatalogueDisplayName(), error));
    return false;
}

} // namespace

bool CheckDataAccess() {
    if (QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")) && engineOpens())
        return true;
    prompts().tell(QStringLiteral("Tomekeep"),
                   QStringLiteral("Tomekeep needs the SQLite driver of Qt SQL, which is not installed.  "
                                  "Please install the package libqt6sql6-sqlite and start Tomekeep again."),
                   PromptIcon::Critical);
    return false;
}

QString StartupFailureText(const QString& catalogueName, const DbError& error) {
    return QStringLiteral("Tomekeep cannot open the book database '%1'.\n\n%2")
        .arg(catalogueName, error.messageText());
}

void TellReadOnlyCatalogue() {
    QString text =
        QStringLiteral("The book database '%1' is read-only: its books can be looked at but not changed.")
            .arg(CatalogueDisplayName());
    if (const auto missing = SchemaStepsMissing(); missing && *missing > 0)
        text +=
            QStringLiteral("\n\nIt was made by an earlier version of Tomekeep and cannot be brought up to "
                           "date while it is read-only.");
    prompts().tell(QStringLiteral("Tomekeep"), text);
}

std::unique_ptr<frmWizard> Main(const QString& catalogueFile) {
    gSearchMode = kSearchAll;
    ReadDBName();
    gCatalogueFile.clear();
    if (!catalogueFile.isEmpty()) {
        // Only catalogues named in the program are created on demand; a mistyped path opens nothing.
        const QFileInfo file(catalogueFile);
        if (!file.isFile()) {
            TellError(StartupFailureText(
                file.completeBaseName(),
                DbError{kNoSuchFile,
                        QStringLiteral("there is no file %1").arg(QDir::toNativeSeparators(catalogueFile))}));
            return nullptr;
        }
        UseCatalogueFile(catalogueFile);
    }
    if (!CheckDataAccess())
        return nullptr;
    StartSplash(QStringLiteral("Starting"), 1, 6);
    SplashStep(QStringLiteral("Open database"));
    if (DbStatus opened = OpenDatabase(); !opened) {
        failStartup(opened.error());
        return nullptr;
    }
    RememberRecentCatalogue(CatalogueFile());
    SplashStep(QStringLiteral("Update database"));
    if (DbStatus updated = UpdateDatabase(); !updated) {
        failStartup(updated.error());
        return nullptr;
    }
    SplashStep(QStringLiteral("Loading books"));
    auto window = std::make_unique<frmWizard>();
    window->Form_Load();
    SplashStep(QStringLiteral("Initializing"));
    EndSplash();
    RestoreFormPlacement(*window, QString());
    window->show();
    if (gConn.isReadOnly())
        TellReadOnlyCatalogue();
    // The day's copy is made once the window is up: on a large catalogue it takes a while, and
    // the books are there to look at. A catalogue that may only be read cannot change, and its
    // folder may take no copy.
    else
        QTimer::singleShot(0, window.get(), [] { DailyBackup(); });
    return window;
}

void SaveFormPlacement(const QWidget& window, const QString& name) {
    const QString prefix = name.isEmpty() ? window.objectName() : name;
    const int state = window.isMinimized() ? 1 : window.isMaximized() ? 2 : 0;
    if (state == 0) {
        const QRect frame = window.frameGeometry();
        SaveSetting(prefix + QStringLiteral(".Top"), QString::number(PixelsToTwips(frame.top())));
        SaveSetting(prefix + QStringLiteral(".Left"), QString::number(PixelsToTwips(frame.left())));
        SaveSetting(prefix + QStringLiteral(".Height"), QString::number(PixelsToTwips(frame.height())));
        SaveSetting(prefix + QStringLiteral(".Width"), QString::number(PixelsToTwips(frame.width())));
    }
    SaveSetting(prefix + QStringLiteral(".WindowState"), QString::number(state));
}
