#include "app/Modal.h"

#include <QDialog>

namespace {

ModalRunner& runner() {
    static ModalRunner current;
    return current;
}

} // namespace

int RunModal(QDialog& dialog) {
    if (runner())
        return runner()(dialog);
    return dialog.exec();
}

ModalRunner SetModalRunner(ModalRunner replacement) {
    ModalRunner previous = std::move(runner());
    runner() = std::move(replacement);
    return previous;
}
