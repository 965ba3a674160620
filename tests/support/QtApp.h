#pragma once

#include <QCoreApplication>

// Creates the process's QCoreApplication once, if none exists yet; tests that
// use sockets, processes or timers call this first. GUI tests make their own
// QApplication in their main instead.
inline void EnsureQtApp() {
    if (QCoreApplication::instance() != nullptr)
        return;
    static int argc = 1;
    static char name[] = "trevalon-test";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv); // lives until the process ends
}
