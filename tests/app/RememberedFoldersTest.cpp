#include "settings/FileFolders.h"
#include "settings/MemIniFile.h"
#include "tests/app/Workspace.h"

#include <QDir>
#include <QFileInfo>

namespace talivo::test {
namespace {

// A folder of its own for each kind of file, and the dialogs' starting folders read from the
// questions the prompter was asked.
class RememberedFolders : public Workspace {
protected:
    RememberedFolders()
    {
        for (const char *folder : {"pictures", "measurements", "exports", "marked"})
            QDir().mkpath(fDir.file(folder));
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::gray);
        EXPECT_TRUE(image.save(fDir.file("pictures/cells.png")));
    }

    QString Folder(const char *name) { return fDir.file(name); }
    QString LastInitialDir() { return fPrompter.Asked().back().Options.InitialDir; }

    // Each command once with its dialog cancelled: the folders the four kinds start in.
    QStringList StartFolders()
    {
        QStringList folders;
        const auto ask = [&](void (TFormMain::*command)()) {
            fPrompter.PushFile(std::nullopt);
            (Form().*command)();
            folders << LastInitialDir();
        };
        ask(&TFormMain::Openimage1Click);
        // Saving a picture needs one; a dropped one is no dialog's choice and moves no folder.
        if (Graph().Background().IsEmpty())
            LoadImage(40, 30);
        ask(&TFormMain::Savemeasurement1Click);
        ask(&TFormMain::Exportmeasurement1Click);
        ask(&TFormMain::Saveimage1Click);
        return folders;
    }

    // A file chosen in each of the four dialogs; the picture stays loaded for the others.
    void UseEveryKind()
    {
        fPrompter.PushFile(Folder("pictures/cells.png"));
        Form().Openimage1Click();
        Finish();
        ASSERT_EQ(Graph().Background().Image().width(), 40);
        SaveMeasurement(Folder("measurements/count.tlv"));
        Finish();
        fPrompter.PushFile(Folder("exports/count.txt"));
        Form().Exportmeasurement1Click();
        fPrompter.PushFile(Folder("marked/cells.bmp"));
        Form().Saveimage1Click();
        Finish();
        ASSERT_TRUE(QFileInfo::exists(Folder("marked/cells.bmp")));
        ASSERT_TRUE(QFileInfo::exists(Folder("exports/count.txt")));
    }

    QStringList Remembered()
    {
        return {Folder("pictures"), Folder("measurements"), Folder("exports"), Folder("marked")};
    }
};

TEST_F(RememberedFolders, EachKindStartsInItsLastFolderAlsoAfterARestart)
{
    // Never used yet: every dialog starts in the home folder.
    const QString home = QDir::homePath();
    UseEveryKind();
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(fPrompter.Asked()[i].Options.InitialDir, home) << i;

    EXPECT_EQ(StartFolders(), Remembered());
    // Opening a measurement shares its folder with saving one.
    fPrompter.PushFile(std::nullopt);
    Form().Openmeasurement1Click();
    EXPECT_EQ(LastInitialDir(), Folder("measurements"));

    // Ended without closing, as a crash ends it: the folders were written when chosen.
    const TMemIniFile settings(GetSettingsFileName());
    EXPECT_EQ(settings.ReadString("Folders", "Pictures", ""), Folder("pictures"));
    EXPECT_EQ(settings.ReadString("Folders", "MarkedPictures", ""), Folder("marked"));
    Restart();
    EXPECT_EQ(StartFolders(), Remembered());
}

TEST_F(RememberedFolders, AFolderThatNoLongerExistsGivesHome)
{
    UseEveryKind();
    Restart();
    ASSERT_TRUE(QDir(Folder("exports")).removeRecursively());
    QStringList expected = Remembered();
    expected[2] = QDir::homePath();
    EXPECT_EQ(StartFolders(), expected);

    // Within the run too, and the others stay where they were.
    ASSERT_TRUE(QDir(Folder("marked")).removeRecursively());
    expected[3] = QDir::homePath();
    EXPECT_EQ(StartFolders(), expected);
}

TEST_F(RememberedFolders, CancelKeepsTheFolderAndClosingKeepsBothSections)
{
    UseEveryKind();
    // Cancelled dialogs, whichever folder they were in, choose nothing.
    EXPECT_EQ(StartFolders(), Remembered());
    EXPECT_EQ(StartFolders(), Remembered());

    // The placement written at close is one replace of the whole file: the folders stay in it.
    EXPECT_TRUE(Form().close());
    const TMemIniFile settings(GetSettingsFileName());
    EXPECT_TRUE(settings.ReadSections().contains("TFormMain"));
    EXPECT_EQ(settings.ReadString("Folders", "Exports", ""), Folder("exports"));
    Restart();
    EXPECT_EQ(StartFolders(), Remembered());

    // And a folder chosen later keeps the placement.
    fPrompter.PushFile(Folder("measurements/later.txt"));
    Form().Exportmeasurement1Click();
    const TMemIniFile again(GetSettingsFileName());
    EXPECT_TRUE(again.ReadSections().contains("TFormMain"));
    EXPECT_EQ(again.ReadString("Folders", "Exports", ""), Folder("measurements"));
}

TEST_F(RememberedFolders, ASettingsFileThatCannotBeWrittenKeepsTheCommandsWorking)
{
    // A folder where the settings file should be can be neither read nor replaced.
    ASSERT_TRUE(QDir().mkpath(GetSettingsFileName()));
    UseEveryKind();
    EXPECT_EQ(fPrompter.Asked().size(), 4u);
    // This run still starts where it left off; the next one cannot know.
    EXPECT_EQ(StartFolders(), Remembered());
    Restart();
    EXPECT_EQ(StartFolders(), QStringList(4, QDir::homePath()));
    EXPECT_TRUE(QFileInfo(GetSettingsFileName()).isDir());
}

} // namespace
} // namespace talivo::test
