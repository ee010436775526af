#pragma once

#include <QWidget>

class QPushButton;
class QUrl;
class QTextBrowser;

// The handbook shipped inside the program, read beside the window it explains. One help
// window serves the whole run; asking for it again brings it to the front.
class frmHelp : public QWidget {
    Q_OBJECT
public:
    explicit frmHelp(QWidget* parent = nullptr);

    // Shows a section of the handbook by its anchor; the start when the anchor is empty.
    void ShowSection(const QString& anchor);

    QTextBrowser* txtHandbook = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdContents = nullptr;
    QPushButton* cmdClose = nullptr;
};

// Opens the help window (or brings the open one forward) at a section of the handbook.
frmHelp* ShowHandbook(QWidget* parent, const QString& anchor = QString());
// The help window now open, if any.
frmHelp* HelpWindow();
// The handbook's resource address.
QUrl HandbookUrl();
