#pragma once

#include <exception>
#include <functional>

// The application's exception display: where errors raised inside event
// callbacks of the controls end up, since they must not travel through Qt's
// event dispatch. The main window installs a handler that shows a message
// box; until then errors are written to the Qt warning log.
using TExceptionDisplay = std::function<void(const std::exception& error)>;

// Replaces the handler; an empty function restores the default one.
void SetExceptionDisplay(TExceptionDisplay display);

// Passes `error` to the installed handler. Never throws: an exception
// from the handler itself is written to the warning log and dropped.
void ShowException(const std::exception& error);

// Runs `action`, passing any exception it raises to ShowException.
// Returns false when an exception was caught.
bool RunShowingExceptions(const std::function<void()>& action);
