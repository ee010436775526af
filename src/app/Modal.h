#pragma once

#include <functional>

class QDialog;

// Shows a window modally and answers its result. Every modal window of the program opens
// through here, so a test can act on the window instead of blocking in its event loop.
int RunModal(QDialog& dialog);

using ModalRunner = std::function<int(QDialog&)>;
// Replaces how modal windows run (an empty runner restores exec()); answers the previous one.
ModalRunner SetModalRunner(ModalRunner runner);
