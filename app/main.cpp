#include "app/FormMain.h"
#include "platform/Application.h"

int main(int argc, char **argv)
{
    talivo::TApplication app(argc, argv);
    talivo::TFormMain form;
    form.show();
    return app.exec();
}
