#pragma once

#include <QApplication>

// The wait pointer for as long as it lives: while a file is written or read, or a save waits for
// another program to let go of the catalogue. Put aside while a question waits for the user.
class WaitPointer {
public:
    WaitPointer() { resume(); }
    ~WaitPointer() { restore(); }
    WaitPointer(const WaitPointer&) = delete;
    WaitPointer& operator=(const WaitPointer&) = delete;

    void restore() {
        if (m_active)
            QApplication::restoreOverrideCursor();
        m_active = false;
    }
    void resume() {
        if (!m_active)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        m_active = true;
    }

private:
    bool m_active = false;
};
