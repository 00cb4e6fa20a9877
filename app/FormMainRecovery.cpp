#include "app/FormMain.h"
#include "app/ProgressPanel.h"
#include "graph/control/GraphControl.h"
#include "i18n/Translation.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>

#include <memory>

namespace talivo {

namespace {

// How long after a change the work is kept, unless TALIVO_RECOVERY_SECONDS says otherwise
// (a test that cannot wait that long).
constexpr int kRecoveryIntervalMs = 30000;
// At many marks the write holds the window for a moment (0.4 s at 100,000 marks), so it waits
// for this long without a change, for at most one more interval.
constexpr int kRecoveryPauseMs = 1000;

int RecoveryIntervalMs()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("TALIVO_RECOVERY_SECONDS", &ok);
    return ok && seconds > 0 && seconds <= kRecoveryIntervalMs / 1000 ? seconds * 1000
                                                                      : kRecoveryIntervalMs;
}

QString Caption()
{
    return _("Restore work");
}

} // namespace

void TFormMain::SetupRecovery()
{
    fTimerRecovery = new QTimer(this);
    fTimerRecovery->setObjectName("TimerRecovery");
    fTimerRecovery->setSingleShot(true);
    fRecoveryIntervalMs = RecoveryIntervalMs();
    fTimerRecovery->setInterval(fRecoveryIntervalMs);
    connect(fTimerRecovery, &QTimer::timeout, this, &TFormMain::RecoveryDue);
    // Chained, so that whoever else listens to the measurement keeps listening.
    fMeasurement.OnChanged = [this, previous = std::move(fMeasurement.OnChanged)] {
        if (previous)
            previous();
        RecoveryChanged();
    };
}

void TFormMain::RecoveryChanged()
{
    if (!fRecoveryReady)
        return;
    fRecoveryLastChange.start();
    if (!Unsaved()) {
        fTimerRecovery->stop();
        RemoveRecovery();
    } else if (!fTimerRecovery->isActive()) {
        // Started by the first change only, so that steady work is kept once per interval.
        fRecoveryPending.start();
        fTimerRecovery->start(fRecoveryIntervalMs);
    }
}

void TFormMain::RecoveryDue()
{
    const qint64 quiet = fRecoveryLastChange.elapsed();
    if (fRecoveryLastChange.isValid() && quiet < kRecoveryPauseMs &&
        fRecoveryPending.elapsed() < 2 * qint64{fRecoveryIntervalMs}) {
        fTimerRecovery->start(static_cast<int>(kRecoveryPauseMs - quiet));
        return;
    }
    TimerRecoveryTimer();
}

void TFormMain::TimerRecoveryTimer()
{
    fTimerRecovery->stop();
    // A job on this thread holds the window until it ends, and may be a save that makes the
    // work saved.
    if (fJob->OnThisThread()) {
        fTimerRecovery->start(fRecoveryIntervalMs);
        return;
    }
    WriteRecovery();
}

void TFormMain::WriteRecovery()
{
    if (!fRecoveryReady || !Unsaved() || fMeasurement.PictureFileName().isEmpty())
        return;
    QString problem;
    try {
        fRecovery.Write(fMeasurement);
        fRecoveryOwned = true;
        fRecoveryFailed = false;
        return;
    } catch (const std::exception &error) {
        problem = QString::fromUtf8(error.what());
    } catch (...) {
        problem = _("Unknown error.");
    }
    // The user goes on working either way; a box at every attempt would keep them from it.
    if (!std::exchange(fRecoveryFailed, true))
        fStatusPanels[2]->setText(
            _("The unsaved work cannot be kept for a restart after a crash: %1").arg(problem));
}

void TFormMain::RemoveRecovery()
{
    fTimerRecovery->stop();
    if (fRecoveryReady && fRecoveryOwned)
        fRecovery.Remove();
}

bool TFormMain::OfferRecovery()
{
    // Another window that keeps work of its own there is left alone, at the price of keeping
    // none of this one's.
    if (fRecoveryReady || !fRecovery.Claim())
        return false;
    if (!fRecovery.Exists()) {
        fRecoveryReady = fRecoveryOwned = true;
        return false;
    }
    TRecoveryInfo info;
    try {
        info = fRecovery.Read();
    } catch (const std::exception &error) {
        if (Prompter().AskYesNo(_("Work that was not saved was kept at the last run, but it "
                                  "cannot be restored.\n\n%1\n\nDo you want to delete it?")
                                    .arg(QString::fromUtf8(error.what())),
                                Caption()))
            fRecoveryOwned = fRecovery.Remove();
        fRecoveryReady = true;
        return false;
    }
    const QString picture = QDir::toNativeSeparators(info.PictureFileName);
    const QString written = info.Written.toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
    if (!Prompter().AskYesNo(_("Talivo ended without saving the work on the picture \"%1\". "
                               "The work was kept at %2.\n\nDo you want to restore it?")
                                 .arg(picture, written),
                             Caption())) {
        fRecoveryOwned = fRecovery.Remove();
        fRecoveryReady = true;
        return false;
    }
    const QString kept = _("The kept work stays in \"%1\" for the next start, until work of this "
                           "run is kept in its place.")
                             .arg(QDir::toNativeSeparators(fRecovery.Folder()));
    if (!QFileInfo(info.PictureFileName).isFile()) {
        Prompter().Warning(
            _("The picture \"%1\" is missing, so the work cannot be restored.").arg(picture) +
                "\n\n" + kept,
            Caption());
        fRecoveryReady = true;
        return false;
    }
    // Checked whole before the picture replaces anything.
    auto content = std::make_shared<TMeasurementContent>();
    try {
        *content = fRecovery.ReadMeasurement(info);
    } catch (const std::exception &error) {
        Prompter().Warning(QString::fromUtf8(error.what()) + "\n\n" + kept, Caption());
        fRecoveryReady = true;
        return false;
    }
    OpenImageFile(info.PictureFileName);
    AfterJob([this, info, content, kept] {
        // Ready from here on, whether the picture came or not: the kept work is the user's to
        // save or give up now, or stays for the next start.
        fRecoveryReady = true;
        const QString shown = fMeasurement.PictureFileName();
        if (shown.isEmpty() || shown != QFileInfo(info.PictureFileName).canonicalFilePath()) {
            // The loading has said why.
            fStatusPanels[2]->setText(kept);
            return;
        }
        fRecoveryOwned = true;
        FinishRecovery(info, *content);
    });
    return true;
}

void TFormMain::FinishRecovery(const TRecoveryInfo &info, TMeasurementContent &content)
{
    ShowOpenedMeasurement(content);
    // The marks keep the size they had, unlike those of an opened measurement, which take the
    // slider's: the slider follows them instead.
    const TGraphObjectList &marks = Canvas().Objects();
    if (marks.Count() > 0) {
        const TRect bounds = marks[0]->BoundsRect();
        const QSignalBlocker quiet(fTrackBarPointSize);
        fTrackBarPointSize->setValue((bounds.Right - bounds.Left) / 2);
    }
    fMeasurement.StartHistory(true);
    fStatusPanels[2]->setText(_("The work kept at %1 is restored, not saved.")
                                  .arg(info.Written.toLocalTime().toString("yyyy-MM-dd HH:mm:ss")));
}

} // namespace talivo
