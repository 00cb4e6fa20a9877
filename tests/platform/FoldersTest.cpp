#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

namespace talivo {
namespace {

#ifndef Q_OS_WIN
// CommonAppData with XDG_DATA_HOME set to value (unset for nullptr); the old value is restored.
QString CommonAppDataWith(const char *value)
{
    const bool had = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    const QByteArray old = qgetenv("XDG_DATA_HOME");
    value ? qputenv("XDG_DATA_HOME", value) : qunsetenv("XDG_DATA_HOME");
    const QString path = TSystemFolders().CommonAppData();
    had ? qputenv("XDG_DATA_HOME", old) : qunsetenv("XDG_DATA_HOME");
    return path;
}

TEST(SystemFolders, CommonAppDataFollowsXdgDataHome)
{
    const QString fallback = QDir::homePath() + "/.local/share";
    EXPECT_EQ(CommonAppDataWith("/srv/data/"), "/srv/data");
    EXPECT_EQ(CommonAppDataWith(nullptr), fallback);
    EXPECT_EQ(CommonAppDataWith("relative/data"), fallback);
    EXPECT_EQ(CommonAppDataWith(""), fallback);
}
#endif

TEST(SystemFolders, ProgramFileIsTheRunningProgram)
{
    TSystemFolders folders;
    EXPECT_EQ(folders.ProgramFile(), QCoreApplication::applicationFilePath());
    EXPECT_TRUE(QFileInfo(folders.ProgramFile()).isFile());
    EXPECT_EQ(folders.ProgramFolder(), QCoreApplication::applicationDirPath());
}

} // namespace
} // namespace talivo
