#include "tests/app/Workspace.h"

#include "app/Export.h"

#include <QFileDevice>
#include <QProcess>
#include <QStandardPaths>

namespace talivo::test {
namespace {

class Export : public Workspace {
protected:
    void ExportTo(const QString &fileName)
    {
        fPrompter.PushFile(fileName);
        Form().Exportmeasurement1Click();
    }
};

TEST_F(Export, WritesOneTabSeparatedLinePerMarkGroupByGroup)
{
    LoadImage();
    const QString file = fDir.file("counts.txt");
    ExportTo(file);
    EXPECT_EQ(Read(file), "");

    Form().AddGroupRow("Cells", 255, 1000, 0);
    Form().AddGroupRow("De\tbris", 65280, 1001, 0);
    Form().AddGroupRow("Empty", 65280, 1002, 0);
    Form().AddMark(100, 50, 20, 1000);
    Form().AddMark(300, 12, 20, 1001);
    Form().AddMark(40, 220, 20, 1000);
    fPrompter.PushAnswer(false);
    ExportTo(file);
    EXPECT_EQ(Read(file), "");
    EXPECT_EQ(fPrompter.Asked().back().Caption, "Overwrite");

    fPrompter.PushAnswer(true);
    ExportTo(file);
    EXPECT_EQ(Read(file), "GroupId\tGroupName\tLabel\tX\tY\r\n"
                          "0\tCells\t#1\t100\t50\r\n"
                          "0\tCells\t#2\t40\t220\r\n"
                          "1\tDe bris\t#1\t300\t12\r\n");
    EXPECT_EQ(fPrompter.Asked().front().Options.DefaultExt, ".txt");

    // A TAB that reaches a group by other means still cannot add a column.
    std::vector<TGroupRow> rows = Groups().Rows();
    rows[1].Description = "De\tbris";
    EXPECT_EQ(ExportLines(rows, Graph().Objects()).at(3), "1\tDebris\t#1\t300\t12");
}

TEST_F(Export, SpreadsheetsReadTheFileBackIntoTheSameRows)
{
    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    LoadImage();
    Form().AddGroupRow(QString::fromUtf8("Zellkörper, groß"), 255, 1000, 0);
    Form().AddMark(10, 20, 5, 1000);
    const QString file = fDir.file("counts.txt");
    ExportTo(file);

    QProcess reader;
    reader.start(python, {"-c",
                          "import csv, json, sys\n"
                          "with open(sys.argv[1], newline='', encoding='cp1252') as f:\n"
                          "    print(json.dumps(list(csv.reader(f, dialect='excel-tab'))))",
                          file});
    ASSERT_TRUE(reader.waitForFinished(30000));
    EXPECT_EQ(QString::fromUtf8(reader.readAllStandardOutput()).trimmed(),
              QString::fromUtf8(R"([["GroupId", "GroupName", "Label", "X", "Y"], )"
                                R"(["0", "Zellk\u00f6rper, gro\u00df", "#1", "10", "20"]])"));
}

TEST_F(Export, CopiesTheCountsAsOneLine)
{
    Form().GridCopyToClipboard1Click();
    EXPECT_EQ(fClipboard.Contents().Text, QString());
    Form().AddGroupRow("a", 0, 0, 3);
    Form().AddGroupRow("b", 0, 0, 0);
    Form().AddGroupRow("c", 0, 0, 12);
    Form().GridCopyToClipboard1Click();
    EXPECT_EQ(fClipboard.Text(), "3\t0\t12");
}

// Measurements, exports and default groups alike: a write that fails leaves the previous file.
TEST_F(Export, FailedWritesKeepThePreviousFiles)
{
    if (!CanProtectFolders())
        GTEST_SKIP() << "root writes into write-protected folders";
    LoadImage();
    Form().AddGroupRow("Cells", 255, 0, 0);
    Form().AddMark(100, 50, 20, Groups().Id(0));
    const QString folder = fDir.file("protected");
    const QString groups = GetSettingsFolder() + "TalivoGroups.ini";
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString &file : {folder + "/m.tlv", folder + "/e.txt", groups})
        Write(file, "previous");
    const auto protect = [](const QString &path, bool on) {
        QFile::setPermissions(path, on ? QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                       : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner);
    };
    protect(folder, true);
    protect(GetSettingsFolder(), true);

    fPrompter.PushFile(folder + "/m.tlv");
    fPrompter.PushAnswer(true);
    EXPECT_ANY_THROW(Form().Savemeasurement1Click());
    EXPECT_EQ(Graph().Objects().Count(), 1);
    EXPECT_TRUE(Form().Unsaved());
    fPrompter.PushAnswer(true);
    EXPECT_ANY_THROW(ExportTo(folder + "/e.txt"));
    fPrompter.PushAnswer(true);
    EXPECT_ANY_THROW(Form().Saveasdefault1Click());

    protect(folder, false);
    protect(GetSettingsFolder(), false);
    for (const QString &file : {folder + "/m.tlv", folder + "/e.txt", groups})
        EXPECT_EQ(Read(file), "previous") << file.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

} // namespace
} // namespace talivo::test
