#include "controls/ExceptionDisplay.h"

#include <QtGlobal>

#include <stdexcept>
#include <utility>

namespace {

TExceptionDisplay& Handler() {
    static TExceptionDisplay handler;
    return handler;
}

} // namespace

void SetExceptionDisplay(TExceptionDisplay display) {
    Handler() = std::move(display);
}

void ShowException(const std::exception& error) {
    try {
        if (Handler()) {
            Handler()(error);
            return;
        }
    } catch (const std::exception& inner) {
        qWarning("Exception in the exception display: %s", inner.what());
    } catch (...) {
        qWarning("Unknown exception in the exception display");
    }
    qWarning("%s", error.what());
}

bool RunShowingExceptions(const std::function<void()>& action) {
    try {
        if (action)
            action();
        return true;
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(std::runtime_error("Unknown exception"));
    }
    return false;
}
