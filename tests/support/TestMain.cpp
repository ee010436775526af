#include "support/TestMain.h"

#include "app/Resources.h"

#include <vector>

namespace {

struct Registered {
    const char* name;
    TestFactory factory;
};

std::vector<Registered>& registry() {
    static std::vector<Registered> classes;
    return classes;
}

} // namespace

bool RegisterTestClass(const char* name, TestFactory factory) {
    registry().push_back({name, std::move(factory)});
    return true;
}

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Tomekeep"_s);
    InitResources();
    int failures = 0;
    int classes = 0;
    for (const Registered& entry : registry()) {
        const std::unique_ptr<QObject> test = entry.factory();
        failures += QTest::qExec(test.get(), argc, argv) != 0 ? 1 : 0;
        ++classes;
    }
    // The closing line test runners read.
    qInfo("%d passed, %d failed", classes - failures, failures);
    return failures == 0 ? 0 : 1;
}
