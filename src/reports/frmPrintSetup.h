#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Chooses the printer and the number of copies reports are printed with; both are kept in
// the settings ("Printer", "Copies").
class frmPrintSetup : public QDialog {
    Q_OBJECT
public:
    explicit frmPrintSetup(QWidget* parent = nullptr);

    QLabel* lblName = nullptr;
    QComboBox* cboPrinter = nullptr;
    QLabel* lblCopies = nullptr;
    QLineEdit* txtCopies = nullptr;
    // Shown only when no printer is installed.
    QLabel* lblNoPrinter = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void Form_Load();
    void cmdOK_Click();
};

// Copies as typed, made a number from 1 to 99 (rounded to the nearest, ties to even); any
// other text, empty or unreadable, gives 1.
int CopiesFromText(const QString& text);
