#pragma once

#include <memory>

class QString;
class QWidget;
class frmWizard;
struct DbError;

// Checks that the catalogue engine can be used; tells the user and answers false when not.
bool CheckDataAccess();
// Starts the program: reads the catalogue name, opens (or creates) the catalogue behind the
// splash window and answers the main window, shown. Answers nothing when start-up failed;
// the user has then been told why.
std::unique_ptr<frmWizard> Main();
// Remembers where a window stands, under its own name when name is empty.
void SaveFormPlacement(const QWidget& window, const QString& name);
// The message shown when the catalogue cannot be opened or created at start-up.
QString StartupFailureText(const QString& catalogueName, const DbError& error);
// Tells the user that the open catalogue may only be read, and whether it lacks this program's additions.
void TellReadOnlyCatalogue();
