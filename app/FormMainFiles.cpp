#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "app/Measurement.h"
#include "app/ProgressPanel.h"
#include "graph/control/GraphControl.h"
#include "i18n/Translation.h"
#include "platform/Platform.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <exception>
#include <vector>

namespace talivo {

namespace {

TFileDialogOptions MeasurementDialogOptions()
{
    TFileDialogOptions options;
    options.Filters = {{_("Merivo"), "*.tlv"}};
    options.DefaultExt = ".tlv";
    return options;
}

} // namespace

// The marks are the canvas's objects, so they are written on the GUI thread, with the window out
// of reach meanwhile; a cancel leaves the file as it was.
void TFormMain::Savemeasurement1Click()
{
    if (!MayStartJob())
        return;
    const std::optional<QString> fileName =
        ChooseFile(fkMeasurement, true, MeasurementDialogOptions());
    if (!fileName || !MayWrite(*fileName))
        return;
    bool written = false;
    fProgressPanel->Watch(*fJob, _("Saving the measurement ..."));
    fJob->RunOnThisThread(
        [&](TJobProgress &progress) {
            fMeasurement.Save(*fileName, &progress);
            written = true;
        },
        [&](TJobEnd end, std::exception_ptr error) {
            if (written) {
                fMeasurement.MarkSaved();
                return;
            }
            if (end == jeCancelled)
                fStatusPanels[2]->setText(
                    _("Saving the measurement was cancelled: the file was not written."));
            else if (error)
                std::rethrow_exception(error);
        });
}

void TFormMain::Openmeasurement1Click()
{
    TGraphControl *canvas = Graph();
    const QImage *image = canvas ? &canvas->Background().Image() : nullptr;
    if (!image || qint64(image->width()) * image->height() < 1) {
        Prompter().Notice(_("Please load image first."), QCoreApplication::applicationName());
        return;
    }
    if (!MayStartJob() || !MayDiscardChanges())
        return;
    const std::optional<QString> fileName =
        ChooseFile(fkMeasurement, false, MeasurementDialogOptions());
    if (!fileName)
        return;
    WriteRecovery();
    // Read and checked whole first: a file that cannot be opened, or a cancel, leaves the
    // document as it was. The check needs a canvas, so it runs on the GUI thread too.
    TMeasurementContent content;
    fProgressPanel->Watch(*fJob, _("Opening the measurement ..."));
    fJob->RunOnThisThread(
        [&](TJobProgress &progress) { content = ReadMeasurementFile(*fileName, &progress); },
        [&](TJobEnd end, std::exception_ptr error) {
            if (end == jeCancelled) {
                fStatusPanels[2]->setText(
                    _("Opening the measurement was cancelled: nothing was changed."));
                return;
            }
            if (error)
                std::rethrow_exception(error);
            ShowOpenedMeasurement(content);
            TrackBarPointSizeChange();
            fMeasurement.StartHistory(false);
        });
}

void TFormMain::ShowOpenedMeasurement(TMeasurementContent &content)
{
    Canvas().Clear();
    fMeasurement.Show(content);
    if (Groups().RowCount() > 0)
        fListViewGroups->Select(Groups().RowCount() - 1);
    // The button shows what the canvas shows: pressed only when every mark is hidden.
    fToolButtonHide->setChecked(content.MarksHidden);
}

std::optional<QString> TFormMain::ChooseFile(TFileKind kind, bool save, TFileDialogOptions options)
{
    options.InitialDir = fFileFolders.InitialDir(kind);
    std::optional<QString> fileName =
        save ? Prompter().SaveFile(options) : Prompter().OpenFile(options);
    if (fileName) {
        try {
            fFileFolders.Remember(kind, *fileName);
        } catch (...) {
            // A settings file that cannot be written costs the next run its folder, not this
            // command.
        }
    }
    return fileName;
}

bool TFormMain::MayStartJob()
{
    if (!fJob->Running())
        return true;
    Prompter().Notice(_("Please wait until the running work has finished, or cancel it."),
                      QCoreApplication::applicationName());
    return false;
}

void TFormMain::AfterJob(const std::function<void()> &step)
{
    if (fJob->Running())
        connect(fJob, &TBackgroundJob::Finished, this, step, Qt::SingleShotConnection);
    else
        step();
}

void TFormMain::UpdateFileCommands()
{
    const bool idle = !fJob->Running();
    for (QAction *action : fFileActions)
        action->setEnabled(idle);
    fToolButtonLoad->setEnabled(idle);
    const bool locked = fJob->OnThisThread();
    if (locked)
        fFocusBeforeJob = QApplication::focusWidget();
    for (QWidget *part :
         {centralWidget(), static_cast<QWidget *>(fToolBarMain), static_cast<QWidget *>(menuBar())})
        part->setEnabled(!locked);
    // Nothing of the document shows while a job works on it, such as the group records that
    // exist only while a measurement is written.
    if (fGraph)
        fGraph->setUpdatesEnabled(!locked);
    UpdateHistoryCommands();
    if (!locked && fFocusBeforeJob) {
        fFocusBeforeJob->setFocus();
        fFocusBeforeJob = nullptr;
    }
}

bool TFormMain::MayDiscardChanges()
{
    return !Unsaved() ||
           Prompter().AskYesNo(
               _("There are unsaved changes. Do you really want to discard the changes?"),
               _("Unsaved changes"));
}

bool TFormMain::MayWrite(const QString &fileName)
{
    const QFileInfo target(fileName);
    if (!target.exists())
        return true;
    const QString &picture = fMeasurement.PictureFileName();
    if (!picture.isEmpty() && target.canonicalFilePath() == picture) {
        Prompter().Warning(
            _("\"%1\" is the picture being counted and is not replaced. Please choose another "
              "file name.")
                .arg(fileName),
            QCoreApplication::applicationName());
        return false;
    }
    return Prompter().AskYesNo(
        _("File already exists. Do you really want to overwrite the existing file?"),
        _("Overwrite"));
}

void TFormMain::RebuildGroups()
{
    // The rows made before a damaged record stay, as rows the user added would.
    const int before = Groups().RowCount();
    const auto showAdded = [&] {
        if (Groups().RowCount() == before)
            return;
        fListViewGroups->Select(Groups().RowCount() - 1);
        // The records left the marks outside the history, whose steps would no longer fit.
        fMeasurement.StartHistory(true);
    };
    try {
        fMeasurement.RebuildGroups();
    } catch (...) {
        showAdded();
        throw;
    }
    showAdded();
}

} // namespace talivo
