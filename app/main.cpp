#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "i18n/Translation.h"
#include "platform/Application.h"
#include "platform/Platform.h"
#include "platform/QtPrompter.h"
#include "settings/FormInfo.h"

int main(int argc, char **argv)
{
    talivo::TApplication app(argc, argv);
    try {
        talivo::textdomain("Talivo");
        talivo::TFormMain form;
        talivo::SystemPrompter().SetParent(&form);
        talivo::TFormInfo info(&form);
        form.SetFormInfo(&info);
        talivo::TFormGroupSettings groupSettings(&form);
        form.SetGroupSettings(&groupSettings);
        form.show();
        app.exec();
    } catch (...) {
        talivo::TApplication::NoticeException(
            talivo::TApplication::ExceptionMessage(std::current_exception()));
    }
    return 0;
}
