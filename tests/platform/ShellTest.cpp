#include "platform/Shell.h"

#include "tests/common/TestMain.h"

#include <QDir>
#include <gtest/gtest.h>

namespace talivo {
namespace {

TEST(DesktopShell, TargetUrlTellsPathsFromAddresses)
{
    test::TempDir dir;
    EXPECT_EQ(TDesktopShell::TargetUrl(dir.path()), QUrl::fromLocalFile(dir.path()));
    EXPECT_EQ(TDesktopShell::TargetUrl(dir.file("manual.pdf")),
              QUrl::fromLocalFile(dir.file("manual.pdf")));
    EXPECT_EQ(TDesktopShell::TargetUrl("https://example.com/a b"),
              QUrl("https://example.com/a%20b"));
    EXPECT_EQ(TDesktopShell::TargetUrl("www.example.com"), QUrl("http://www.example.com"));
    EXPECT_TRUE(TDesktopShell::TargetUrl("").isEmpty());
    EXPECT_TRUE(TDesktopShell::TargetUrl("  ").isEmpty());
    EXPECT_FALSE(TDesktopShell().Open(""));
}

} // namespace
} // namespace talivo
