#include "app/AnsiText.h"
#include "app/ColorBox.h"
#include "app/StrToInt.h"
#include "graph/canvas/CanvasColors.h"
#include "platform/Platform.h"
#include "platform/ScriptedPrompter.h"

#include <QColorDialog>
#include <gtest/gtest.h>

namespace talivo {
namespace {

TEST(AnsiText, KeepsWhatWindows1252HoldsAndQuestionsTheRest)
{
    const QString kept =
        QString::fromUtf8("abc äöü ÿ € ‚ ƒ „ … † ‡ ˆ ‰ Š ‹ Œ Ž ‘ ’ “ ” • – — ˜ ™ š › œ ž Ÿ");
    EXPECT_FALSE(ToAnsiBytes(kept).contains('?'));
    EXPECT_EQ(ToAnsiBytes(QString::fromUtf8("ä€Ÿ")), QByteArray("\xE4\x80\x9F"));
    // The five unassigned positions keep their control characters; other C1 controls do not.
    const QString unassigned =
        QString(QChar(0x81)) + QChar(0x8D) + QChar(0x8F) + QChar(0x90) + QChar(0x9D);
    EXPECT_EQ(ToAnsiBytes(unassigned), QByteArray("\x81\x8D\x8F\x90\x9D"));
    EXPECT_EQ(ToAnsiBytes(QString(QChar(0x80)) + QChar(0x9F)), "??");
    // One question mark per character, a surrogate pair included.
    EXPECT_EQ(ToAnsiBytes(QString::fromUtf8("Ā ł Ω 中 😀")), "? ? ? ? ?");
    EXPECT_EQ(ToAnsiBytes(QString::fromUtf8("α-SMA")), "?-SMA");
    EXPECT_EQ(ToAnsiBytes(QString()), QByteArray());
}

TEST(AnsiText, SingleLineMakesEachRunOfBreaksAndTabsOneBlank)
{
    EXPECT_EQ(SingleLine("Cells\r\nDebris\tX"), "Cells Debris X");
    EXPECT_EQ(SingleLine("\r\n\t\n\ra\n\nb\r\n"), " a b ");
    EXPECT_EQ(SingleLine("a  b"), "a  b");
    EXPECT_EQ(SingleLine(QString::fromUtf8("α\x0b\x0c\x1fβ")), QString::fromUtf8("α\x0b\x0c\x1fβ"));
    EXPECT_EQ(SingleLine(QString()), QString());
}

TEST(AnsiText, TrimRemovesBlanksAndControlsOnly)
{
    EXPECT_EQ(Trim(" \t\r\n\x01 a b \x1f "), "a b");
    const QString nbsp = QString(QChar(0xA0)) + "a" + QChar(0xA0);
    EXPECT_EQ(Trim(nbsp), nbsp);
    EXPECT_EQ(Trim("   "), "");
}

TEST(StrToInt, ReadsDecimalAndPrefixedHexadecimal)
{
    EXPECT_EQ(StrToInt("65280"), 65280);
    EXPECT_EQ(StrToInt("  -42"), -42);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("$FF00"), 0xFF00);
    EXPECT_EQ(StrToInt("0x1f"), 31);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("-2147483648"), std::numeric_limits<int>::min());
    for (const char *bad : {"", " ", "12a", "1 2", "$", "0x", "2147483648", "$100000000", "1.5"})
        EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
}

TEST(ColorBox, ListsTheColoursAndTakesOthersAsCustom)
{
    TColorBox box;
    EXPECT_EQ(box.count(), 21);
    EXPECT_EQ(box.itemText(TColorBox::CustomIndex), "Custom...");
    box.SetSelected(clSkyBlue);
    EXPECT_EQ(box.currentText(), "Sky Blue");
    EXPECT_EQ(box.Selected(), clSkyBlue);
    box.SetSelected(0x00123456);
    EXPECT_EQ(box.currentIndex(), TColorBox::CustomIndex);
    EXPECT_EQ(box.Selected(), 0x00123456u);
}

TEST(ColorBox, CustomEntryAsksTheColourDialog)
{
    TScriptedPrompter prompter;
    TScopedPrompter guard(&prompter);
    TColorBox box;
    // Choosing the entry makes it current before the dialog opens, as the drop-down does.
    const auto chooseCustom = [&] {
        box.setCurrentIndex(TColorBox::CustomIndex);
        emit box.activated(TColorBox::CustomIndex);
    };
    QStringList startedAt;
    const auto starting = [&](QDialog &dialog) {
        startedAt << dynamic_cast<QColorDialog &>(dialog).currentColor().name();
    };
    box.SetSelected(clRed);
    prompter.PushDialog(QDialog::Rejected, starting);
    chooseCustom();
    EXPECT_EQ(box.Selected(), clRed);
    EXPECT_EQ(box.currentText(), "Red");

    box.setCurrentIndex(box.findText("Navy"));
    emit box.activated(box.currentIndex());
    prompter.PushDialog(QDialog::Accepted, [&](QDialog &dialog) {
        starting(dialog);
        dynamic_cast<QColorDialog &>(dialog).setCurrentColor(QColor(0x12, 0x34, 0x56));
    });
    chooseCustom();
    EXPECT_EQ(box.Selected(), 0x00563412u);

    prompter.PushDialog(QDialog::Rejected, starting);
    chooseCustom();
    EXPECT_EQ(box.Selected(), 0x00563412u);
    EXPECT_EQ(startedAt, QStringList({"#ff0000", "#000080", "#123456"}));
}

} // namespace
} // namespace talivo
