#pragma once

#include "support/TestMain.h"

#include <atomic>
#include <thread>

// Another program on the same catalogue file: a connection of its own, in a thread of its own,
// that takes the catalogue's write lock and lets it go after a while, as a second program's
// save or import would. The constructor returns once the lock is held; the destructor waits for
// the thread.
class SecondProgramLock {
public:
    SecondProgramLock(const QString& catalogueFile, int holdMs);
    ~SecondProgramLock();
    SecondProgramLock(const SecondProgramLock&) = delete;
    SecondProgramLock& operator=(const SecondProgramLock&) = delete;

    bool held() const { return m_held; }
    // The pointer shape this program showed the moment the lock was let go (Qt::CursorShape),
    // -1 for none.
    int pointerAtRelease() const { return m_pointer; }

private:
    std::thread m_thread;
    std::atomic<bool> m_held{false};
    std::atomic<int> m_pointer{-1};
};
