#include "tests/app/Workspace.h"

#include "settings/MemIniFile.h"

#include <QAction>
#include <QMenu>

namespace talivo::test {
namespace {

class DefaultGroups : public Workspace {
protected:
    QString File() const { return GetSettingsFolder() + "TalivoGroups.ini"; }
    QStringList Column(TGroupField item)
    {
        QStringList values;
        for (int row = 0; row < Groups().RowCount(); ++row)
            values << Groups().Text(row, item);
        return values;
    }
};

TEST_F(DefaultGroups, ComeBackAtTheNextStartWithNewIdsAndNoCounts)
{
    Form().AddGroupRow("Cells", 255, 0, 4);
    Form().AddGroupRow("Debris", 0x00800000, 0, 0);
    Form().AddGroupRow("Nuclei", 65280, 0, 1);
    Form().Saveasdefault1Click();
    EXPECT_TRUE(fPrompter.Asked().empty());
    EXPECT_EQ(TMemIniFile(File()).ReadSections(), QStringList({"Group0", "Group1", "Group2"}));

    Restart();
    EXPECT_EQ(Column(gfDescription), QStringList({"Cells", "Debris", "Nuclei"}));
    EXPECT_EQ(Column(gfColor), QStringList({"255", "8388608", "65280"}));
    EXPECT_EQ(Column(gfCount), QStringList({"0", "0", "0"}));
    EXPECT_EQ(Groups().Text(2, gfCaption), " 3");
    EXPECT_EQ(Groups().Id(2), Groups().Id(0) + 2);
    EXPECT_EQ(List().Selected(), 0);
    EXPECT_FALSE(Form().Unsaved());
}

TEST_F(DefaultGroups, ReadSectionsInFileOrderAndColoursInAnyNotation)
{
    QDir().mkpath(GetSettingsFolder());
    Write(File(), "[Group5]\nDescription=five\nColor=0x000000FF\n"
                  "[group7]\nDescription=lower case\n"
                  "[MyGroups]\nDescription=mine\nColor=$FF00\n"
                  "[Other]\nDescription=other\n"
                  "[Group1]\nColor=red\n");
    EXPECT_EQ(Column(gfDescription), QStringList({"five", "mine", ""}));
    EXPECT_EQ(Column(gfColor), QStringList({"255", "65280", "16711680"}));
}

TEST_F(DefaultGroups, OverwriteOnlyOnYesAndLeaveNoFileForAnEmptyTable)
{
    QDir().mkpath(GetSettingsFolder());
    Write(File(), "[Group0]\nDescription=old\n");
    ASSERT_EQ(Groups().RowCount(), 1);
    Form().DeleteGroup(0);

    fPrompter.PushAnswer(false);
    EXPECT_FALSE(Form().SaveDefaultGroups(File()));
    EXPECT_EQ(Read(File()), "[Group0]\nDescription=old\n");
    ASSERT_EQ(fPrompter.Asked().size(), 1u);
    EXPECT_EQ(fPrompter.Asked()[0].Text,
              "File already exists. Do you really want to overwrite the existing file?");
    EXPECT_EQ(fPrompter.Asked()[0].Caption, "Overwrite");

    fPrompter.PushAnswer(true);
    EXPECT_TRUE(Form().SaveDefaultGroups(File()));
    EXPECT_FALSE(QFileInfo::exists(File()));
    EXPECT_TRUE(Form().SaveDefaultGroups(File()));
    EXPECT_EQ(fPrompter.Asked().size(), 2u);
}

TEST_F(DefaultGroups, AFailedSaveKeepsThePreviousFile)
{
    QDir().mkpath(GetSettingsFolder());
    Write(File(), "[Group0]\nDescription=old\n");
    // A value the file cannot hold stands for any failure while the new file is made.
    Groups().SetDescription(0, "two\nlines");
    fPrompter.PushAnswer(true);
    EXPECT_THROW(Form().Saveasdefault1Click(), EIniFileError);
    EXPECT_EQ(Read(File()), "[Group0]\nDescription=old\n");

    fPrompter.PushAnswer(true);
    Groups().SetDescription(0, "new");
    Form().Saveasdefault1Click();
    Restart();
    EXPECT_EQ(Column(gfDescription), QStringList({"new"}));
}

using Modules = Workspace;

TEST_F(Modules, ListsEachModuleOnceAndRemembersTheChoiceUntilTheNextImage)
{
    ASSERT_FALSE(QFileInfo::exists(GetSettingsFolder()));
    const QString folder = Form().ModulesFolder();
    EXPECT_EQ(folder, GetSettingsFolder() + "Modules/");
    ASSERT_TRUE(QFileInfo(folder).isDir());
    for (const char *name : {"count.py", "autodetect.pyc", "notes.txt", "autodetect.py", "a&b.PY"})
        Write(folder + name, "");
    Restart();
    auto *menu = Form().findChild<QMenu *>("PopupMenuModules");
    QStringList items;
    for (const QAction *item : menu->actions())
        items << item->text() + (item->isChecked() ? "*" : "");
    EXPECT_EQ(items, QStringList({"a&&b", "autodetect*", "count"}));
    EXPECT_EQ(Form().CurrentModule(), folder + "Autodetect");

    menu->actions()[2]->trigger();
    EXPECT_EQ(Form().CurrentModule(), "count");
    EXPECT_FALSE(menu->actions()[1]->isChecked());
    LoadImage();
    EXPECT_EQ(Form().CurrentModule(), folder + "Autodetect");
    EXPECT_TRUE(menu->actions()[2]->isChecked());

    Form().findChild<QAction *>("Openmodulesdirectory1")->trigger();
    EXPECT_EQ(fShell.Opened(), QStringList({folder}));
}

} // namespace
} // namespace talivo::test
