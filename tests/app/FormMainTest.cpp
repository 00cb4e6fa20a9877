#include "app/FormMain.h"

#include <gtest/gtest.h>

namespace talivo {

TEST(FormMain, ShowsTheProductCaption)
{
    TFormMain form;
    form.show();
    EXPECT_EQ(form.windowTitle(), "Korvel Talivo");
    EXPECT_GE(form.minimumWidth(), 940);
    EXPECT_GE(form.minimumHeight(), 600);
}

} // namespace talivo
