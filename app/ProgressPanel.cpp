#include "app/ProgressPanel.h"

#include "app/BackgroundJob.h"
#include "i18n/Translation.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include <cmath>

namespace talivo {

namespace {

constexpr int kSteps = 1000;

} // namespace

TProgressPanel::TProgressPanel(QWidget *parent)
    : QWidget(parent), fCaption(new QLabel(this)), fBar(new QProgressBar(this)),
      fCancel(new QPushButton(this)),
      // A shortcut of a hidden widget is never active, and the panel hides until a job has run
      // for a moment: the key belongs to the window.
      fEscape(new QShortcut(QKeySequence(Qt::Key_Escape), parent ? parent->window() : this)),
      fShowTimer(new QTimer(this)), fRefreshTimer(new QTimer(this))
{
    setObjectName("ProgressPanel");
    fCaption->setObjectName("LabelProgress");
    fBar->setObjectName("ProgressBarJob");
    fBar->setFixedWidth(160);
    fBar->setTextVisible(false);
    fBar->setFormat(QString());
    fCancel->setObjectName("ButtonCancelJob");
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(fCaption);
    layout->addWidget(fBar);
    layout->addWidget(fCancel);
    fEscape->setContext(Qt::WindowShortcut);
    fEscape->setEnabled(false);
    fShowTimer->setSingleShot(true);
    fShowTimer->setInterval(kShowDelayMs);
    fRefreshTimer->setInterval(kRefreshMs);
    connect(fShowTimer, &QTimer::timeout, this, [this] {
        Refresh();
        show();
    });
    connect(fRefreshTimer, &QTimer::timeout, this, &TProgressPanel::Refresh);
    const auto cancel = [this] {
        if (fJob)
            fJob->Cancel();
    };
    connect(fCancel, &QPushButton::clicked, this, cancel);
    connect(fEscape, &QShortcut::activated, this, cancel);
    hide();
}

void TProgressPanel::Watch(TBackgroundJob &job, const QString &caption)
{
    if (fJob)
        disconnect(fJob, nullptr, this, nullptr);
    fJob = &job;
    fCaption->setText(caption);
    fCancel->setText(_("Cancel"));
    connect(&job, &TBackgroundJob::Finished, this, &TProgressPanel::Finish);
    fEscape->setEnabled(true);
    fShowTimer->start();
    fRefreshTimer->start();
}

void TProgressPanel::Refresh()
{
    if (!fJob)
        return;
    const double fraction = fJob->Progress().Fraction();
    if (fraction < 0) {
        // A range of nothing makes the bar run to and fro.
        fBar->setRange(0, 0);
        return;
    }
    fBar->setRange(0, kSteps);
    fBar->setValue(int(std::lround(std::min(fraction, 1.0) * kSteps)));
}

void TProgressPanel::Finish()
{
    if (fJob)
        disconnect(fJob, nullptr, this, nullptr);
    fJob = nullptr;
    fEscape->setEnabled(false);
    fShowTimer->stop();
    fRefreshTimer->stop();
    hide();
}

} // namespace talivo
