// talivo-cli: batch work on measurement files without a window. See CliUsage for the commands.
#include "platform/Process.h"
#include "tools/cli/CliCall.h"
#include "tools/cli/CliCommands.h"
#include "tools/cli/CliOutput.h"

#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>

namespace {

// Qt's own notes, such as an unset XDG_RUNTIME_DIR, would mix with the one line per problem that
// scripts read from standard error; only its errors get through.
void QtErrorsOnly(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "talivo-cli: %s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    // Fonts and images need a GUI application, but nothing is ever shown: the program has to run
    // where there is no display at all.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QtErrorsOnly);
    talivo::ReportFileSizeLimitAsError();
    // Qt takes options such as -style or -platform out of the arguments it is given; a file
    // of such a name must still reach the commands, so Qt gets the program name alone.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QFile::decodeName(argv[i]);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    talivo::TCliOutput output(stdout, stderr);
    talivo::TCliStatus status = talivo::csSuccess;
    try {
        status = talivo::RunCliCall(talivo::ParseCliCall(arguments), output);
    } catch (const talivo::ECliUsageError &error) {
        output.Complain(QString("%1 (see talivo-cli --help)").arg(error.what()));
        status = talivo::csWrongCall;
    } catch (const std::exception &error) {
        output.Complain(error.what());
        status = talivo::csBadInput;
    }
    if (!output.Finish() && status == talivo::csSuccess) {
        output.Complain("standard output could not be written");
        status = talivo::csBadInput;
    }
    return status;
}
