#pragma once

#include <QString>
#include <memory>

class QWidget;
class frmWizard;
struct DbError;

// Checks that the catalogue engine can be used; tells the user and answers false when not.
bool CheckDataAccess();
// Starts the program: reads the catalogue name, opens (or creates) the catalogue behind the
// splash window and answers the main window, shown. Answers nothing when start-up failed;
// the user has then been told why. A catalogue file given on the command line is opened where
// it lies instead; it must exist.
std::unique_ptr<frmWizard> Main(const QString& catalogueFile = QString());
// Remembers where a window stands, under its own name when name is empty.
void SaveFormPlacement(const QWidget& window, const QString& name);
// The message shown when the catalogue cannot be opened or created at start-up.
QString StartupFailureText(const QString& catalogueName, const DbError& error);
// Tells the user that the open catalogue may only be read, and whether it lacks this program's additions.
void TellReadOnlyCatalogue();
