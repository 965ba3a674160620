#pragma once

#include <functional>

// The platform's default beep, used by the controls to refuse a keystroke.
// The hook lets tests count beeps (and a silent build drop them); an empty
// function restores QApplication::beep().
void SetBeepHook(std::function<void()> hook);
void Beep();
