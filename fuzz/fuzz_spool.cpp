// Feeds any bytes to the preview as a report file: page index, password, header, every page
// through the screen renderer, the whole file through the print renderer, and, for small
// inputs, the real page canvas and a PDF printer. Whatever the bytes, reading must end, and
// nothing may crash or read out of bounds.
#include "app/Prompts.h"
#include "reports/PreviewDocument.h"
#include "reports/PrintSpool.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

constexpr int kPagesRendered = 20;
// Fonts and PDF output are slow: only inputs this small reach them.
constexpr std::size_t kLargestDrawnInput = 300;

// Answers the password question with a fixed password and every other prompt with Cancel.
class FuzzPrompts : public Prompts {
public:
    PromptAnswer ask(const QString&, const QString&, PromptButtons, PromptIcon) override {
        return PromptAnswer::Cancel;
    }
    QString inputText(const QString&, const QString&, const QString&, std::optional<QPoint>) override {
        return QStringLiteral("Key");
    }
    QString chooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
};

// A page with plain metrics and no fonts, so that every command is exercised quickly.
class PlainPage : public TwipsSurface, public PrintPages {
public:
    void setFont(const SpoolFont& font) override { m_font = font; }
    SpoolFont font() const override { return m_font; }
    double textWidth(const QString& text) const override {
        return static_cast<double>(text.size()) * m_font.points;
    }
    double textHeight() const override { return m_font.points * 20; }
    void setColor(const QColor&) override {}
    void drawText(const QPointF&, const QString&) override {}
    void drawBox(const QPointF&, const QPointF&, int) override {}
    void drawRule(const QPointF&, const QPointF&, int) override {}
    void newPage() override {}
    void setOrientation(int) override {}
    void setPaperSize(int) override {}

private:
    SpoolFont m_font;
};

struct FuzzWorld {
    FuzzWorld() {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(QStringLiteral("out.pdf")));
    }
    QTemporaryDir folder;
    QString spool = folder.filePath(QStringLiteral("00000001.tmp"));
    // Made once: a new printer asks the print system for its default printer, which is slow.
    QPrinter printer{QPrinter::HighResolution};
};

FuzzWorld* gWorld = nullptr;

void renderPlainly(PreviewDocument& document) {
    PlainPage page;
    for (int n = 1; n <= std::min(document.PageCount(), kPagesRendered); ++n) {
        ScreenRenderer screen(page, document.State());
        SpoolFileReader reader(document.SpoolPath(), document.Key());
        if (reader.open() && reader.seekTo(document.PageOffset(n)))
            screen.drawPage(reader);
    }
    RenderState state;
    PlainPage canvas;
    PrintRenderer printer(page, page, canvas, state, {});
    SpoolFileReader reader(document.SpoolPath(), document.Key());
    printer.print(reader);
}

void drawForReal(PreviewDocument& document) {
    document.RenderCurrentPage();
    document.SetCurrentPage(document.PageCount());
    document.RenderCurrentPage();
    PrintSpoolTo(gWorld->printer, document, {});
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    static FuzzWorld world;
    gWorld = &world;
    qputenv("TOMEKEEP_HOME", QFile::encodeName(world.folder.path()));
    installPrompts(std::make_unique<FuzzPrompts>());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        QFile file(gWorld->spool);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    PreviewDocument document;
    document.SetSpoolPath(gWorld->spool);
    document.Init();
    document.Load();
    renderPlainly(document);
    if (size <= kLargestDrawnInput)
        drawForReal(document);
    return 0;
}
