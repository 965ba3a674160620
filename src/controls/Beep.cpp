#include "controls/Beep.h"

#include <QApplication>

#include <utility>

namespace {

std::function<void()>& Hook() {
    static std::function<void()> hook;
    return hook;
}

} // namespace

void SetBeepHook(std::function<void()> hook) {
    Hook() = std::move(hook);
}

void Beep() {
    if (Hook())
        Hook()();
    else
        QApplication::beep();
}
