#pragma once

#include "app/GroupListView.h"
#include "graph/Types.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMenu;
class QSlider;
class QTimer;
class QToolBar;
class QToolButton;

namespace talivo {

class TFormGroupSettings;
class TFormInfo;

// The counting workspace's main window: tool bar, sliders, canvas panel, group table, menus and
// status bar. It keeps the document's unsaved flag and guards closing with it.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget *parent = nullptr);

    // The dialogs are made after the main window, so they are handed over once they exist.
    void SetGroupSettings(TFormGroupSettings *dialog) { fGroupSettings = dialog; }
    void SetFormInfo(TFormInfo *dialog);

    bool Unsaved() const { return fUnsaved; }
    TGroupListView &ListViewGroups() const { return *fListViewGroups; }
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

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

    virtual void LoadImage(const QString &fileName);
    // Marks live on the canvas; these keep them in step with the group table.
    virtual void RecolourGroupMarks(int groupId, TColor color);
    virtual void RemoveGroupMarks(int groupId);
    virtual void DeselectAllMarks();

private:
    void CreateToolBar();
    void CreateClientArea();
    void CreateMenus();
    void CreateStatusBar();
    QToolButton *AddToolButton(const QString &name, const QString &caption, const QString &icon);
    QWidget *CreateSliderPanel(const QString &name, const QString &caption, QSlider *slider);
    void SetupModulesAndLayout();
    void SelectLanguage();
    void RestorePlacement();
    void SavePlacement();
    QString ManualFileName() const;
    TFormGroupSettings &GroupSettings() const;
    TFormInfo &FormInfo() const;

    QToolBar *fToolBarMain = nullptr;
    QAction *fToolButtonAutoAction = nullptr;
    QSlider *fTrackBarZoom = nullptr;
    QSlider *fTrackBarPointSize = nullptr;
    QWidget *fPanelZoom = nullptr;
    QWidget *fPanelSG = nullptr;
    TGroupListView *fListViewGroups = nullptr;
    QMenu *fModulesMenu = nullptr;
    QMenu *fPopupMenuGroups = nullptr;
    QAction *fManualAction = nullptr;
    QLabel *fStatusPanels[2] = {};
    QTimer *fTimerStart = nullptr;
    QPointer<TFormGroupSettings> fGroupSettings;
    QPointer<TFormInfo> fFormInfo;

    QString fDefaultGroupsPath;
    QString fLanguageCode = "EN";
    bool fUnsaved = false;
    bool fShown = false;
};

} // namespace talivo
