#include "reports/PreviewHost.h"

#include "app/Prompts.h"
#include "reports/PreviewDocument.h"
#include "reports/frmPP.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace {

QPointer<frmPP>& openWindow() {
    static QPointer<frmPP> window;
    return window;
}

// A preview still open when the program ends closes with it, and takes its file along.
void closeAtQuit() {
    static bool connected = false;
    if (!connected && QCoreApplication::instance()) {
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                         [] { ClosePreview(); });
        connected = true;
    }
}

} // namespace

frmPP* PreviewWindow() {
    return openWindow().data();
}

void ClosePreview() {
    if (frmPP* window = openWindow().data())
        window->close();
    openWindow().clear();
}

void ShowPreview(const QString& spoolFile) {
    ClosePreview();
    PreviewDocument& document = Preview();
    document.SetSpoolPath(spoolFile);
    document.Init();
    // The page index, the password and the header are read before the window shows, so that
    // no question interrupts its first drawing.
    if (!document.Load()) {
        prompts().tell(QStringLiteral("Error"),
                       QStringLiteral("Cannot read the report file ") + spoolFile + u'.',
                       PromptIcon::Critical);
        QFile::remove(spoolFile);
        return;
    }
    closeAtQuit();
    // The window owns itself: it is deleted when it closes.
    auto* window = new frmPP();
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The preview does not keep the program running once the main window has closed.
    window->setAttribute(Qt::WA_QuitOnClose, false);
    openWindow() = window;
    // The whole screen, even where no window manager maximises windows.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->setGeometry(screen->availableGeometry());
    window->showMaximized();
}
