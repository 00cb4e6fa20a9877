#include "tests/app/KeepWork.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace talivo::test {
namespace {

const QString kDiscard = "There are unsaved changes. Do you really want to discard the changes?";

using ReplacingThePicture = KeepWork;

TEST_F(ReplacingThePicture, AFileThatIsNoPictureChangesNothing)
{
    StartCounting();
    Slider("TrackBarZoom").setValue(-50);
    Slider("TrackBarPointSize").setValue(33);
    const QString notes = fDir.file("notes.png");
    Write(notes, "no picture");
    for (const bool saved : {false, true}) {
        if (saved)
            SaveMeasurement(fDir.file("saved.tlv"));
        const QStringList before = Snapshot();
        fPrompter.PushFile(notes);
        Form().Openimage1Click();
        Finish();
        Form().FilesDropped({notes});
        Finish();
        EXPECT_EQ(Snapshot(), before);
        const std::vector<TPromptRecord> &asked = fPrompter.Asked();
        for (size_t i = asked.size() - 2; i < asked.size(); ++i) {
            EXPECT_EQ(asked[i].Kind, TPromptKind::pkWarning);
            EXPECT_EQ(asked[i].Text,
                      "Cannot open \"" + notes + "\": Error# 350: Image format is not supported.");
        }
    }
}

TEST_F(ReplacingThePicture, UnsavedMarksGoOnlyAfterTheQuestion)
{
    StartCounting();
    QImage other(640, 480, QImage::Format_RGB32);
    other.fill(Qt::white);
    const QString otherFile = fDir.file("other.png");
    ASSERT_TRUE(other.save(otherFile));

    const QStringList before = Snapshot();
    fPrompter.PushAnswer(false);
    Form().FilesDropped({otherFile});
    Finish();
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(fPrompter.Asked().back().Text, kDiscard);
    EXPECT_EQ(fPrompter.Asked().back().Caption, "Unsaved changes");

    fPrompter.PushFile(otherFile);
    fPrompter.PushAnswer(true);
    Form().Openimage1Click();
    Finish();
    EXPECT_EQ(Graph().Background().Image().size(), QSize(640, 480));
    EXPECT_EQ(Graph().Objects().Count(), 0);
    EXPECT_EQ(Counts(), QStringList({"0"}));
    EXPECT_EQ(Form().StatusText(1), "other.png");

    // Saved marks, and unsaved groups without marks, lose nothing: no question.
    Press("ToolButtonAdd");
    Click({100, 100});
    SaveMeasurement(fDir.file("saved.tlv"));
    Form().FilesDropped({otherFile});
    Finish();
    EXPECT_EQ(Graph().Objects().Count(), 0);
    AddGroup(clRed);
    Form().FilesDropped({otherFile});
    Finish();
    EXPECT_TRUE(Form().Unsaved());
    EXPECT_EQ(fPrompter.Pending(), 0u);
}

using OpeningAMeasurement = KeepWork;

TEST_F(OpeningAMeasurement, AFileThatCannotBeReadWholeChangesNothing)
{
    const int id = StartCounting();
    SaveMeasurement(fDir.file("good.tlv"));
    const QByteArray good = Read(fDir.file("good.tlv"));
    Click({300, 200});

    // Cut inside the group record, after both marks.
    Write(fDir.file("cut.tlv"), good.left(good.size() - 20));
    Write(fDir.file("foreign.tlv"), "[Group0]\r\nDescription=Cells\r\n");
    Write(fDir.file("empty.tlv"), "");
    TGraphControl damaged;
    damaged.InsertNode({0, 0, 20, 20}, TGraphControl::FindClass("TCircularNode"))->SetTag(id);
    TGraphNode *record =
        damaged.InsertNode({0, 0, 10, 10}, TGraphControl::FindClass("TRectangularNode"));
    record->SetTag(500);
    record->SetText("1\r\nCells\r\n" + QString::number(id) + "\r\nred\r\n");
    damaged.SaveToFile(fDir.file("colour.tlv"));
    for (const QString &file :
         {fDir.file("cut.tlv"), fDir.file("foreign.tlv"), fDir.file("empty.tlv"),
          fDir.file("colour.tlv"), fDir.file("open1.png"), fDir.file("missing.tlv")}) {
        const QStringList before = Snapshot();
        fPrompter.PushAnswer(true);
        fPrompter.PushFile(file);
        const QString error = Thrown([&] { Form().Openmeasurement1Click(); });
        EXPECT_TRUE(error.startsWith("Cannot open \"" + file + "\": ")) << error.toStdString();
        EXPECT_EQ(Snapshot(), before) << file.toStdString();
    }
    fPrompter.PushAnswer(true);
    EXPECT_TRUE(Thrown([&] { OpenMeasurement(fDir.file("foreign.tlv")); })
                    .endsWith("The file is damaged or is not a measurement file (Invalid stream "
                              "content)."));

    fPrompter.PushAnswer(true);
    OpenMeasurement(fDir.file("good.tlv"));
    EXPECT_EQ(Texts(id), QStringList({"#1", "#2"}));
    EXPECT_EQ(Counts(), QStringList({"2"}));
    EXPECT_EQ(fPrompter.Pending(), 0u);
}

using MovingMarks = KeepWork;

TEST_F(MovingMarks, ADragOrAnArrowKeyIsAnUnsavedChange)
{
    StartCounting();
    Press("ToolButtonMove");
    SaveMeasurement(fDir.file("saved.tlv"));

    // Selecting a mark and resizing the marks move nothing that the file keeps.
    Click({100, 100});
    Slider("TrackBarPointSize").setValue(Slider("TrackBarPointSize").value() + 10);
    EXPECT_FALSE(Form().Unsaved());

    Mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, {130, 120}, Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, {130, 120}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Mark(0).Center(), (TPoint{130, 120}));
    EXPECT_TRUE(Form().Unsaved());

    SaveMeasurement(fDir.file("moved.tlv"));
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(&Graph(), &right);
    EXPECT_EQ(Mark(0).Center(), (TPoint{131, 120}));
    EXPECT_TRUE(Form().Unsaved());
}

// Shows the group dialog as the program does, lets a user act on it with keys and the mouse,
// and closes it if the user did not.
TScriptedPrompter::TDialogFiller AsUser(const std::function<void(TFormGroupSettings &)> &act)
{
    return [act](QDialog &dialog) {
        dialog.show();
        dialog.activateWindow();
        QApplication::processEvents();
        act(dynamic_cast<TFormGroupSettings &>(dialog));
        dialog.hide();
    };
}

// A key pressed and released where the keyboard focus is.
void Key(int key, const QString &text = {})
{
    QWidget *focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(focus, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(focus, &release);
}

void Type(const QString &text)
{
    for (const QChar c : text)
        Key(c.toUpper().unicode(), c);
}

void ClickOk(TFormGroupSettings &dialog)
{
    auto *ok = dialog.findChild<QPushButton *>("ButtonOk");
    // Qt gives the focus on a press only for the window system's own events.
    ok->setFocus(Qt::MouseFocusReason);
    const QPointF at(ok->width() / 2, ok->height() / 2);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, ok->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(ok, &event);
    }
}

using GroupDialog = KeepWork;

TEST_F(GroupDialog, TypingGoesIntoTheDescriptionAtEveryOpening)
{
    QStringList selected;
    const auto check = [&](TFormGroupSettings &dialog) {
        EXPECT_EQ(QApplication::focusWidget(), &dialog.LabeledEditDescription());
        selected << dialog.LabeledEditDescription().selectedText();
    };
    fPrompter.PushDialog(mrOk, AsUser([&](TFormGroupSettings &dialog) {
                             check(dialog);
                             Type("Cells");
                             ClickOk(dialog);
                         }));
    Form().ButtonAddGroupClick();
    fPrompter.PushDialog(mrOk, AsUser([&](TFormGroupSettings &dialog) {
                             check(dialog);
                             Type("Nuclei");
                             Key(Qt::Key_Return);
                         }));
    Form().ButtonAddGroupClick();
    List().Select(0);
    fPrompter.PushDialog(mrOk, AsUser([&](TFormGroupSettings &dialog) {
                             check(dialog);
                             Type("Debris");
                             ClickOk(dialog);
                         }));
    Form().ButtonEditGroupClick();

    EXPECT_EQ(selected, QStringList({"", "Cells", "Cells"}));
    ASSERT_EQ(Groups().RowCount(), 2);
    EXPECT_EQ(Groups().Text(0, gfDescription), "Debris");
    EXPECT_EQ(Groups().Text(1, gfDescription), "Nuclei");
}

// A dialog answer that types a description and picks a colour.
TScriptedPrompter::TDialogFiller Fill(const QString &description, TColor color)
{
    return [=](QDialog &dialog) {
        auto &settings = dynamic_cast<TFormGroupSettings &>(dialog);
        settings.LabeledEditDescription().setText(description);
        settings.ColorBoxGroup().SetSelected(color);
    };
}

using Descriptions = KeepWork;

TEST_F(Descriptions, KeepEveryCharacterOnOneLineThroughFilesAndARestart)
{
    Open(400, 300);
    Press("ToolButtonAdd");
    const QString alpha = QString::fromUtf8("α-SMA");
    for (const QString &typed : {QString("Cells\r\nDebris\tX"), alpha}) {
        fPrompter.PushDialog(mrOk, Fill(typed, clRed));
        Form().ButtonAddGroupClick();
        Click({50 + 40 * Groups().RowCount(), 100});
        Click({50 + 40 * Groups().RowCount(), 200});
    }
    const QStringList descriptions = {"Cells Debris X", alpha};
    const auto column = [this](TGroupField item) {
        QStringList values;
        for (int row = 0; row < Groups().RowCount(); ++row)
            values << Groups().Text(row, item);
        return values;
    };
    EXPECT_EQ(column(gfDescription), descriptions);
    const QStringList ids = column(gfId);

    SaveMeasurement(fDir.file("a.tlv"));
    OpenMeasurement(fDir.file("a.tlv"));
    EXPECT_EQ(column(gfDescription), descriptions);
    EXPECT_EQ(column(gfCount), QStringList({"2", "2"}));
    EXPECT_EQ(Texts(ids[0].toInt()), QStringList({"#1", "#2"}));
    EXPECT_EQ(Texts(ids[1].toInt()), QStringList({"#1", "#2"}));

    fPrompter.PushFile(fDir.file("a.txt"));
    Form().Exportmeasurement1Click();
    const QByteArray exported = Read(fDir.file("a.txt"));
    EXPECT_EQ(exported.count("\r\n"), 5);
    EXPECT_EQ(exported.count('\t'), 5 * 4);
    EXPECT_TRUE(exported.contains("\tCells Debris X\t#2\t"));
    EXPECT_TRUE(exported.contains("\t?-SMA\t#2\t"));

    // Edited in, a line break becomes a blank as well.
    List().Select(0);
    fPrompter.PushDialog(mrOk, Fill("Cells\nDebris X", clRed));
    Form().ButtonEditGroupClick();
    EXPECT_EQ(Groups().Text(0, gfDescription), "Cells Debris X");

    Form().Saveasdefault1Click();
    Restart();
    EXPECT_EQ(column(gfDescription), descriptions);
}

using Overwrites = KeepWork;

TEST_F(Overwrites, SavingOverAFileAsksFirst)
{
    StartCounting();
    const std::pair<QString, std::function<void()>> saves[] = {
        {fDir.file("m.tlv"), [this] { Form().Savemeasurement1Click(); }},
        {fDir.file("m.png"), [this] {
             Form().Saveimage1Click();
             Finish();
         }}};
    for (const auto &[file, save] : saves) {
        Write(file, "previous");
        fPrompter.PushFile(file);
        fPrompter.PushAnswer(false);
        save();
        EXPECT_EQ(Read(file), "previous");
        EXPECT_EQ(fPrompter.Asked().back().Caption, "Overwrite");
        EXPECT_EQ(fPrompter.Asked().back().Text,
                  "File already exists. Do you really want to overwrite the existing file?");
        fPrompter.PushFile(file);
        fPrompter.PushAnswer(true);
        save();
        EXPECT_NE(Read(file), "previous");
    }
    EXPECT_EQ(fPrompter.Pending(), 0u);
}

TEST_F(Overwrites, TheMarkedImageNeverReplacesThePictureBeingCounted)
{
    StartCounting();
    const QString picture = fDir.file("open1.png");
    const QByteArray bytes = Read(picture);
    ASSERT_TRUE(QFile::link(picture, fDir.file("link.png")));
    for (const QString &file : {picture, fDir.path() + "/./open1.png", fDir.file("link.png")}) {
        fPrompter.PushFile(file);
        Form().Saveimage1Click();
        EXPECT_EQ(Read(picture), bytes);
        EXPECT_EQ(fPrompter.Asked().back().Kind, TPromptKind::pkWarning);
        EXPECT_TRUE(fPrompter.Asked().back().Text.startsWith('"' + file + '"'));
    }
    EXPECT_EQ(fPrompter.Pending(), 0u);
}

using HiddenMarks = KeepWork;

TEST_F(HiddenMarks, OpenWithTheHideButtonShowingWhatTheFileHolds)
{
    StartCounting();
    Press("ToolButtonHide");
    SaveMeasurement(fDir.file("hidden.tlv"));
    Press("ToolButtonHide");
    Mark(0).SetVisible(false);
    SaveMeasurement(fDir.file("mixed.tlv"));
    Mark(0).SetVisible(true);
    SaveMeasurement(fDir.file("shown.tlv"));

    OpenMeasurement(fDir.file("hidden.tlv"));
    EXPECT_TRUE(Tool("ToolButtonHide").isChecked());
    EXPECT_FALSE(Mark(0).Visible());
    EXPECT_FALSE(Mark(1).Visible());
    OpenMeasurement(fDir.file("mixed.tlv"));
    EXPECT_FALSE(Tool("ToolButtonHide").isChecked());
    EXPECT_FALSE(Mark(0).Visible());
    EXPECT_TRUE(Mark(1).Visible());
    Press("ToolButtonHide");
    OpenMeasurement(fDir.file("shown.tlv"));
    EXPECT_FALSE(Tool("ToolButtonHide").isChecked());
    EXPECT_TRUE(Mark(0).Visible());
    // The button then works as always: one press hides them all.
    Press("ToolButtonHide");
    EXPECT_FALSE(Mark(1).Visible());
}

} // namespace
} // namespace talivo::test
