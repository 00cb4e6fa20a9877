#include "tests/pictures/SyntheticPictures.h"
#include "tests/tools/CliWorkspace.h"

#include <QRegularExpression>
#include <QToolButton>

namespace talivo::test {
namespace {

TEST_F(Cli, CountsEveryGroupOfEveryFileAndNamesFilesWhoseCountsDiffer)
{
    Count();
    SaveMeasurement("a.tlv");
    Restart();
    CountBadly();
    SaveMeasurement("b.tlv");

    const CliRun run = Run({"counts", "a.tlv", "b.tlv"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(QString::fromUtf8(run.Out),
              QString::fromUtf8("File\tGroupId\tDescription\tMarks\tStored\n"
                                "a.tlv\t0\tZellkörper\t3\t3\n"
                                "a.tlv\t1\tDe bris\t2\t2\n"
                                "a.tlv\t2\tEmpty\t0\t0\n"
                                "b.tlv\t0\tCells\t2\t7\n"));
    EXPECT_EQ(run.Err, "talivo-cli: b.tlv: stored counts differ from the marks\n");
    EXPECT_EQ(Entries("work"), QStringList({"a.tlv", "b.tlv"}));
}

TEST_F(Cli, ExportsExactlyWhatTheWindowExportsAfterOpeningTheFile)
{
    Count();
    Form().findChild<QToolButton *>("ToolButtonHide")->click();
    SaveMeasurement("a.tlv");
    fPrompter.PushFile(Work("a.tlv"));
    Form().Openmeasurement1Click();
    const QString windowExport = fDir.file("window.txt");
    fPrompter.PushFile(windowExport);
    Form().Exportmeasurement1Click();
    const QByteArray expected = Read(windowExport);
    ASSERT_TRUE(expected.contains("0\tZellk\xF6rper\t#3\t230\t130\r\n"));

    const CliRun toOutput = Run({"export", "a.tlv"});
    EXPECT_EQ(toOutput.Status, 0);
    EXPECT_EQ(toOutput.Out, expected);
    EXPECT_EQ(toOutput.Err, "");
    const CliRun toFile = Run({"export", "-o", "a.txt", "a.tlv"});
    EXPECT_EQ(toFile.Status, 0);
    EXPECT_EQ(toFile.Out, "");
    EXPECT_EQ(Read(Work("a.txt")), expected);
    EXPECT_EQ(Entries("work"), QStringList({"a.tlv", "a.txt"}));
}

TEST_F(Cli, EightBitDescriptionsOfOlderWritersKeepTheirCharacters)
{
    // A group record written by an 8-bit writer: its text as a short string in Windows-1252.
    LoadImage();
    Form().AddGroupRow("Placeholder", 255, 1000, 0);
    Form().AddMark(50, 50, 20, 1000);
    SaveMeasurement("window.tlv");
    QByteArray file = Read(Work("window.tlv"));
    const qsizetype at = file.indexOf("Placeholder");
    const qsizetype length = file.lastIndexOf("\x06G.Text\x06", at) + 8;
    ASSERT_GT(length, 8);
    const QByteArray ansi = "\x80-Z\xE4hlung \x84Kerne\x93 \x96 gro\xDF";
    file.replace(at, 11, ansi);
    file[length] = char(uchar(file[length]) - 11 + ansi.size());
    Write(Work("ansi.tlv"), file);
    const QString description = QString::fromUtf8("€-Zählung „Kerne“ – groß");

    const CliRun counts = Run({"counts", "ansi.tlv"});
    EXPECT_EQ(counts.Status, 0);
    EXPECT_EQ(QString::fromUtf8(counts.Out), "File\tGroupId\tDescription\tMarks\tStored\n"
                                             "ansi.tlv\t0\t" +
                                                 description + "\t1\t1\n");
    const CliRun exported = Run({"export", "ansi.tlv"});
    EXPECT_EQ(exported.Status, 0);
    EXPECT_TRUE(exported.Out.contains("\t" + ansi + "\t#1\t")) << exported.Out.toStdString();

    // The window opens it with the same description and saves it so that it reads back alike.
    fPrompter.PushFile(Work("ansi.tlv"));
    Form().Openmeasurement1Click();
    EXPECT_EQ(Groups().Text(0, gfDescription), description);
    SaveMeasurement("again.tlv");
    EXPECT_EQ(Run({"export", "again.tlv"}).Out, exported.Out);
}

TEST_F(Cli, RendersThePictureTheWindowSavesAtTheStoredOrAGivenSize)
{
    Count();
    SaveMeasurement("a.tlv");
    const QString windowImage = fDir.file("window.png");
    ASSERT_TRUE(Form().SaveImageWithMarks(windowImage));
    ASSERT_TRUE(QImage(fDir.file("picture.png")).save(Work("picture.png")));

    EXPECT_EQ(Run({"render", "picture.png", "a.tlv", "out.png"}).Status, 0);
    const QImage rendered(Work("out.png"));
    EXPECT_EQ(rendered.convertToFormat(QImage::Format_RGB32),
              QImage(windowImage).convertToFormat(QImage::Format_RGB32));

    // The first mark (red, radius 20) stands at (50, 100): 30 pixels left of it lies outside it
    // at the stored size and inside it at size 40.
    const CliRun larger = Run({"render", "--point-size", "40", "picture.png", "a.tlv", "big.png"});
    EXPECT_EQ(larger.Status, 0);
    EXPECT_NE(rendered.pixel(20, 100), qRgb(255, 0, 0));
    EXPECT_EQ(QImage(Work("big.png")).pixel(20, 100), qRgb(255, 0, 0));

    EXPECT_EQ(Run({"render", "picture.png", "a.tlv", "out.JPG"}).Status, 0);
    EXPECT_TRUE(Read(Work("out.JPG")).startsWith("\xFF\xD8"));
    EXPECT_EQ(Run({"render", "picture.png", "a.tlv", "out.gif"}).Status, 0);
    EXPECT_TRUE(Read(Work("out.gif")).startsWith("BM"));
    EXPECT_EQ(Entries("work"),
              QStringList({"a.tlv", "big.png", "out.JPG", "out.gif", "out.png", "picture.png"}));
}

TEST_F(Cli, ChecksMarksGroupsAndStoredCounts)
{
    Count();
    SaveMeasurement("a.tlv");
    Restart();
    CountBadly();
    SaveMeasurement("b.tlv");

    const CliRun run = Run({"check", "a.tlv", "b.tlv"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "a.tlv: 5 marks, 3 groups; no problems\n"
                       "b.tlv: 3 marks, 1 group; 1 mark whose group is missing; "
                       "group 0 (Cells) stores the count 7 but has 2 marks\n");
    EXPECT_EQ(run.Err, "");
}

TEST_F(Cli, DamagedOrMissingFilesGiveStatusOneAndOneLineNamingTheFile)
{
    Count();
    SaveMeasurement("a.tlv");
    ASSERT_TRUE(QImage(fDir.file("picture.png")).save(Work("picture.png")));
    const QStringList names = Damage("a.tlv") << "missing.tlv";
    for (const QString &name : names) {
        const QList<QStringList> calls = {{"check", "a.tlv", name},
                                          {"counts", name},
                                          {"export", name},
                                          {"export", name, "-o", "out.txt"},
                                          {"render", "picture.png", name, "out.png"}};
        for (const QStringList &call : calls) {
            const CliRun run = Run(call);
            const QString what = call.join(' ');
            EXPECT_EQ(run.Status, 1) << what.toStdString();
            EXPECT_TRUE(run.Err.startsWith(("talivo-cli: " + name + ": ").toUtf8()))
                << what.toStdString() << ": " << run.Err.toStdString();
            EXPECT_EQ(run.Err.count('\n'), 1) << what.toStdString();
        }
        EXPECT_FALSE(QFile::exists(Work("out.txt")));
        EXPECT_FALSE(QFile::exists(Work("out.png")));
    }
    EXPECT_EQ(Run({"check", "record.tlv"}).Out, "record.tlv: damaged\n");
    EXPECT_EQ(Run({"render", "a.tlv", "a.tlv", "out.png"}).Err.left(18), "talivo-cli: a.tlv:");
}

// The lines "x TAB y" of detect's output as points.
std::vector<QPointF> Points(const QByteArray &lines)
{
    std::vector<QPointF> points;
    for (const QByteArray &line : lines.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 2)
            points.emplace_back(fields[0].toInt(), fields[1].toInt());
    }
    return points;
}

TEST_F(Cli, DetectsObjectsAsLinesOrAsAMeasurementTheWindowOpens)
{
    const TSyntheticPicture cells = DarkCellsOnUnevenLight({800, 600}, 150, 10, 1);
    ASSERT_TRUE(cells.Image.save(Work("cells.png")));

    const CliRun lines = Run({"detect", "cells.png", "--diameter", "20"});
    EXPECT_EQ(lines.Status, 0);
    EXPECT_EQ(lines.Err, "");
    EXPECT_TRUE(QRegularExpression(R"(^(\d+\t\d+\n)+$)").match(lines.Out).hasMatch());
    const std::vector<QPointF> found = Points(lines.Out);
    EXPECT_GE(MatchCentres(cells.Centres, found, cells.Radius / 2).F1(), 0.95);
    // The size comes from the picture when not given.
    EXPECT_GE(
        MatchCentres(cells.Centres, Points(Run({"detect", "cells.png"}).Out), cells.Radius / 2)
            .F1(),
        0.95);
    EXPECT_LT(MatchCentres(cells.Centres, Points(Run({"detect", "--bright", "cells.png"}).Out),
                           cells.Radius / 2)
                  .Hits,
              15);

    const CliRun measurement = Run({"detect", "cells.png", "--diameter=20", "-o", "cells.tlv"});
    EXPECT_EQ(measurement.Status, 2) << "options take their values apart";
    EXPECT_EQ(Run({"detect", "cells.png", "--diameter", "20", "--sensitivity", "50", "--dark", "-o",
                   "cells.tlv"})
                  .Status,
              0);
    const QString count = QString::number(found.size());
    EXPECT_EQ(QString::fromUtf8(Run({"counts", "cells.tlv"}).Out),
              "File\tGroupId\tDescription\tMarks\tStored\ncells.tlv\t0\tAutodetect\t" + count +
                  "\t" + count + "\n");
    EXPECT_EQ(QString::fromUtf8(Run({"check", "cells.tlv"}).Out),
              "cells.tlv: " + count + " marks, 1 group; no problems\n");

    // In the window the marks stand where the lines said, numbered in their order.
    fPrompter.PushFile(Work("cells.png"));
    Form().Openimage1Click();
    Finish();
    fPrompter.PushFile(Work("cells.tlv"));
    Form().Openmeasurement1Click();
    ASSERT_EQ(Form().Groups().RowCount(), 1);
    EXPECT_EQ(Form().Groups().Text(0, gfDescription), "Autodetect");
    EXPECT_EQ(Form().Groups().Text(0, gfCount), count);
    ASSERT_EQ(Graph().Objects().Count(), int(found.size()));
    const TRect first = Graph().Objects()[0]->BoundsRect();
    EXPECT_EQ(QPointF((first.Left + first.Right) / 2, (first.Top + first.Bottom) / 2), found[0]);
    EXPECT_EQ(Graph().Objects()[0]->Text(), "#1");
    EXPECT_EQ(Entries("work"), QStringList({"cells.png", "cells.tlv"}));
}

TEST_F(Cli, DetectRefusesWrongValuesAndReportsUnreadablePictures)
{
    const TSyntheticPicture cells = DarkCellsOnUnevenLight({200, 150}, 10, 10, 1);
    ASSERT_TRUE(cells.Image.save(Work("cells.png")));
    for (const QStringList &call :
         QList<QStringList>{{"detect"},
                            {"detect", "cells.png", "cells.png"},
                            {"detect", "cells.png", "--diameter", "1.99"},
                            {"detect", "cells.png", "--diameter", "4000.5"},
                            {"detect", "cells.png", "--diameter", "x"},
                            {"detect", "cells.png", "--sensitivity", "-0.01"},
                            {"detect", "cells.png", "--sensitivity", "100.01"},
                            {"detect", "cells.png", "--dark", "--bright"},
                            {"detect", "cells.png", "--point-size", "20"}}) {
        const CliRun run = Run(call);
        EXPECT_EQ(run.Status, 2) << call.join(' ').toStdString();
        EXPECT_EQ(run.Out, "") << call.join(' ').toStdString();
    }
    for (const QStringList &call :
         QList<QStringList>{{"detect", "cells.png", "--diameter", "2"},
                            {"detect", "cells.png", "--diameter", "4000"},
                            {"detect", "cells.png", "--sensitivity", "0"},
                            {"detect", "cells.png", "--sensitivity", "100"}})
        EXPECT_EQ(Run(call).Status, 0) << call.join(' ').toStdString();

    Write(Work("broken.png"), "not a picture");
    const CliRun broken = Run({"detect", "broken.png"});
    EXPECT_EQ(broken.Status, 1);
    EXPECT_TRUE(broken.Err.startsWith("talivo-cli: broken.png: "));
    const CliRun nowhere = Run({"detect", "cells.png", "-o", "missing/cells.tlv"});
    EXPECT_EQ(nowhere.Status, 1);
    EXPECT_EQ(nowhere.Err.count('\n'), 1);
    EXPECT_EQ(Entries("work"), QStringList({"broken.png", "cells.png"}));
}

TEST_F(Cli, WrongCallsGiveStatusTwoAndHelpAndVersionZero)
{
    const QList<QStringList> wrong = {
        {},
        {"count", "a.tlv"},
        {"counts"},
        {"export", "a.tlv", "b.tlv"},
        {"export", "a.tlv", "-o"},
        {"export", "--point-size", "20", "a.tlv"},
        {"render", "picture.png", "a.tlv"},
        {"render", "picture.png", "a.tlv", "o.png", "--point-size", "4"},
        {"check", "--verbose", "a.tlv"}};
    for (const QStringList &call : wrong) {
        const CliRun run = Run(call);
        EXPECT_EQ(run.Status, 2) << call.join(' ').toStdString();
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(run.Err.count('\n'), 1) << run.Err.toStdString();
    }
    const CliRun help = Run({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_TRUE(help.Out.startsWith("Usage: talivo-cli COMMAND"));
    const CliRun version = Run({"--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(QString(version.Out),
              "talivo-cli " + GetVersionInfoValue(TALIVO_CLI_PATH, vkFileVersion) + "\n");
    EXPECT_TRUE(QRegularExpression(R"(^talivo-cli \d+\.\d+\.\d+\.\d+\n$)")
                    .match(QString(version.Out))
                    .hasMatch());
    EXPECT_EQ(Entries("work"), QStringList());
}

} // namespace
} // namespace talivo::test
