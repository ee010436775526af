#pragma once

#include "reports/Printers.h"
#include "reports/Report.h"
#include "reports/ReportWriter.h"
#include "support/TestMain.h"

#include <functional>

// Stands in for the preview while a test writes reports: keeps each finished report file's
// bytes (and removes the file as the preview would), counts preview closings, and gives the
// writer a fixed clock. Everything is put back when it goes out of scope.
class ReportCapture {
public:
    explicit ReportCapture(const QDateTime& now = QDateTime(QDate(2024, 3, 5), QTime(10, 0, 0))) {
        m_previous = Writer().SetHooks({[this] { onClose(); }, [this](const QString& path) { onShow(path); },
                                        [now] {
                                            return now;
                                        }});
    }
    ~ReportCapture() { Writer().SetHooks(std::move(m_previous)); }
    ReportCapture(const ReportCapture&) = delete;
    ReportCapture& operator=(const ReportCapture&) = delete;

    // The lines of the last report shown, without their CR LF.
    QStringList lines() const { return LinesOf(shown.isEmpty() ? QByteArray() : shown.last()); }
    QByteArray bytes() const { return shown.isEmpty() ? QByteArray() : shown.last(); }

    static QStringList LinesOf(const QByteArray& bytes) {
        QStringList lines = QString::fromUtf8(bytes).split(u"\r\n"_s);
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    QList<QByteArray> shown;
    int closings = 0;
    // Runs at each preview closing, while the report file still exists.
    std::function<void()> atClose;

private:
    void onShow(const QString& path) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            shown.append(file.readAll());
        file.close();
        QFile::remove(path);
    }
    void onClose() {
        ++closings;
        if (atClose)
            atClose();
    }
    ReportWriter::Hooks m_previous;
};

// The texts written by "/TEXT" commands, in order.
inline QStringList textsOf(const QStringList& lines) {
    QStringList texts;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i] == QLatin1StringView("/TEXT"))
            texts << lines[i + 1];
    }
    return texts;
}

// A report whose heading and body a test gives.
class ScriptedReport : public Report {
public:
    explicit ScriptedReport(std::function<void(ScriptedReport&)> body = {}, bool pageHeading = true)
        : m_body(std::move(body))
        , m_pageHeading(pageHeading) {}

    QString Name() const override { return u"Test Report"_s; }
    bool IsReportReady() override { return true; }
    void PrintReport() override {
        Writer().BeginReport(*this, 0, 0, password);
        if (m_body)
            m_body(*this);
        Writer().EndReport();
    }
    void PrintHeading() override {
        ++headings;
        if (m_pageHeading)
            Writer().PrintPageHeading(*this);
        if (afterPageHeading)
            afterPageHeading();
    }

    QString password;
    std::function<void()> afterPageHeading;
    int headings = 0;

private:
    std::function<void(ScriptedReport&)> m_body;
    bool m_pageHeading;
};

// Installed printers as a test says, until the guard returned goes out of scope.
inline auto fakePrinters(const QStringList& names = {}) {
    return qScopeGuard(
        [previous = SetPrinterLister([names] { return names; })] { SetPrinterLister(previous); });
}
