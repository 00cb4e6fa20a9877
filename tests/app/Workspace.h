#pragma once

#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "graph/control/GraphControl.h"
#include "platform/Platform.h"
#include "platform/ScriptedPrompter.h"
#include "settings/FormInfo.h"
#include "settings/VersionInfo.h"

#include "tests/common/TestMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace talivo::test {

// Lets the event loop run until the condition holds, for at most twenty seconds.
template <class TCondition> bool RunEventsUntil(TCondition condition)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < 20000) {
        QApplication::processEvents();
        QThread::msleep(2);
    }
    return condition();
}

// The main window as the program shows it, with the platform services replaced: a settings
// folder of its own, scripted answers, a recording shell and an own clipboard.
class Workspace : public ::testing::Test {
protected:
    Workspace()
        : fFolders(fDir.file("data"), fDir.file("bin/Talivo")), fFoldersGuard(&fFolders),
          fPrompterGuard(&fPrompter), fShellGuard(&fShell), fClipboardGuard(&fClipboard)
    {
        QDir().mkpath(fDir.file("bin"));
    }

    // Made and shown on demand, so that a test can prepare the settings folder first.
    TFormMain &Form()
    {
        if (!fForm) {
            fForm = std::make_unique<TFormMain>();
            fDialog = std::make_unique<TFormGroupSettings>(fForm.get());
            fForm->SetGroupSettings(fDialog.get());
            fInfo = std::make_unique<TFormInfo>(fForm.get());
            fForm->SetFormInfo(fInfo.get());
            fForm->show();
            fForm->TimerStartTimer();
        }
        return *fForm;
    }
    void Restart()
    {
        fInfo.reset();
        fDialog.reset();
        fForm.reset();
    }
    TGroupListView &List() { return Form().ListViewGroups(); }
    TGroupTableModel &Groups() { return Form().Groups(); }
    TGraphControl &Graph() { return *Form().Graph(); }

    void LoadImage(int width = 400, int height = 300)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::gray);
        ASSERT_TRUE(image.save(fDir.file("picture.png")));
        Form().FilesDropped({fDir.file("picture.png")});
        Finish();
        ASSERT_EQ(Graph().Background().Image().width(), width);
    }

    // Lets the running job (a picture being read or written) end, and its end step run.
    void Finish() { Form().Job().Wait(); }

    // "Save measurement ..." and "Open measurement ..." with the file chosen in the dialog.
    void SaveMeasurement(const QString &fileName)
    {
        fPrompter.PushFile(fileName);
        Form().Savemeasurement1Click();
    }
    void OpenMeasurement(const QString &fileName)
    {
        fPrompter.PushFile(fileName);
        Form().Openmeasurement1Click();
    }

    // The texts of the one-button notices shown so far.
    QStringList Notices()
    {
        QStringList texts;
        for (const TPromptRecord &asked : fPrompter.Asked())
            if (asked.Kind == TPromptKind::pkNotice)
                texts << asked.Text;
        return texts;
    }

    static QByteArray Read(const QString &fileName)
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static void Write(const QString &fileName, const QByteArray &bytes)
    {
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Permissions do not hold back root, so a write-protected folder cannot make a write fail.
    static bool CanProtectFolders() { return geteuid() != 0; }

    TempDir fDir;
    TFixedFolders fFolders;
    TScopedFolders fFoldersGuard;
    TScriptedPrompter fPrompter;
    TScopedPrompter fPrompterGuard;
    TRecordingShell fShell;
    TScopedShell fShellGuard;
    TMemoryClipboard fClipboard;
    TScopedClipboard fClipboardGuard;
    std::unique_ptr<TFormMain> fForm;
    std::unique_ptr<TFormGroupSettings> fDialog;
    std::unique_ptr<TFormInfo> fInfo;
};

} // namespace talivo::test
