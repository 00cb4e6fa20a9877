#include "app/FormMain.h"

namespace talivo {

TFormMain::TFormMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName("FormMain");
    setWindowTitle("Korvel Talivo");
    resize(971, 615);
    setMinimumSize(940, 600);
}

} // namespace talivo
