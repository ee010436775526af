#include "support/SecondProgram.h"

#include "db/Connection.h"

#include <chrono>
#include <future>

SecondProgramLock::SecondProgramLock(const QString& catalogueFile, int holdMs) {
    std::promise<bool> locked;
    std::future<bool> lockTaken = locked.get_future();
    m_thread = std::thread([this, catalogueFile, holdMs, &locked] {
        Connection second(u"second program holding the lock"_s);
        const bool taken = second.open(catalogueFile).ok() && second.beginTransaction().ok();
        locked.set_value(taken);
        if (!taken)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
        const QCursor* pointer = QGuiApplication::overrideCursor();
        m_pointer = pointer ? int(pointer->shape()) : -1;
        static_cast<void>(second.commit());
    });
    m_held = lockTaken.get();
}

SecondProgramLock::~SecondProgramLock() {
    m_thread.join();
}
