#include "app/FormMain.h"
#include "app/FormGroupSettings.h"
#include "app/GroupIdCounter.h"
#include "graph/canvas/CanvasColors.h"
#include "graph/control/GraphControl.h"
#include "i18n/Translation.h"
#include "platform/Platform.h"
#include "platform/ScriptedPrompter.h"
#include "settings/FormInfo.h"
#include "settings/VersionInfo.h"

#include "tests/common/TestMain.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <gtest/gtest.h>

namespace talivo {
namespace {

// The window with the canvas-side hooks recorded instead of done.
class TProbeForm : public TFormMain {
public:
    QStringList Calls;

protected:
    void LoadImage(const QString &fileName) override { Calls << "LoadImage " + fileName; }
    void DeselectAllMarks() override { Calls << "Deselect"; }
};

TFormGroupSettings &AsGroupSettings(QDialog &dialog)
{
    return dynamic_cast<TFormGroupSettings &>(dialog);
}

// A dialog answer that types a description and picks a colour.
TScriptedPrompter::TDialogFiller Fill(const QString &description, TColor color)
{
    return [=](QDialog &dialog) {
        AsGroupSettings(dialog).LabeledEditDescription().setText(description);
        AsGroupSettings(dialog).ColorBoxGroup().SetSelected(color);
    };
}

class FormMainTest : public ::testing::Test {
protected:
    FormMainTest()
        : fFolders(fDir.file("data"), fDir.file("bin/Talivo")), fFoldersGuard(&fFolders),
          fPrompterGuard(&fPrompter), fShellGuard(&fShell)
    {
        QDir().mkpath(fDir.file("bin"));
    }

    // Made on demand, so a test can prepare the program folder and settings first.
    TProbeForm &Form()
    {
        if (!fForm) {
            fForm = std::make_unique<TProbeForm>();
            fDialog = std::make_unique<TFormGroupSettings>(fForm.get());
            fForm->SetGroupSettings(fDialog.get());
            fInfo = std::make_unique<TFormInfo>(fForm.get());
            fForm->SetFormInfo(fInfo.get());
        }
        return *fForm;
    }
    TGroupListView &List() { return Form().ListViewGroups(); }
    TGroupTableModel &Groups() { return Form().Groups(); }

    void AddGroup(const QString &description, TColor color = clLime)
    {
        fPrompter.PushDialog(mrOk, Fill(description, color));
        Form().ButtonAddGroupClick();
    }

    QStringList Column(std::function<QString(int)> cell)
    {
        QStringList values;
        for (int row = 0; row < Groups().RowCount(); ++row)
            values << cell(row);
        return values;
    }
    QStringList Captions()
    {
        return Column([this](int row) { return Groups().Text(row, gfCaption); });
    }

    test::TempDir fDir;
    TFixedFolders fFolders;
    TScopedFolders fFoldersGuard;
    TScriptedPrompter fPrompter;
    TScopedPrompter fPrompterGuard;
    TRecordingShell fShell;
    TScopedShell fShellGuard;
    std::unique_ptr<TProbeForm> fForm;
    std::unique_ptr<TFormGroupSettings> fDialog;
    std::unique_ptr<TFormInfo> fInfo;
};

QStringList MenuItems(const QMenu &menu)
{
    QStringList items;
    for (const QAction *action : menu.actions())
        items << (action->isSeparator() ? "-" : action->text());
    return items;
}

TEST_F(FormMainTest, ShowsTheWorkspaceAsDesigned)
{
    TFormMain &form = Form();
    EXPECT_EQ(form.windowTitle(), "Korvel Talivo");
    EXPECT_EQ(form.StatusText(0), "V. " + GetVersionInfoValue(QString(), vkFileVersion));
    EXPECT_EQ(form.findChild<QToolBar *>("ToolBarMain")->height(), 64);

    QStringList captions;
    for (const char *name : {"ToolButtonLoadImage", "ToolButtonAdd", "ToolButtonDel",
                             "ToolButtonMove", "ToolButtonAuto", "ToolButtonHide"})
        captions << form.findChild<QToolButton *>(name)->text();
    EXPECT_EQ(captions, QStringList({"Load image", "Add mark", "Delete mark", "Move mark",
                                     "Auto detect", " Hide marks "}));
    EXPECT_TRUE(form.findChild<QToolButton *>("ToolButtonMove")->isChecked());
    EXPECT_FALSE(form.findChild<QToolButton *>("ToolButtonAuto")->isEnabled());
    for (const char *name : {"PanelZoom", "PanelPointSize", "PanelSG", "Splitter1", "PanelRight",
                             "ListViewGroups", "ButtonAddGroup", "ButtonRemoveGroup",
                             "ButtonEditGroup", "ButtonClose", "StatusBar1", "TimerStart"})
        EXPECT_NE(form.findChild<QObject *>(name), nullptr) << name;

    QStringList menus;
    for (const QAction *action : form.menuBar()->actions())
        if (action->isVisible())
            menus << action->text();
    EXPECT_EQ(menus, QStringList({"File", "Edit", "Groups", "Help"}));
    EXPECT_EQ(MenuItems(*form.findChild<QMenu *>("Edit1")), QStringList({"Undo", "Redo"}));
    EXPECT_EQ(MenuItems(*form.findChild<QMenu *>("File1")),
              QStringList({"Open image ...", "Save image ...", "-", "Open measurement ...",
                           "Save measurement ...", "Export measurement ...", "-", "Exit"}));
    EXPECT_EQ(MenuItems(*form.findChild<QMenu *>("Groups1")),
              QStringList({"Add group", "Delete group", "Edit group", "-", "Save as default"}));
    EXPECT_EQ(MenuItems(*form.findChild<QMenu *>("Modules1")),
              QStringList({"Open modules directory", "Detection settings ..."}));
    EXPECT_FALSE(form.findChild<QAction *>("Manual1")->isVisible());
}

// The manuals rendered from doc/manual: PDF files of several pages that show the program's
// pictures, which "Help > Manual" offers once they lie beside the program.
TEST_F(FormMainTest, OffersTheBuiltManualWhenItLiesBesideTheProgram)
{
    for (const char *name : {"manual.pdf", "manual_de.pdf"}) {
        QFile file(QStringLiteral(TALIVO_MANUAL_DIR "/") + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray pdf = file.readAll();
        EXPECT_TRUE(pdf.startsWith("%PDF-")) << name;
        EXPECT_GE(pdf.count("/Type /Page\n"), 4) << name;
        EXPECT_EQ(pdf.count("/Subtype /Image"), 3) << name;
    }
    const QString manual = fDir.file("bin/manual.pdf");
    ASSERT_TRUE(QFile::copy(QStringLiteral(TALIVO_MANUAL_DIR "/manual.pdf"), manual));
    EXPECT_TRUE(Form().findChild<QAction *>("Manual1")->isVisible());
    Form().findChild<QAction *>("Manual1")->trigger();
    EXPECT_EQ(fShell.Opened(), QStringList({manual}));
}

// An installed tree keeps the manuals in share/talivo; a German user gets the German one.
TEST_F(FormMainTest, OffersTheManualInTheUsersLanguageFromTheDataFolders)
{
    const QString language = GetCurrentLanguage();
    QDir().mkpath(fDir.file("share/talivo"));
    for (const char *name : {"share/talivo/manual.pdf", "share/talivo/manual_de.pdf"}) {
        QFile manual(fDir.file(name));
        ASSERT_TRUE(manual.open(QIODevice::WriteOnly));
    }
    for (const char *code : {"de_DE", "DE", "fr", "EN"}) {
        UseLanguage(code);
        Form().findChild<QAction *>("Manual1")->trigger();
    }
    UseLanguage(language);
    const QString german = fDir.file("share/talivo/manual_de.pdf");
    const QString english = fDir.file("share/talivo/manual.pdf");
    EXPECT_EQ(fShell.Opened(), QStringList({german, german, english, english}));
    EXPECT_TRUE(Form().findChild<QAction *>("Manual1")->isVisible());
}

// A file manager starts the program with the picture to open; it opens the way "Open image ..."
// opens a chosen file, once the start-up is done.
TEST_F(FormMainTest, OpensAPictureGivenAtStartLikeOpenImage)
{
    const QString picture = fDir.file("cells.png");
    Form().SetStartImage(picture);
    Form().show();
    EXPECT_TRUE(Form().Calls.isEmpty());
    Form().Graph()->setEnabled(false);
    Form().TimerStartTimer();
    EXPECT_EQ(Form().Calls, QStringList({"LoadImage " + picture}));
    EXPECT_TRUE(Form().Graph()->isEnabled());
    EXPECT_EQ(Form().Graph()->CommandMode(), cmEdit);
    EXPECT_TRUE(fPrompter.Asked().empty());
}

TEST_F(FormMainTest, InfoShowsTheSameInfoDialogModallyEachTime)
{
    std::vector<QDialog *> shown;
    const auto record = [&](QDialog &dialog) { shown.push_back(&dialog); };
    fPrompter.PushDialog(QDialog::Rejected, record);
    fPrompter.PushDialog(QDialog::Rejected, record);
    Form().findChild<QAction *>("Info2")->trigger();
    Form().findChild<QAction *>("Info2")->trigger();
    EXPECT_EQ(shown, std::vector<QDialog *>({fInfo.get(), fInfo.get()}));
    EXPECT_EQ(fPrompter.Asked().front().Caption, "Info");
}

TEST_F(FormMainTest, NumbersRowsOnceAndNeverReusesIds)
{
    const int first = TGroupIdCounter::Program().Next();
    AddGroup("a");
    AddGroup("b");
    AddGroup("c");
    EXPECT_EQ(Captions(), QStringList({" 1", " 2", " 3"}));
    auto ids = [this] { return Column([this](int row) { return Groups().Text(row, gfId); }); };
    EXPECT_EQ(ids(), QStringList({QString::number(first), QString::number(first + 1),
                                  QString::number(first + 2)}));
    EXPECT_EQ(List().Selected(), 2);

    List().Select(0);
    fPrompter.PushAnswer(true);
    Form().ButtonRemoveGroupClick();
    EXPECT_EQ(Form().Calls, QStringList({"Deselect"}));
    EXPECT_EQ(List().Selected(), 0);
    AddGroup("d");
    EXPECT_EQ(Captions(), QStringList({" 2", " 3", " 3"}));
    EXPECT_EQ(Groups().Text(2, gfId), QString::number(first + 3));

    Form().AddGroupRow("stored", clRed, first + 10, 7);
    AddGroup("e");
    EXPECT_EQ(Groups().Text(3, gfId), QString::number(first + 10));
    EXPECT_EQ(Groups().Text(3, gfCount), "7");
    EXPECT_EQ(Groups().Text(4, gfId), QString::number(first + 11));
    EXPECT_EQ(Groups().Text(4, gfCount), "0");
}

TEST(GroupIdCounter, MovesPastEveryIdItHandsOutOrIsGiven)
{
    TGroupIdCounter counter;
    EXPECT_EQ(counter.Take(0), 1000);
    EXPECT_EQ(counter.Take(-3), 1001);
    EXPECT_EQ(counter.Take(1005), 1005);
    EXPECT_EQ(counter.Take(0), 1006);
    EXPECT_EQ(counter.Take(20), 20);
    EXPECT_EQ(counter.Next(), 1008);
    EXPECT_EQ(counter.Take(std::numeric_limits<int>::max()), std::numeric_limits<int>::max());
    EXPECT_EQ(counter.Next(), std::numeric_limits<int>::max());
}

TEST_F(FormMainTest, GroupDialogStartsGreenAndKeepsItsLastValues)
{
    QStringList seen;
    auto record = [&](QDialog &dialog) {
        seen << AsGroupSettings(dialog).LabeledEditDescription().text() + "/" +
                    QString::number(AsGroupSettings(dialog).ColorBoxGroup().Selected());
    };
    fPrompter.PushDialog(mrOk, [&](QDialog &dialog) {
        record(dialog);
        Fill("Cells", clNavy)(dialog);
    });
    Form().ButtonAddGroupClick();
    fPrompter.PushDialog(mrCancel, [&](QDialog &dialog) {
        record(dialog);
        Fill("typed, then cancelled", clRed)(dialog);
    });
    Form().ButtonAddGroupClick();
    fPrompter.PushDialog(mrCancel, record);
    Form().ButtonAddGroupClick();

    EXPECT_EQ(seen, QStringList({"/65280", "Cells/8388608", "typed, then cancelled/255"}));
    EXPECT_EQ(Groups().RowCount(), 1);
    EXPECT_EQ(Groups().Text(0, gfColor), "8388608");
    EXPECT_EQ(fPrompter.Asked().front().Caption, "Group settings");
}

TEST_F(FormMainTest, TrimsOnAddButStoresEditsAsTyped)
{
    AddGroup(" \t Cells  ");
    EXPECT_EQ(Groups().Text(0, gfDescription), "Cells");

    QString shown;
    fPrompter.PushDialog(mrOk, [&](QDialog &dialog) {
        shown = AsGroupSettings(dialog).LabeledEditDescription().text();
        Fill("  Nuclei  ", clWhite)(dialog);
    });
    Form().ButtonEditGroupClick();
    EXPECT_EQ(shown, "Cells");
    EXPECT_EQ(Groups().Text(0, gfDescription), "  Nuclei  ");
    EXPECT_EQ(Groups().Text(0, gfColor), QString::number(clWhite));
    EXPECT_EQ(Groups().Text(0, gfCaption), " 1");
    EXPECT_EQ(Groups().Text(0, gfCount), "0");
    EXPECT_EQ(Groups().data(Groups().index(0, gfCaption), Qt::DecorationRole).value<QColor>(),
              QColor(255, 255, 255));
}

TEST_F(FormMainTest, EditLeavesTheRowAloneOnCancelAndUsesRowZeroWithoutSelection)
{
    Form().AddGroupRow("first", clRed, 0, 0);
    Form().AddGroupRow("second", clBlue, 0, 0);
    List().clearSelection();
    TColor shownColor = 0;
    fPrompter.PushDialog(mrCancel, [&](QDialog &dialog) {
        shownColor = AsGroupSettings(dialog).ColorBoxGroup().Selected();
        Fill("changed", clYellow)(dialog);
    });
    Form().TimerStartTimer();
    Form().ButtonEditGroupClick();
    EXPECT_EQ(shownColor, clRed);
    EXPECT_EQ(Groups().Text(0, gfDescription), "first");
    EXPECT_FALSE(Form().Unsaved());
    EXPECT_TRUE(Form().Calls.isEmpty());
}

TEST_F(FormMainTest, DescriptionsKeepEveryCharacterOnOneLine)
{
    Form().AddGroupRow(QString::fromUtf8("Zähler € – ā 😀\tα\r\n\r\nβ"), clLime, 0, 0);
    EXPECT_EQ(Groups().Text(0, gfDescription), QString::fromUtf8("Zähler € – ā 😀 α β"));
}

TEST_F(FormMainTest, DeleteGroupAsksFirstAndMarksUnsavedEvenWithoutSelection)
{
    Form().AddGroupRow("kept", clLime, 0, 0);
    Form().TimerStartTimer();
    List().clearSelection();

    fPrompter.PushAnswer(false);
    Form().ButtonRemoveGroupClick();
    EXPECT_FALSE(Form().Unsaved());
    EXPECT_TRUE(Form().Calls.isEmpty());

    fPrompter.PushAnswer(true);
    Form().findChild<QAction *>("Deletegroup1")->trigger();
    EXPECT_EQ(Groups().RowCount(), 1);
    EXPECT_TRUE(Form().Unsaved());
    EXPECT_EQ(Form().Calls, QStringList({"Deselect"}));
    ASSERT_EQ(fPrompter.Asked().size(), 2u);
    EXPECT_EQ(fPrompter.Asked()[1].Text, "Delete selected group and all corresponding marks?");
    EXPECT_EQ(fPrompter.Asked()[1].Caption, "Delete group");
}

TEST_F(FormMainTest, ClosingAsksOnlyWithUnsavedGroups)
{
    TFormMain &form = Form();
    form.show();
    form.AddGroupRow("default", clLime, 0, 0);
    form.AddGroupRow("default", clRed, 0, 0);
    // The start timer clears the flag the default rows set, so a fresh start counts as saved.
    auto *timer = form.findChild<QTimer *>("TimerStart");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 100);
    QElapsedTimer clock;
    clock.start();
    while (timer->isActive() && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(timer->isActive());
    EXPECT_FALSE(form.Unsaved());
    EXPECT_TRUE(form.FormCloseQuery());

    AddGroup("new");
    fPrompter.PushAnswer(false);
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    fPrompter.PushAnswer(true);
    EXPECT_TRUE(form.FormCloseQuery());
    ASSERT_EQ(fPrompter.Asked().size(), 3u);
    EXPECT_EQ(fPrompter.Asked()[1].Text,
              "There are unsaved changes. Do you really want to exit the program?");
    EXPECT_EQ(fPrompter.Asked()[1].Caption, "Unsaved changes");

    // An empty table has nothing to lose, whatever happened before.
    for (int i = 0; i < 3; ++i) {
        fPrompter.PushAnswer(true);
        form.ButtonRemoveGroupClick();
    }
    EXPECT_EQ(Groups().RowCount(), 0);
    EXPECT_TRUE(form.Unsaved());
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.Unsaved());
    EXPECT_EQ(fPrompter.Pending(), 0u);
}

TEST_F(FormMainTest, LoadsExactlyOneDroppedLocalFile)
{
    auto drop = [this](const QList<QUrl> &urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(400, 300), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&Form(), &enter);
        if (!enter.isAccepted())
            return;
        QDropEvent event(QPointF(400, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&Form(), &event);
    };
    const QString one = fDir.file("one.png");
    drop({QUrl::fromLocalFile(one), QUrl::fromLocalFile(fDir.file("two.png"))});
    drop({QUrl("https://example.com/picture.png")});
    EXPECT_TRUE(Form().Calls.isEmpty());
    drop({QUrl::fromLocalFile(one)});
    EXPECT_EQ(Form().Calls, QStringList({"LoadImage " + one}));
}

TEST_F(FormMainTest, PlacementSurvivesARestart)
{
    // Somewhere other than the designed place, and within the screen so nothing is moved.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize size = Form().minimumSize();
    const QRect placed(area.topLeft() + QPoint(std::max(0, (area.width() - size.width()) / 2),
                                               std::max(0, (area.height() - size.height()) / 2)),
                       size);
    ASSERT_NE(placed, Form().geometry());
    Form().setGeometry(placed);
    EXPECT_TRUE(Form().close());
    ASSERT_TRUE(QFileInfo::exists(GetSettingsFileName()));
    fInfo.reset();
    fDialog.reset();
    fForm.reset();
    EXPECT_EQ(Form().geometry(), placed);
    EXPECT_TRUE(fPrompter.Asked().empty());
}

TEST_F(FormMainTest, MissingOrUnreadableSettingsChangeNothing)
{
    ASSERT_FALSE(QFileInfo::exists(GetSettingsFileName()));
    const QRect designed = Form().geometry();
    EXPECT_EQ(designed.size(), QSize(971, 615));
    fInfo.reset();
    fDialog.reset();
    fForm.reset();
    // A folder where the settings file should be can be neither read nor replaced.
    ASSERT_TRUE(QDir().mkpath(GetSettingsFileName()));
    EXPECT_EQ(Form().geometry(), designed);
    EXPECT_TRUE(Form().close());
    EXPECT_TRUE(QFileInfo(GetSettingsFileName()).isDir());
    EXPECT_TRUE(fPrompter.Asked().empty());
}

} // namespace
} // namespace talivo
