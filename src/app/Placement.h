#pragma once

#include <QList>
#include <QRect>
#include <optional>

class QString;
class QWidget;

// Where a window stood when it was last closed in its normal state, frame included, in
// pixels; and whether it was closed maximised.
struct StoredPlacement {
    QRect frame;
    bool maximised = false;
};
// The placement remembered under a window's name; nothing when it was never written whole.
std::optional<StoredPlacement> ReadFormPlacement(const QString& name);

// A window's outer rectangle moved (and if need be shrunk) onto the screen it overlaps most,
// the first screen when it overlaps none, so that it never opens out of reach.
QRect KeptOnScreen(const QRect& frame, const QList<QRect>& screens);

// Puts the window back where it stood when it was last closed, on the screens there are now;
// a window never placed before keeps its designed size and place.
void RestoreFormPlacement(QWidget& window, const QString& name);
