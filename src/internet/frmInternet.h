#pragma once

#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Internet Settings": which library catalogue the lookup images open.
class frmInternet : public QDialog {
    Q_OBJECT
public:
    explicit frmInternet(QWidget* parent = nullptr);

    // The site saved by OK; empty when the window closed without saving.
    QString ChosenSite() const { return m_chosen; }

    std::array<QRadioButton*, 4> optInternet{};
    QLabel* lblnfo = nullptr;
    // Where Look Up ISBN asks for a book's details.
    QLineEdit* txtMetadataUrl = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void Form_Load();
    void cmdOK_Click();
    // Saves the book details server; false (and the user told) when it is no web address.
    bool saveMetadataUrl();

    QString m_chosen;
};
