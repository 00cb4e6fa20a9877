#pragma once

#include "graph/objects/GraphNode.h"
#include "tests/app/Workspace.h"

#include <QDirIterator>
#include <QProcess>
#include <functional>

namespace talivo::test {

struct CliRun {
    int Status = -1;
    QByteArray Out;
    QByteArray Err;
};

// Measurement files made by the window, and talivo-cli run on them in a folder of its own, with
// no display and a home, settings and runtime folder that must stay empty.
class Cli : public Workspace {
protected:
    Cli()
    {
        for (const char *folder : {"work", "home", "runtime"})
            QDir().mkpath(fDir.file(folder));
        QFile::setPermissions(fDir.file("runtime"), QFileDevice::ReadOwner |
                                                        QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner);
    }
    ~Cli() override
    {
        EXPECT_EQ(Entries("home"), QStringList());
        EXPECT_EQ(Entries("runtime"), QStringList());
    }

    // Runs talivo-cli to its end. childSetup runs in the child before the program starts.
    CliRun Run(const QStringList &arguments, const std::function<void()> &childSetup = {})
    {
        QProcess process;
        Start(process, arguments, childSetup);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return {};
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }
    void Start(QProcess &process, const QStringList &arguments,
               const std::function<void()> &childSetup = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        environment.insert("HOME", fDir.file("home"));
        environment.insert("XDG_CONFIG_HOME", fDir.file("home/config"));
        environment.insert("XDG_DATA_HOME", fDir.file("home/data"));
        environment.insert("XDG_CACHE_HOME", fDir.file("home/cache"));
        environment.insert("XDG_RUNTIME_DIR", fDir.file("runtime"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(fDir.file("work"));
        if (childSetup)
            process.setChildProcessModifier(childSetup);
        process.start(TALIVO_CLI_PATH, arguments);
    }

    // Every file and folder below one of the test's folders, relative to it.
    QStringList Entries(const QString &folder)
    {
        QStringList entries;
        QDirIterator it(fDir.file(folder), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            entries << QDir(fDir.file(folder)).relativeFilePath(it.next());
        entries.sort();
        return entries;
    }

    QString Work(const QString &name) { return fDir.file("work/" + name); }
    void SaveMeasurement(const QString &name)
    {
        fPrompter.PushFile(Work(name));
        Form().Savemeasurement1Click();
    }
    // Three groups, five marks interleaved, a description beyond ASCII and one with a TAB, which
    // becomes a blank in the table.
    void Count()
    {
        LoadImage();
        Form().AddGroupRow(QString::fromUtf8("Zellkörper"), 255, 1000, 0);
        Form().AddGroupRow("De\tbris", 65280, 1001, 0);
        Form().AddGroupRow("Empty", 0xFF0000, 1002, 0);
        const int ids[5] = {1000, 1001, 1000, 1000, 1001};
        for (int i = 0; i < 5; ++i)
            Form().AddMark(50 + 60 * i, 100 + 10 * i, 20, ids[i]);
    }
    // One group whose stored count is ahead of its two marks, and a mark of no group.
    void CountBadly()
    {
        LoadImage();
        Form().AddGroupRow("Cells", 255, 1000, 5);
        Form().AddMark(50, 50, 20, 1000);
        Form().AddMark(150, 50, 20, 1000);
        Form().AddMark(250, 50, 20, 4242);
    }
    // Files that cannot be read: the measurement's first half, a wrong signature, a class the
    // program does not know, and a group record of two lines.
    QStringList Damage(const QString &name)
    {
        const QByteArray good = Read(Work(name));
        Write(Work("truncated.tlv"), good.left(good.size() / 2));
        Write(Work("signature.tlv"), "XXXX" + good.mid(4));
        QByteArray unknown = good;
        unknown.replace("TCircularNode", "TCircularNodX");
        Write(Work("class.tlv"), unknown);
        TGraphControl graph;
        TGraphNode *record =
            graph.InsertNode({0, 0, 10, 10}, TGraphControl::FindClass("TRectangularNode"));
        record->SetText("1\r\nCells\r\n");
        record->SetTag(500);
        graph.SaveToFile(Work("record.tlv"));
        return {"truncated.tlv", "signature.tlv", "class.tlv", "record.tlv"};
    }
};

} // namespace talivo::test
