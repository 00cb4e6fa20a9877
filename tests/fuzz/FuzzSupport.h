#pragma once

#include <QApplication>

#include <cstdlib>

// Widgets, fonts and the image plugins need an application object, here on the offscreen
// platform. It is made on the first input and lives to the end of the process.
inline void EnsureFuzzApplication()
{
    if (!QApplication::instance()) {
        static int argc = 3;
        static char name[] = "fuzz";
        static char platformOption[] = "-platform";
        static char platform[] = "offscreen";
        static char *argv[] = {name, platformOption, platform, nullptr};
        new QApplication(argc, argv);
    }
}

// A property every input must keep; a violation is a finding, reported as a crash.
inline void Require(bool condition)
{
    if (!condition)
        std::abort();
}
