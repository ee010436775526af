#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// Set by the progress window's Cancel button; the long loop that started the window reads it.
extern bool gCancelled;

// A status line over a bar that fills step by step; the splash and progress windows share it.
class ProgressWindowBase : public QDialog {
    Q_OBJECT
public:
    void Reset() { SetValue(0); }
    void Increment(const QString& status);
    void SetRange(int minimum, int maximum);
    void SetStatus(const QString& status);

    int Value() const { return m_value; }
    int Min() const { return m_min; }
    int Max() const { return m_max; }
    // The bar's width as a share of its frame, 0 to 1.
    double FilledShare() const;

    QLabel* lblStatus = nullptr;
    QFrame* shpBackground = nullptr;
    QFrame* shpForeground = nullptr;

protected:
    explicit ProgressWindowBase(const QString& objectName, QWidget* parent);
    void SetValue(int value);
    // How often pending window events are let through while the bar moves.
    virtual bool ProcessEventsAt(int value) const = 0;
    void resizeEvent(QResizeEvent* event) override;

private:
    void drawBar();

    int m_min = 0;
    int m_max = 0;
    int m_value = 0;
};

class frmSplash : public ProgressWindowBase {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

protected:
    bool ProcessEventsAt(int) const override { return true; }
};

class frmProgress : public ProgressWindowBase {
    Q_OBJECT
public:
    explicit frmProgress(QWidget* parent = nullptr);
    void ShowCancel();
    void StopProgress();
    bool CanClose() const { return mCanClose; }

    QPushButton* cmdCancel = nullptr;

protected:
    bool ProcessEventsAt(int value) const override { return value % 20 == 0; }
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void cmdCancel_Click();

    bool mCanClose = false;
};

void StartSplash(const QString& status, int minimum, int maximum);
void SplashStep(const QString& status);
void EndSplash();
frmSplash* SplashWindow();

void StartProgress(const QString& status, int minimum, int maximum);
void ProgressStep(const QString& status);
void EndProgress();
frmProgress* ProgressWindow();

void SetTopMost(QWidget* window, bool on);
