#include "settings/FormPlacement.h"

#include "platform/Platform.h"
#include "settings/IniFile.h"
#include "settings/VersionInfo.h"
#include "tests/common/TestMain.h"
#include "tests/settings/VersionFiles.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

namespace talivo {

// Named like a form, so its section shows that the namespace is left out.
class TFormProbe : public QWidget {
    Q_OBJECT
};

namespace {

// The settings folder and the program file in a temporary folder, for one test.
class FormPlacement : public ::testing::Test {
protected:
    FormPlacement() { test::WriteFile(fDir.file("Talivo"), test::Bytes(test::TalivoBlock())); }

    QString SettingsFile() const { return GetSettingsFileName(); }
    QRect Available() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

    test::TempDir fDir;
    TFixedFolders fFolders{fDir.file("shared"), fDir.file("Talivo")};
    TScopedFolders fGuard{&fFolders};
};

TEST_F(FormPlacement, MaximizedWindowComesBackMaximizedOverItsNormalRectangle)
{
    const QRect normal(Available().topLeft() + QPoint(20, 30), QSize(300, 200));
    {
        TFormProbe window;
        window.setGeometry(normal);
        window.showMaximized();
        SaveFormPlacement(window);
    }
    QFile file(SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QString("[TFormProbe]\nTop=%1\nLeft=%2\nRight=%3\nBottom=%4\n"
                                      "State=2\n")
                                  .arg(normal.y())
                                  .arg(normal.x())
                                  .arg(normal.x() + 300)
                                  .arg(normal.y() + 200)
                                  .toUtf8());

    TFormProbe window;
    RestoreFormPlacement(window);
    EXPECT_TRUE(window.windowState().testFlag(Qt::WindowMaximized));
    window.show();
    window.showNormal();
    EXPECT_EQ(window.geometry(), normal);
}

TEST_F(FormPlacement, MinimizedWindowIsStoredAsNormal)
{
    TFormProbe window;
    window.setGeometry(QRect(Available().topLeft(), QSize(100, 100)));
    window.showMinimized();
    SaveFormPlacement(window);
    EXPECT_EQ(TIniFile(SettingsFile()).ReadInteger("TFormProbe", "State", -1), 0);

    TFormProbe again;
    RestoreFormPlacement(again);
    EXPECT_EQ(again.windowState(), Qt::WindowNoState);
}

TEST_F(FormPlacement, MissingPlacesAndFiles)
{
    // No settings file: the window stays as it is, and nothing is created.
    TFormProbe window;
    window.setGeometry(33, 44, 120, 90);
    RestoreFormPlacement(window);
    EXPECT_EQ(window.geometry(), QRect(33, 44, 120, 90));
    EXPECT_FALSE(QDir(fDir.file("shared")).exists());

    // A file without the window's section: the defaults, on screen.
    QDir().mkpath(GetSettingsFolder());
    TIniFile(SettingsFile()).WriteString("TFormOther", "Top", "0");
    RestoreFormPlacement(window);
    EXPECT_EQ(window.geometry(), FitPlacement(10, 10, 810, 610, Available()));
    EXPECT_EQ(window.windowState(), Qt::WindowNoState);

    // A settings file that cannot be read raises rather than placing the window by defaults.
    window.setGeometry(33, 44, 120, 90);
    QFile::remove(SettingsFile());
    QDir().mkpath(SettingsFile());
    EXPECT_THROW(RestoreFormPlacement(window), EIniFileError);
    EXPECT_EQ(window.geometry(), QRect(33, 44, 120, 90));

    // A settings folder that cannot be made.
    test::WriteFile(fDir.file("blocked"), "file");
    fFolders.SetCommonAppData(fDir.file("blocked"));
    EXPECT_THROW(SaveFormPlacement(window), EIniFileError);
}

TEST_F(FormPlacement, OffScreenCoordinatesEndOnScreen)
{
    QDir().mkpath(GetSettingsFolder());
    TIniFile file(SettingsFile());
    file.WriteString("TFormProbe", "Left", "-5000");
    file.WriteString("TFormProbe", "Top", "30000");
    file.WriteString("TFormProbe", "Right", "-4800");
    file.WriteString("TFormProbe", "Bottom", "30150");
    TFormProbe window;
    RestoreFormPlacement(window);
    EXPECT_EQ(window.size(), QSize(200, 150));
    EXPECT_TRUE(Available().contains(window.geometry())) << window.geometry().x();
}

TEST(FitPlacement, MovesAndCutsOntoTheArea)
{
    const QRect area(0, 0, 1920, 1040);
    EXPECT_EQ(FitPlacement(10, 10, 810, 610, area), QRect(10, 10, 800, 600));
    EXPECT_EQ(FitPlacement(1800, 900, 2100, 1100, area), QRect(1620, 840, 300, 200));
    EXPECT_EQ(FitPlacement(-300, -20, -100, 80, area), QRect(0, 0, 200, 100));
    EXPECT_EQ(FitPlacement(100, 100, 3000, 200, area), QRect(0, 100, 1920, 100));
    EXPECT_EQ(FitPlacement(500, 500, 400, 600, area), QRect(10, 10, 800, 600));
    EXPECT_EQ(FitPlacement(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, area), area);
    EXPECT_EQ(FitPlacement(INT32_MAX - 5, 0, INT32_MAX, 5, QRect(-1920, 0, 1920, 1040)),
              QRect(-5, 0, 5, 5));
}

} // namespace
} // namespace talivo

#include "FormPlacementTest.moc"
