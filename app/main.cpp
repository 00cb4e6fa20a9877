#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "i18n/Translation.h"
#include "platform/Application.h"
#include "platform/Platform.h"
#include "platform/QtPrompter.h"
#include "settings/FormInfo.h"

#include <QFile>
#include <QGuiApplication>

int main(int argc, char **argv)
{
    // A file manager passes the picture to open as the first argument. Qt would take options such
    // as -style or -reverse out of the arguments and act on them; nothing else on the command line
    // may change anything, so Qt gets the program name alone.
    int qtArgc = 1;
    talivo::TApplication app(qtArgc, argv);
    // Ties the windows to the desktop entry, for their icon and name in the task bar.
    QGuiApplication::setDesktopFileName("com.example.talivo");
    try {
        talivo::textdomain("Talivo");
        talivo::TFormMain form;
        talivo::SystemPrompter().SetParent(&form);
        talivo::TFormInfo info(&form);
        form.SetFormInfo(&info);
        talivo::TFormGroupSettings groupSettings(&form);
        form.SetGroupSettings(&groupSettings);
        if (argc > 1)
            form.SetStartImage(QFile::decodeName(argv[1]));
        form.show();
        app.exec();
    } catch (...) {
        // The windows could not be made: the user learns why, and whoever started the program
        // learns that it failed.
        talivo::TApplication::NoticeException(
            talivo::TApplication::ExceptionMessage(std::current_exception()));
        return 1;
    }
    return 0;
}
