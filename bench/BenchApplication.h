#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QtGlobal>

namespace talivo::bench {

// The application object a benchmark program needs once, on the offscreen platform unless the
// environment names one. TApplication is QApplication for widgets, QGuiApplication for drawing
// only.
template <class TApplication> void EnsureApplication(const char *programName)
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static QByteArray name(programName);
    static char *argv[] = {name.data(), nullptr};
    new TApplication(argc, argv);
}

} // namespace talivo::bench
