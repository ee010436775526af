#pragma once

#include <QObject>

class QPlainTextEdit;

// Holds a multi-line box to a number of characters the way a line box's input limit does:
// typing into a full box changes nothing and leaves the caret where it was, and a paste or a
// drop takes what fits. Belongs to the box.
class PlainTextLimit : public QObject {
public:
    PlainTextLimit(QPlainTextEdit& box, int limit);

    int limit() const { return m_limit; }
    // A stored text longer than the box's own limit is shown whole: widen the limit first.
    void setLimit(int limit) { m_limit = limit; }

private:
    void trimInsertion(int position, int added);

    QPlainTextEdit& m_box;
    int m_limit;
    bool m_trimming = false;
};
