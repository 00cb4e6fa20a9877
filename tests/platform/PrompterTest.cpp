#include "platform/QtPrompter.h"
#include "platform/ScriptedPrompter.h"

#include "tests/common/TestMain.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace talivo {
namespace {

TFileDialogOptions MeasurementOptions()
{
    TFileDialogOptions options;
    options.Caption = "Save measurement";
    options.Filters = {{"Merivo", "*.tlv;*.TLV"}, {"*.*", "*.*"}};
    options.DefaultExt = ".tlv";
    return options;
}

// Answers the next modal box or dialog as a user would, once its event loop runs.
template <class TWidget> void AnswerModal(const std::function<void(TWidget &)> &answer)
{
    QTimer::singleShot(0, [answer] {
        auto *widget = qobject_cast<TWidget *>(QApplication::activeModalWidget());
        ASSERT_NE(widget, nullptr);
        answer(*widget);
    });
}

TEST(ScriptedPrompter, AnswersInOrderAndRecordsEveryQuestion)
{
    TScriptedPrompter prompter;
    prompter.PushAnswer(true);
    prompter.PushAnswer(false);
    prompter.PushFile(std::nullopt);
    prompter.PushFile("/tmp/a.tlv", 1);

    EXPECT_TRUE(prompter.AskYesNo("Delete?", "Delete group"));
    prompter.Notice("No group available.", "Talivo");
    prompter.Warning("Cannot write", "Talivo");
    EXPECT_FALSE(prompter.AskYesNo("Discard?", "Unsaved changes"));
    int filter = -1;
    EXPECT_EQ(prompter.OpenFile(MeasurementOptions(), &filter), std::nullopt);
    EXPECT_EQ(filter, -1) << "Cancel leaves the filter index alone";
    EXPECT_EQ(prompter.SaveFile(MeasurementOptions(), &filter), QString("/tmp/a.tlv"));
    EXPECT_EQ(filter, 1);
    EXPECT_EQ(prompter.Pending(), 0u);

    const auto &asked = prompter.Asked();
    ASSERT_EQ(asked.size(), 6u);
    EXPECT_EQ(asked[0].Kind, TPromptKind::pkYesNo);
    EXPECT_EQ(asked[0].Text, "Delete?");
    EXPECT_EQ(asked[0].Caption, "Delete group");
    EXPECT_EQ(asked[1].Kind, TPromptKind::pkNotice);
    EXPECT_EQ(asked[1].Text, "No group available.");
    EXPECT_EQ(asked[2].Kind, TPromptKind::pkWarning);
    EXPECT_EQ(asked[4].Kind, TPromptKind::pkOpenFile);
    EXPECT_EQ(asked[5].Kind, TPromptKind::pkSaveFile);
    EXPECT_EQ(asked[5].Caption, "Save measurement");
    EXPECT_EQ(asked[5].Options.Filters, MeasurementOptions().Filters);
}

TEST(ScriptedPrompter, UnscriptedQuestionThrowsAndIsStillRecorded)
{
    TScriptedPrompter prompter;
    QDialog dialog;
    EXPECT_THROW(prompter.AskYesNo("Overwrite?", "Overwrite"), EUnscriptedPrompt);
    EXPECT_THROW(prompter.SaveFile(MeasurementOptions()), EUnscriptedPrompt);
    EXPECT_THROW(prompter.RunDialog(dialog), EUnscriptedPrompt);
    EXPECT_EQ(prompter.Asked().size(), 3u);
}

TEST(ScriptedPrompter, DialogIsFilledBeforeItsScriptedResult)
{
    QDialog dialog;
    dialog.setObjectName("FormGroupSettings");
    dialog.setWindowTitle("Group settings");
    auto *edit = new QLineEdit(&dialog);
    TScriptedPrompter prompter;
    prompter.PushDialog(QDialog::Accepted,
                        [](QDialog &d) { d.findChild<QLineEdit *>()->setText("Cells"); });

    EXPECT_EQ(prompter.RunDialog(dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(edit->text(), "Cells");
    ASSERT_EQ(prompter.Asked().size(), 1u);
    EXPECT_EQ(prompter.Asked()[0].Kind, TPromptKind::pkDialog);
    EXPECT_EQ(prompter.Asked()[0].Text, "FormGroupSettings");
    EXPECT_EQ(prompter.Asked()[0].Caption, "Group settings");
}

TEST(QtPrompter, QuestionBoxHasYesNoWarningIconAndNoAsDefault)
{
    auto box = TQtPrompter::BuildQuestionBox("Delete selected group?", "Delete group", nullptr);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
    EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::No));
    EXPECT_EQ(box->text(), "Delete selected group?");
    EXPECT_EQ(box->windowTitle(), "Delete group");

    auto notice = TQtPrompter::BuildNoticeBox("Please load image first.", "Talivo", nullptr);
    EXPECT_EQ(notice->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(notice->icon(), QMessageBox::Information);
    auto warning = TQtPrompter::BuildWarningBox("Cannot write \"a.tlv\".", "Talivo", nullptr);
    EXPECT_EQ(warning->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(warning->icon(), QMessageBox::Warning);
    EXPECT_EQ(warning->text(), "Cannot write \"a.tlv\".");

    TQtPrompter prompter;
    AnswerModal<QMessageBox>([](QMessageBox &box) { box.button(QMessageBox::Yes)->click(); });
    EXPECT_TRUE(prompter.AskYesNo("Overwrite?", "Overwrite"));
    AnswerModal<QMessageBox>([](QMessageBox &box) { box.close(); });
    EXPECT_FALSE(prompter.AskYesNo("Overwrite?", "Overwrite"));
}

TEST(QtPrompter, FileDialogCarriesTheOptions)
{
    TFileDialogOptions options = MeasurementOptions();
    auto save = TQtPrompter::BuildFileDialog(options, QFileDialog::AcceptSave, nullptr);
    EXPECT_EQ(save->nameFilters(), QStringList({"Merivo (*.tlv *.TLV)", "*.* (*.*)"}));
    EXPECT_TRUE(save->testOption(QFileDialog::DontConfirmOverwrite));

    options.OverwritePrompt = true;
    auto asking = TQtPrompter::BuildFileDialog(options, QFileDialog::AcceptSave, nullptr);
    EXPECT_FALSE(asking->testOption(QFileDialog::DontConfirmOverwrite));

    auto open = TQtPrompter::BuildFileDialog(options, QFileDialog::AcceptOpen, nullptr);
    EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
}

TEST(QtPrompter, SaveDialogAddsTheDefaultExtensionAndReportsTheFilter)
{
    test::TempDir dir;
    TFileDialogOptions options = MeasurementOptions();
    options.InitialDir = dir.path();
    TQtPrompter prompter;
    int filter = -1;

    AnswerModal<QFileDialog>([](QFileDialog &dialog) {
        dialog.selectNameFilter(dialog.nameFilters().at(1));
        dialog.selectFile("count");
        static_cast<QDialog &>(dialog).accept();
    });
    EXPECT_EQ(prompter.SaveFile(options, &filter), dir.file("count.tlv"));
    EXPECT_EQ(filter, 1);

    AnswerModal<QFileDialog>([](QFileDialog &dialog) { dialog.reject(); });
    EXPECT_EQ(prompter.SaveFile(options), std::nullopt);
}

} // namespace
} // namespace talivo
