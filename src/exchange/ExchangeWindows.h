#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// Tools, Export to file: the export window, modal.
void ShowExportWindow(QWidget* parent);
// Tools, Import from file: the import window, modal; populateList reloads the main window's list.
void ShowImportWindow(QWidget* parent, const std::function<void()>& populateList);

// What tells the export and import windows apart.
struct ExchangeWindowText {
    QString objectName;
    QString caption;
    QString help;
    QString filenameSetting;
    QString actionName;
    QString actionCaption;
};

// The export and import windows: a help line, the file name with a browse button, the action
// (the default button, so Enter runs it) and Close.
class ExchangeWindow : public QDialog {
    Q_OBJECT
public:
    QLabel* lblHelp = nullptr;
    QLabel* lblFilename = nullptr;
    QLineEdit* txtFilename = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    ExchangeWindow(QWidget* parent, const ExchangeWindowText& text);
    QPushButton* actionButton() const { return m_action; }
    const ExchangeWindowText& text() const { return m_text; }
    void showBookTitle(const QString& title) { setWindowTitle(title); }
    void restoreCaption() { setWindowTitle(m_text.caption); }
    virtual QString chooseFile(const QString& filter) = 0;
    virtual void runAction() = 0;

private:
    void cmdBrowse_Click();

    ExchangeWindowText m_text;
    QPushButton* m_action = nullptr;
};

class frmExport : public ExchangeWindow {
    Q_OBJECT
public:
    explicit frmExport(QWidget* parent = nullptr);

    QPushButton* cmdExport = nullptr;

protected:
    QString chooseFile(const QString& filter) override;
    void runAction() override;
};

class frmImport : public ExchangeWindow {
    Q_OBJECT
public:
    frmImport(QWidget* parent, std::function<void()> populateList);

    QPushButton* cmdImport = nullptr;

protected:
    QString chooseFile(const QString& filter) override;
    void runAction() override;

private:
    std::function<void()> m_populateList;
};
