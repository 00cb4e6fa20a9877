#include "platform/Platform.h"
#include "platform/QtPrompter.h"
#include "platform/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace talivo {
namespace {

TEST(Platform, ScopedServicesNestAndRestore)
{
    IPrompter *system = &Prompter();
    EXPECT_EQ(system, static_cast<IPrompter *>(&SystemPrompter()));
    TScriptedPrompter outer;
    TScriptedPrompter inner;
    TMemoryClipboard clipboard;
    {
        TScopedPrompter outerGuard(&outer);
        {
            TScopedPrompter innerGuard(&inner);
            TScopedClipboard clipboardGuard(&clipboard);
            EXPECT_EQ(&Prompter(), &inner);
            EXPECT_EQ(&Clipboard(), &clipboard);
        }
        EXPECT_EQ(&Prompter(), &outer);
        EXPECT_NE(&Clipboard(), &clipboard);
    }
    EXPECT_EQ(&Prompter(), system);
}

} // namespace
} // namespace talivo
