#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

// Tools, Start over: the start-over window, modal; populateList reloads the main window's list.
void ShowStartOver(QWidget* parent, const std::function<void()>& populateList);

// Deletes the whole catalogue and creates it again with only its standard lists and sample book,
// once the user has ticked the box and confirmed.
class frmStartOver : public QDialog {
    Q_OBJECT
public:
    frmStartOver(QWidget* parent, std::function<void()> populateList);

    QLabel* lblInfo1 = nullptr;
    QCheckBox* chkStartOver1 = nullptr;
    QPushButton* cmdStartOver = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void Form_Load();
    void cmdStartOver_Click();

    std::function<void()> m_populateList;
};
