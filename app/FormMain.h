#pragma once

#include "app/BackgroundJob.h"
#include "app/GroupListView.h"
#include "app/GroupTableModel.h"
#include "app/MeasurementDocument.h"
#include "app/RecoveryFile.h"
#include "detect/DetectOptions.h"
#include "detect/ModuleRun.h"
#include "graph/canvas/Types.h"
#include "graph/objects/GraphObject.h"
#include "platform/Prompter.h"
#include "settings/FileFolders.h"

#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <optional>

#include <exception>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QSlider;
class QTimer;
class QToolBar;
class QToolButton;

namespace talivo {

class TFormDetectSettings;
class TFormGroupSettings;
class TFormInfo;
class TGraphControl;
class TProgressPanel;
struct TProposals;

// The counting workspace's main window: tool bar, sliders, canvas panel, group table, menus and
// status bar. It keeps the document's unsaved flag and guards closing with it.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget *parent = nullptr);

    // The dialogs are made after the main window, so they are handed over once they exist.
    void SetGroupSettings(TFormGroupSettings *dialog);
    void SetFormInfo(TFormInfo *dialog);

    bool Unsaved() const { return fMeasurement.Unsaved(); }
    // The document's groups, and the list that shows them.
    TGroupTableModel &Groups() { return fMeasurement.Groups(); }
    const TGroupTableModel &Groups() const { return fMeasurement.Groups(); }
    TGroupListView &ListViewGroups() const { return *fListViewGroups; }
    // The groups, marks and picture counted, with the history of the steps taken on them.
    TMeasurementDocument &Measurement() { return fMeasurement; }
    // The panels hold the zoom (the version at first), the picture's name, what the last command
    // did, and the current group.
    QString StatusText(int panel) const;
    QString LanguageCode() const { return fLanguageCode; }

    // Appends a group row. An id of 0 or less takes the next id of the program-wide counter.
    void AddGroupRow(const QString &description, TColor color, int id, int count);
    // Removes the row and its marks; -1 means no row and does nothing.
    void DeleteGroup(int row);

    // Window events.
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void TimerStartTimer();
    // The local files of a drop; exactly one is loaded as an image, more are ignored.
    void FilesDropped(const QStringList &files);
    // A picture named on the command line, opened like one chosen with "Open image ..." once the
    // start timer has run.
    void SetStartImage(const QString &fileName) { fStartImage = fileName; }
    // Opens the picture as "Open image ..." does after its dialog.
    void OpenImageFile(const QString &fileName);
    // Keeps the unsaved work for the next start, should the program end without saving it.
    void TimerRecoveryTimer();
    // The recovery timer's interval has passed: the work is kept once the user pauses for a
    // second, or at once when the first change not kept is twice the interval old.
    void RecoveryDue();

    // Commands of the menus, buttons and sliders.
    void ButtonCloseClick();
    void Openimage1Click();
    void Saveimage1Click();
    void Openmeasurement1Click();
    void Savemeasurement1Click();
    void Exportmeasurement1Click();
    void ButtonAddGroupClick();
    void ButtonRemoveGroupClick();
    void ButtonEditGroupClick();
    void Saveasdefault1Click();
    void Openmodulesdirectory1Click();
    void Detectionsettings1Click();
    void Info2Click();
    void Manual1Click();
    void ToolButtonAddClick();
    void ToolButtonDeleteClick();
    void ToolButtonMoveClick();
    void ToolButtonAutoClick();
    void ToolButtonHideClick();
    void TrackBarZoomChange();
    void TrackBarPointSizeChange();
    void GridCopyToClipboard1Click();
    void Undo1Click();
    void Redo1Click();

    // Marks and counting, image and zoom
    // The canvas with the image and the marks, owned by PanelSG; null before the first show.
    TGraphControl *Graph() const { return fGraph; }
    // The point-size slider's position: the radius of new marks in image pixels.
    int PointSize() const;
    void CreateCanvas();
    // The canvas's mouse-up event, in client pixels: adds or deletes marks by the pressed tool.
    void GraphControlMouseUp(TGraphControl *Sender, TMouseButton Button, TShiftState Shift,
                             int32_t X, int32_t Y);
    // A mark of radius r around the graph point (x, y), numbered within its group.
    void AddMark(int32_t x, int32_t y, int32_t r, int groupId);
    // Counts every group's marks anew and numbers them in canvas order.
    void RecountMarks();
    // Deletes every mark and sets every count to 0; the groups stay.
    void ClearMarks();
    // A 32-bit copy of the image with the shown marks drawn at their image pixels; a null image
    // when no image is loaded.
    QImage RenderImageWithMarks();
    // False when there is no image to save; a file that cannot be written raises EImageFileError.
    bool SaveImageWithMarks(const QString &fileName);
    // Makes a decoded picture the background in place of the current one and its marks, once
    // the user has agreed to lose unsaved marks; false when they keep them.
    bool ReplaceImage(const QString &fileName, QImage image);

    // Measurement files, default groups, export, modules
    // False when there is no file to read.
    bool LoadDefaultGroups(const QString &path);
    // False when the user declines to overwrite the file there.
    bool SaveDefaultGroups(const QString &path);
    // Turns the group records on the canvas into table rows and removes them.
    void RebuildGroups();
    const QString &ModulesFolder() const { return fModulesFolder; }
    // A full path without extension until a module is chosen, then the chosen module's name.
    const QString &CurrentModule() const { return fCurrentModule; }

    // Automatic detection
    // Proposed objects become marks of the group in one step (see talivo::AddProposedMarks),
    // counted once; the unsaved flag is set when any was added. Returns how many were.
    int AddProposedMarks(const std::vector<TPoint> &points, int groupId);
    // What "Auto detect" and module runs do off the GUI thread, one at a time.
    TBackgroundJob &Job() const { return *fJob; }
    TFormDetectSettings &DetectSettings() const { return *fDetectSettings; }
    TObjectPolarity DetectPolarity() const { return fDetectPolarity; }
    double DetectSensitivity() const { return fDetectSensitivity; }
    void SetModuleRunOptions(const TModuleRunOptions &options) { fModuleRunOptions = options; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

    // Decodes the picture on the job's thread; ReplaceImage follows once it is decoded.
    virtual void LoadImage(const QString &fileName);
    virtual void DeselectAllMarks();

private:
    void CreateToolBar();
    void CreateClientArea();
    void CreateMenus();
    void CreateStatusBar();
    // The edit menu's commands follow the history; made after the translation, like the keys.
    void CreateHistoryCommands();
    void UpdateHistoryCommands();
    // Takes a step back or forth, unless a drag or a job on this thread holds the marks.
    void StepHistory(bool back);
    QToolButton *AddToolButton(const QString &name, const QString &caption, const QString &icon);
    QWidget *CreateSliderPanel(const QString &name, const QString &caption, QSlider *slider);
    void OpenImage(const std::function<std::optional<QString>()> &chooseFile);
    void FinishLoadImage(const QString &fileName, QImage image, TJobEnd end,
                         std::exception_ptr error);
    // False, with a notice, while a job runs: the window runs one at a time.
    bool MayStartJob();
    // Runs the step once the running job has finished, or at once when none runs.
    void AfterJob(const std::function<void()> &step);
    // The file commands wait for the running job; a job on the GUI thread keeps the whole window
    // but its progress panel out of reach.
    void UpdateFileCommands();
    void SetupModulesAndLayout();
    void SelectLanguage();
    void RestorePlacement();
    // The file chosen in an open or save dialog that starts in the folder last used for the kind
    // of file, which is remembered anew when a file is chosen.
    std::optional<QString> ChooseFile(TFileKind kind, bool save, TFileDialogOptions options);
    // Keys 1 to 9 make the group rows 1 to 9 current; a text field with the focus keeps them.
    void CreateGroupKeys();
    void SelectGroupByKey(int row);
    void UpdateGroupStatus();
    void SavePlacement();
    QString ManualFileName() const;
    // True when nothing unsaved would be lost, or the user agrees to lose it.
    bool MayDiscardChanges();
    // Whether a save may write the file: never over the picture being counted, and over any
    // other file only when the user agrees.
    bool MayWrite(const QString &fileName);
    TFormGroupSettings &GroupSettings() const;
    TFormInfo &FormInfo() const;
    // The measurement read and checked, on the canvas in place of the marks and groups, with the
    // marks' sizes as they were read.
    void ShowOpenedMeasurement(TMeasurementContent &content);

    // Work kept for a restart after a crash
    void SetupRecovery();
    void RecoveryChanged();
    // Keeps the work now when it is unsaved; a failure costs the recovery, never the work.
    void WriteRecovery();
    void RemoveRecovery();
    // Asks whether to restore the work kept at the last run; true when it is being restored.
    bool OfferRecovery();
    void FinishRecovery(const TRecoveryInfo &info, TMeasurementContent &content);
    TRecoveryFile fRecovery;
    QTimer *fTimerRecovery = nullptr;
    int fRecoveryIntervalMs = 0;
    // Since the last change, and since the first change the next write is to keep.
    QElapsedTimer fRecoveryLastChange;
    QElapsedTimer fRecoveryPending;
    // Until the start has asked about the kept work, nothing may replace or remove it.
    bool fRecoveryReady = false;
    // Whether the kept work, if any, is this run's: work kept at the last run that was not
    // restored goes only when this run keeps work of its own in its place.
    bool fRecoveryOwned = false;
    // Said once until a write succeeds again, rather than at every attempt.
    bool fRecoveryFailed = false;

    // Measurement files, default groups, export, modules
    void SetupModules();
    void BuildModulesMenu();
    void ModuleItemClick(QAction *item);
    void RunModule(const QString &module);
    void FinishDetection(const QString &module, int groupId, qint64 pictureKey,
                         const TProposals &proposals, TJobEnd end, std::exception_ptr error);
    void UpdateDetectCommands();
    QString fModulesFolder;
    QString fCurrentModule;
    // The module files in listing order, read again by every layout step.
    QStringList fModuleFiles;
    QActionGroup *fModuleItems = nullptr;
    TBackgroundJob *fJob = nullptr;
    TProgressPanel *fProgressPanel = nullptr;
    // "Open image ...", "Save image ...", "Open measurement ..." and "Save measurement ...".
    std::vector<QAction *> fFileActions;
    QToolButton *fToolButtonLoad = nullptr;
    QPointer<QWidget> fFocusBeforeJob;
    TFormDetectSettings *fDetectSettings = nullptr;
    TObjectPolarity fDetectPolarity = opAutomatic;
    double fDetectSensitivity = kDefaultSensitivity;
    TModuleRunOptions fModuleRunOptions;

    // Marks and counting, image and zoom
    TGraphControl &Canvas() const;
    void DeleteSelectedMarks();
    TGraphControl *fGraph = nullptr;
    // The run of arrow keys that moves marks now; a click on the canvas starts the next.
    int fKeyRun = 0;
    QToolButton *fToolButtonAdd = nullptr;
    QToolButton *fToolButtonDel = nullptr;
    QToolButton *fToolButtonMove = nullptr;
    QToolButton *fToolButtonHide = nullptr;

    QToolBar *fToolBarMain = nullptr;
    QAction *fToolButtonAutoAction = nullptr;
    QSlider *fTrackBarZoom = nullptr;
    QSlider *fTrackBarPointSize = nullptr;
    QWidget *fPanelZoom = nullptr;
    QWidget *fPanelSG = nullptr;
    // The groups, marks and picture counted; the marks are the canvas's once it exists.
    TMeasurementDocument fMeasurement;
    TGroupListView *fListViewGroups = nullptr;
    QMenu *fModulesMenu = nullptr;
    QMenu *fPopupMenuGroups = nullptr;
    QAction *fManualAction = nullptr;
    QAction *fUndoAction = nullptr;
    QAction *fRedoAction = nullptr;
    // The step names the edit menu shows, untranslated.
    QString fUndoShown;
    QString fRedoShown;
    bool fHistoryShown = false;
    // The zoom, the picture's name, what the last command did, and the current group.
    QLabel *fStatusPanels[4] = {};
    QTimer *fTimerStart = nullptr;
    QPointer<TFormGroupSettings> fGroupSettings;
    QPointer<TFormInfo> fFormInfo;

    TFileFolders fFileFolders;
    QString fStartImage;
    QString fDefaultGroupsPath;
    QString fLanguageCode = "EN";
    bool fShown = false;
};

} // namespace talivo
