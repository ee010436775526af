#include "main/PlainTextLimit.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

PlainTextLimit::PlainTextLimit(QPlainTextEdit& box, int limit)
    : QObject(&box)
    , m_box(box)
    , m_limit(limit) {
    connect(box.document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { trimInsertion(position, added); });
}

// What does not fit is taken off the end of what was just inserted, just before the caret, so
// the text before and after stays as it was and the caret stays behind what was kept.
void PlainTextLimit::trimInsertion(int position, int added) {
    if (m_trimming || added <= 0)
        return;
    QTextDocument* document = m_box.document();
    // The document counts the paragraph separator after the last line as a character too.
    const int length = document->characterCount() - 1;
    const int caret = m_box.textCursor().position();
    // A paste reports a wider change than what it inserted; the caret marks its end.
    const int end =
        caret > position && caret <= position + added ? caret : std::min(position + added, length);
    const int excess = std::min(length - m_limit, end - position);
    if (excess <= 0)
        return;
    m_trimming = true;
    QTextCursor cut(document);
    // One undo step with the insertion: undoing it never brings back the part refused.
    cut.joinPreviousEditBlock();
    cut.setPosition(end - excess);
    cut.setPosition(end, QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    cut.endEditBlock();
    m_trimming = false;
}
