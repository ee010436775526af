#pragma once

// The figures of one step of a benchmark: clock time, processor time (user and system) and the
// peak resident memory of the step alone. On a machine shared with other work the processor
// time is the steadier figure.
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <sys/resource.h>

class StepMeter {
public:
    // Forgets the peak memory of the steps before, so that the peak read at the end is this step's.
    StepMeter() {
        QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
        if (clearRefs.open(QIODevice::WriteOnly))
            clearRefs.write("5");
        m_processorBefore = processorMs();
        m_timer.start();
    }

    // "12345 ms clock, 6789 ms processor, peak 42 MB"
    QString figures() const {
        return QStringLiteral("%1 ms clock, %2 ms processor, peak %3 MB")
            .arg(m_timer.elapsed())
            .arg(processorMs() - m_processorBefore)
            .arg(usage().ru_maxrss / 1024);
    }

private:
    static rusage usage() {
        rusage used{};
        getrusage(RUSAGE_SELF, &used);
        return used;
    }

    static qint64 processorMs() {
        const rusage used = usage();
        const auto ms = [](const timeval& t) {
            return qint64(t.tv_sec) * 1000 + t.tv_usec / 1000;
        };
        return ms(used.ru_utime) + ms(used.ru_stime);
    }

    QElapsedTimer m_timer;
    qint64 m_processorBefore = 0;
};
