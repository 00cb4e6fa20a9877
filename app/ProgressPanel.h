#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QShortcut;
class QTimer;

namespace talivo {

class TBackgroundJob;

// The status bar's view of a background job: a caption, a bar that fills as the job reports
// its progress (or runs to and fro while the job cannot tell), and a Cancel button. Esc in the
// window cancels as well. It shows only once the job has run for a moment, so that short jobs
// do not flicker, and hides when the job ends.
class TProgressPanel : public QWidget {
    Q_OBJECT
public:
    explicit TProgressPanel(QWidget *parent = nullptr);

    // Follows the job from now until it ends; the caption says what it does.
    void Watch(TBackgroundJob &job, const QString &caption);

    // How long a job runs before the panel shows.
    static constexpr int kShowDelayMs = 300;
    static constexpr int kRefreshMs = 100;

private:
    void Refresh();
    void Finish();

    QLabel *fCaption;
    QProgressBar *fBar;
    QPushButton *fCancel;
    QShortcut *fEscape;
    QTimer *fShowTimer;
    QTimer *fRefreshTimer;
    QPointer<TBackgroundJob> fJob;
};

} // namespace talivo
