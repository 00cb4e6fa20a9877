#include "settings/FormInfo.h"

#include "platform/Platform.h"
#include "settings/VersionInfo.h"
#include "tests/common/TestMain.h"
#include "tests/settings/VersionFiles.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>
#include <optional>

namespace talivo {
namespace {

class FormInfoTest : public ::testing::Test {
protected:
    FormInfoTest()
        : fFolders(fDir.file("data"), fDir.file("Talivo.exe")), fFoldersGuard(&fFolders),
          fShellGuard(&fShell)
    {
        test::WriteFile(fDir.file("Talivo.exe"), test::Bytes(test::TalivoBlock()));
        fForm.emplace();
    }

    QLabel &Label(const char *name) { return *fForm->findChild<QLabel *>(name); }

    void Release(QWidget &widget, Qt::MouseButton button, Qt::KeyboardModifiers modifiers = {},
                 QPointF at = {2, 2})
    {
        QMouseEvent event(QEvent::MouseButtonRelease, at, widget.mapToGlobal(at), button,
                          Qt::NoButton, modifiers);
        QCoreApplication::sendEvent(&widget, &event);
    }

    test::TempDir fDir;
    TFixedFolders fFolders;
    TScopedFolders fFoldersGuard;
    TRecordingShell fShell;
    TScopedShell fShellGuard;
    // Made once the program file is in place.
    std::optional<TFormInfo> fForm;
};

TEST_F(FormInfoTest, ShowsTheProgramNameAndTheProgramFilesVersion)
{
    EXPECT_EQ(fForm->windowTitle(), "Info");
    EXPECT_EQ(fForm->size(), QSize(405, 249));
    EXPECT_EQ(Label("LabelProgram").text(), "Korvel Merivo");
    EXPECT_EQ(Label("LabelVersionNumber").text(), "2.0.10.100");

    // The version is read from the program file, not carried by the dialog.
    TVersionBlockContent other = test::TalivoBlock();
    other.Strings[2].Value = u"3.1.4.15";
    test::WriteFile(fDir.file("Talivo.exe"), test::Bytes(other));
    TFormInfo second;
    EXPECT_EQ(second.findChild<QLabel *>("LabelVersionNumber")->text(), "3.1.4.15");
}

TEST_F(FormInfoTest, ALinkOpensExactlyTheTextItShows)
{
    Release(Label("LabelSWUrl"), Qt::LeftButton);
    Release(Label("LabelKorvelUrl"), Qt::LeftButton);
    EXPECT_EQ(fShell.Opened(),
              QStringList({Label("LabelSWUrl").text(), Label("LabelKorvelUrl").text()}));

    // Other buttons and releases beside the label are no clicks.
    Release(Label("LabelSWUrl"), Qt::RightButton);
    Release(Label("LabelSWUrl"), Qt::LeftButton, {}, {-5, 2});
    EXPECT_EQ(fShell.Opened().size(), 2);

    Label("LabelKorvelUrl").setText("https://changed.example.org");
    Release(Label("LabelKorvelUrl"), Qt::LeftButton);
    EXPECT_EQ(fShell.Opened().last(), "https://changed.example.org");
}

TEST_F(FormInfoTest, LogoOpensTheSettingsFolderOnlyWithControlAndShift)
{
    QLabel &logo = Label("ImageLogo");
    EXPECT_FALSE(logo.pixmap().isNull());
    Release(logo, Qt::LeftButton);
    Release(logo, Qt::LeftButton, Qt::ControlModifier);
    Release(logo, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(fShell.Opened().isEmpty());

    // Any button; the folder need not exist yet.
    Release(logo, Qt::RightButton, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(fShell.Opened(), QStringList({GetSettingsFolder()}));
    EXPECT_TRUE(fShell.Opened()[0].startsWith(fDir.file("data")));
}

// Notes the cursor the user sees while the shell works, then fails.
class TCursorShell : public IShell {
public:
    bool Open(const QString &) override
    {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        Shapes << (cursor ? cursor->shape() : Qt::ArrowCursor);
        if (Throw)
            throw std::runtime_error("no browser");
        return false;
    }
    QList<Qt::CursorShape> Shapes;
    bool Throw = false;
};

TEST_F(FormInfoTest, ShowsTheBusyCursorWhileOpeningAndAlwaysRestoresIt)
{
    TCursorShell shell;
    TScopedShell guard(&shell);
    fForm->LabelSWUrlClick();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    shell.Throw = true;
    EXPECT_THROW(fForm->ImageLogoMouseUp(Qt::ControlModifier | Qt::ShiftModifier),
                 std::runtime_error);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(shell.Shapes, QList<Qt::CursorShape>({Qt::WaitCursor, Qt::WaitCursor}));
}

TEST_F(FormInfoTest, CloseHidesTheDialogForTheNextShowing)
{
    QPointer<QLabel> program = &Label("LabelProgram");
    fForm->show();
    fForm->findChild<QPushButton *>("ButtonClose")->click();
    EXPECT_TRUE(fForm->isHidden());
    EXPECT_EQ(fForm->result(), QDialog::Rejected);

    fForm->show();
    ASSERT_TRUE(program);
    EXPECT_EQ(program->text(), "Korvel Merivo");
    EXPECT_EQ(Label("LabelVersionNumber").text(), "2.0.10.100");
    fForm->hide();
}

} // namespace
} // namespace talivo
