#pragma once

#include "controls/ExceptionDisplay.h"

#include <functional>
#include <utility>

// The boundary of a window's handlers. One handler works at a time: one that
// arrives while another is at work (in its dialog, in a relay connect wait
// that processes events) is not run. An exception a handler raises goes to
// the application's exception display instead of unwinding through Qt.
// Work that must wait for the handlers (a close, a rediscovery) is done by
// the idle callback, called each time the outermost one has returned.
class THandlerGate {
public:
    // Counts as a handler at work for as long as it lives.
    class THold {
    public:
        explicit THold(THandlerGate& gate) : FGate(&gate) { ++FGate->FDepth; }
        THold(THold&& other) noexcept : FGate(std::exchange(other.FGate, nullptr)) {}
        THold(const THold&) = delete;
        THold& operator=(const THold&) = delete;
        THold& operator=(THold&&) = delete;
        ~THold() {
            if (FGate && --FGate->FDepth == 0 && FGate->FOnIdle)
                FGate->FOnIdle();
        }

    private:
        THandlerGate* FGate;
    };

    bool Busy() const { return FDepth > 0; }
    THold Hold() { return THold(*this); }

    // Runs `body` unless a handler is at work; false when it was not run.
    bool Run(const std::function<void()>& body) {
        if (Busy())
            return false;
        RunAlways(body);
        return true;
    }
    // Runs `body` even inside another handler (a poll tick, which never
    // waits for the operator), counted as a handler.
    void RunAlways(const std::function<void()>& body) {
        const THold hold = Hold();
        RunShowingExceptions(body);
    }

    void SetOnIdle(std::function<void()> idle) { FOnIdle = std::move(idle); }

private:
    int FDepth = 0;
    std::function<void()> FOnIdle;
};
