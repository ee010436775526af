#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The program's name and version, and how many books the open catalogue holds.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* picLogo = nullptr;
    QLabel* lblApp = nullptr;
    QLabel* lblPgCnt = nullptr;
    QPushButton* cmdOK = nullptr;

private:
    void Form_Load();
};

// "Tomekeep 1.0.01": the revision always has at least two digits.
QString AboutVersionText(int major, int minor, int revision);
// "Books on file: 12,345", grouped by the locale's thousands separator.
QString BooksOnFileText(qint64 count);
