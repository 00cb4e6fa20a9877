#include "app/FormMain.h"
#include "app/GroupIdCounter.h"

#include "app/FormDetectSettings.h"
#include "app/FormGroupSettings.h"
#include "app/ProgressPanel.h"
#include "i18n/TranslateComponent.h"
#include "i18n/Translation.h"
#include "i18n/TranslationError.h"
#include "platform/Platform.h"
#include "settings/FormInfo.h"
#include "settings/FormPlacement.h"
#include "settings/LanguageFile.h"
#include "settings/VersionInfo.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <stdexcept>
#include <utility>

// The icons are compiled into a static library, so nothing would pull them into the program
// without this reference.
static void InitIconResources()
{
    Q_INIT_RESOURCE(Talivo);
}

namespace talivo {

namespace {

constexpr int kToolButtonWidth = 81;
constexpr int kToolButtonHeight = 61;
constexpr int kSliderPanelWidth = 240;
constexpr int kSliderPanelMinWidth = 160;
const QColor kPanelColor(0xFA, 0xFA, 0xFA);

void FillBackground(QWidget &widget, const QColor &color)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::Button, color);
    widget.setPalette(palette);
    // Children of a tool bar would otherwise take its button role for their background.
    widget.setBackgroundRole(QPalette::Window);
    widget.setAutoFillBackground(true);
}

QAction *AddMenuItem(QMenu &menu, const QString &name, const QString &caption)
{
    QAction *action = menu.addAction(caption);
    action->setObjectName(name);
    return action;
}

} // namespace

TFormMain::TFormMain(QWidget *parent) : QMainWindow(parent), fRecovery(GetSettingsFolder())
{
    InitIconResources();
    setObjectName("FormMain");
    // Group ids never repeat within a run, whichever measurement they were made for.
    fMeasurement.TakeIdsFrom(TGroupIdCounter::Program());
    QFont tahoma("Tahoma");
    tahoma.setPixelSize(12);
    setFont(tahoma);
    resize(971, 615);
    setMinimumSize(940, 600);
    setWindowIcon(QIcon(":/icons/talivo.png"));
    setContextMenuPolicy(Qt::NoContextMenu);

    CreateToolBar();
    CreateClientArea();
    CreateMenus();
    CreateStatusBar();
    fJob = new TBackgroundJob(this);
    for (auto signal : {&TBackgroundJob::Started, &TBackgroundJob::Finished}) {
        connect(fJob, signal, this, &TFormMain::UpdateDetectCommands);
        connect(fJob, signal, this, &TFormMain::UpdateFileCommands);
    }
    fDetectSettings = new TFormDetectSettings(this);

    fTimerStart = new QTimer(this);
    fTimerStart->setObjectName("TimerStart");
    fTimerStart->setInterval(100);
    connect(fTimerStart, &QTimer::timeout, this, &TFormMain::TimerStartTimer);

    setAcceptDrops(true);
    SelectLanguage();
    fManualAction->setVisible(QFileInfo::exists(ManualFileName()));
    TranslateComponent(*this);
    SetupModulesAndLayout();
    fStatusPanels[0]->setText("V. " + GetVersionInfoValue(QString(), vkFileVersion));
    setWindowTitle("Korvel Talivo");
    // After the translation, whose walk has no texts to find in key sequences.
    CreateGroupKeys();
    CreateHistoryCommands();
    RestorePlacement();
    SetupRecovery();
    try {
        fFileFolders.Load();
    } catch (...) {
        // Dialogs that start in the home folder are no reason to keep the program from starting.
    }
}

void TFormMain::CreateToolBar()
{
    fToolBarMain = new QToolBar(this);
    fToolBarMain->setObjectName("ToolBarMain");
    fToolBarMain->setMovable(false);
    fToolBarMain->setFloatable(false);
    fToolBarMain->setIconSize(QSize(32, 32));
    fToolBarMain->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // The platform style paints tool bars with its own gradient over any palette colour.
    fToolBarMain->setStyleSheet(
        QString("QToolBar#ToolBarMain { background: %1; border: none; }").arg(kPanelColor.name()));
    addToolBar(Qt::TopToolBarArea, fToolBarMain);

    fToolButtonLoad = AddToolButton("ToolButtonLoadImage", "Load image", "load");
    connect(fToolButtonLoad, &QToolButton::clicked, this, &TFormMain::Openimage1Click);

    auto *markTools = new QButtonGroup(this);
    markTools->setObjectName("MarkTools");
    fToolButtonAdd = AddToolButton("ToolButtonAdd", "Add mark", "add");
    fToolButtonDel = AddToolButton("ToolButtonDel", "Delete mark", "delete");
    fToolButtonMove = AddToolButton("ToolButtonMove", "Move mark", "move");
    for (QToolButton *button : {fToolButtonAdd, fToolButtonDel, fToolButtonMove}) {
        button->setCheckable(true);
        markTools->addButton(button);
    }
    fToolButtonMove->setChecked(true);
    connect(fToolButtonAdd, &QToolButton::clicked, this, &TFormMain::ToolButtonAddClick);
    connect(fToolButtonDel, &QToolButton::clicked, this, &TFormMain::ToolButtonDeleteClick);
    connect(fToolButtonMove, &QToolButton::clicked, this, &TFormMain::ToolButtonMoveClick);

    auto *popupMenuModules = new QMenu(this);
    popupMenuModules->setObjectName("PopupMenuModules");
    QToolButton *autoDetect = AddToolButton("ToolButtonAuto", "Auto detect", "auto");
    autoDetect->setMenu(popupMenuModules);
    autoDetect->setPopupMode(QToolButton::MenuButtonPopup);
    // The arrow of the module menu takes its width from the caption, which would be cut short.
    autoDetect->setFixedWidth(
        kToolButtonWidth +
        autoDetect->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, autoDetect));
    fToolButtonAutoAction = fToolBarMain->actions().constLast();
    connect(autoDetect, &QToolButton::clicked, this, &TFormMain::ToolButtonAutoClick);

    fToolButtonHide = AddToolButton("ToolButtonHide", " Hide marks ", "hide");
    fToolButtonHide->setCheckable(true);
    connect(fToolButtonHide, &QToolButton::clicked, this, &TFormMain::ToolButtonHideClick);

    fTrackBarZoom = new QSlider(Qt::Horizontal);
    fTrackBarZoom->setObjectName("TrackBarZoom");
    fTrackBarZoom->setRange(-120, 80);
    fTrackBarZoom->setValue(20);
    fTrackBarZoom->setTickInterval(10);
    fPanelZoom = CreateSliderPanel("PanelZoom", "Zoom", fTrackBarZoom);
    connect(fTrackBarZoom, &QSlider::valueChanged, this, &TFormMain::TrackBarZoomChange);

    fTrackBarPointSize = new QSlider(Qt::Horizontal);
    fTrackBarPointSize->setObjectName("TrackBarPointSize");
    fTrackBarPointSize->setRange(5, 245);
    fTrackBarPointSize->setValue(20);
    fTrackBarPointSize->setTickInterval(15);
    CreateSliderPanel("PanelPointSize", "Point size", fTrackBarPointSize);
    connect(fTrackBarPointSize, &QSlider::valueChanged, this, &TFormMain::TrackBarPointSizeChange);
}

QToolButton *TFormMain::AddToolButton(const QString &name, const QString &caption,
                                      const QString &icon)
{
    auto *button = new QToolButton(fToolBarMain);
    button->setObjectName(name);
    button->setText(caption);
    button->setIcon(QIcon(":/icons/" + icon + ".png"));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFixedSize(kToolButtonWidth, kToolButtonHeight);
    fToolBarMain->addWidget(button);
    return button;
}

QWidget *TFormMain::CreateSliderPanel(const QString &name, const QString &caption, QSlider *slider)
{
    auto *panel = new QWidget(fToolBarMain);
    panel->setObjectName(name);
    // Narrower rather than out of sight behind the tool bar's extension button when the window
    // is too narrow for "Auto detect" and both sliders.
    panel->setMinimumWidth(kSliderPanelMinWidth);
    panel->setMaximumWidth(kSliderPanelWidth);
    panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    FillBackground(*panel, kPanelColor);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(8, 0, 8, 0);
    layout->setSpacing(0);
    auto *label = new QLabel(caption, panel);
    label->setObjectName("Label" + name.mid(QStringLiteral("Panel").size()));
    layout->addWidget(label);
    slider->setParent(panel);
    slider->setTickPosition(QSlider::TicksBothSides);
    layout->addWidget(slider);
    fToolBarMain->addWidget(panel);
    return panel;
}

void TFormMain::CreateClientArea()
{
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName("Splitter1");
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);

    fPanelSG = new QFrame(splitter);
    fPanelSG->setObjectName("PanelSG");
    splitter->addWidget(fPanelSG);

    auto *panelRight = new QWidget(splitter);
    panelRight->setObjectName("PanelRight");
    panelRight->setMinimumWidth(180);
    FillBackground(*panelRight, kPanelColor);
    splitter->addWidget(panelRight);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setSizes({width() - 200, 200});

    auto *layout = new QVBoxLayout(panelRight);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(4);
    fListViewGroups = new TGroupListView(fMeasurement.Groups(), panelRight);
    fListViewGroups->setObjectName("ListViewGroups");
    fListViewGroups->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(fListViewGroups, 1);

    fPopupMenuGroups = new QMenu(this);
    fPopupMenuGroups->setObjectName("PopupMenuGroups");
    connect(AddMenuItem(*fPopupMenuGroups, "GridCopyToClipboard1", "Copy to clipboard"),
            &QAction::triggered, this, &TFormMain::GridCopyToClipboard1Click);
    connect(fListViewGroups, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        fPopupMenuGroups->popup(fListViewGroups->mapToGlobal(at));
    });

    auto addButton = [&](const QString &name, const QString &caption, void (TFormMain::*click)()) {
        auto *button = new QPushButton(caption, panelRight);
        button->setObjectName(name);
        button->setFixedHeight(34);
        button->setMaximumWidth(190);
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, click);
    };
    addButton("ButtonAddGroup", "Add group", &TFormMain::ButtonAddGroupClick);
    addButton("ButtonRemoveGroup", "Delete group", &TFormMain::ButtonRemoveGroupClick);
    addButton("ButtonEditGroup", "Edit group", &TFormMain::ButtonEditGroupClick);
    layout->addSpacing(16);
    addButton("ButtonClose", "Exit", &TFormMain::ButtonCloseClick);
}

void TFormMain::CreateMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName("MainMenu1");

    QMenu *file = bar->addMenu("File");
    file->setObjectName("File1");
    const auto addFileCommand = [&](const QString &name, const QString &caption,
                                    void (TFormMain::*click)()) {
        QAction *action = AddMenuItem(*file, name, caption);
        connect(action, &QAction::triggered, this, click);
        fFileActions.push_back(action);
    };
    addFileCommand("Openimage1", "Open image ...", &TFormMain::Openimage1Click);
    addFileCommand("Saveimage1", "Save image ...", &TFormMain::Saveimage1Click);
    file->addSeparator();
    addFileCommand("Openmeasurement1", "Open measurement ...", &TFormMain::Openmeasurement1Click);
    addFileCommand("Savemeasurement1", "Save measurement ...", &TFormMain::Savemeasurement1Click);
    connect(AddMenuItem(*file, "Exportmeasurement1", "Export measurement ..."), &QAction::triggered,
            this, &TFormMain::Exportmeasurement1Click);
    file->addSeparator();
    connect(AddMenuItem(*file, "Exit1", "Exit"), &QAction::triggered, this,
            &TFormMain::ButtonCloseClick);

    QMenu *edit = bar->addMenu("Edit");
    edit->setObjectName("Edit1");
    fUndoAction = AddMenuItem(*edit, "Undo1", "Undo");
    connect(fUndoAction, &QAction::triggered, this, &TFormMain::Undo1Click);
    fRedoAction = AddMenuItem(*edit, "Redo1", "Redo");
    connect(fRedoAction, &QAction::triggered, this, &TFormMain::Redo1Click);

    QMenu *groups = bar->addMenu("Groups");
    groups->setObjectName("Groups1");
    connect(AddMenuItem(*groups, "Addgroup1", "Add group"), &QAction::triggered, this,
            &TFormMain::ButtonAddGroupClick);
    connect(AddMenuItem(*groups, "Deletegroup1", "Delete group"), &QAction::triggered, this,
            &TFormMain::ButtonRemoveGroupClick);
    connect(AddMenuItem(*groups, "Editgroup1", "Edit group"), &QAction::triggered, this,
            &TFormMain::ButtonEditGroupClick);
    groups->addSeparator();
    connect(AddMenuItem(*groups, "Saveasdefault1", "Save as default"), &QAction::triggered, this,
            &TFormMain::Saveasdefault1Click);

    fModulesMenu = bar->addMenu("Modules");
    fModulesMenu->setObjectName("Modules1");
    connect(AddMenuItem(*fModulesMenu, "Openmodulesdirectory1", "Open modules directory"),
            &QAction::triggered, this, &TFormMain::Openmodulesdirectory1Click);
    connect(AddMenuItem(*fModulesMenu, "Detectionsettings1", "Detection settings ..."),
            &QAction::triggered, this, &TFormMain::Detectionsettings1Click);

    QMenu *help = bar->addMenu("Help");
    help->setObjectName("Help1");
    connect(AddMenuItem(*help, "Info2", "Info"), &QAction::triggered, this, &TFormMain::Info2Click);
    fManualAction = AddMenuItem(*help, "Manual1", "Manual");
    connect(fManualAction, &QAction::triggered, this, &TFormMain::Manual1Click);
}

void TFormMain::CreateStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName("StatusBar1");
    const int widths[4] = {100, 500, 0, 0};
    // The messages take the free width; the current group keeps to the right end.
    const int stretches[4] = {0, 1, 2, 0};
    for (int i = 0; i < 4; ++i) {
        fStatusPanels[i] = new QLabel(bar);
        fStatusPanels[i]->setObjectName(QString("StatusPanel%1").arg(i));
        fStatusPanels[i]->setMinimumWidth(widths[i]);
        bar->addWidget(fStatusPanels[i], stretches[i]);
    }
    fProgressPanel = new TProgressPanel(bar);
    bar->addPermanentWidget(fProgressPanel);
}

QString TFormMain::StatusText(int panel) const
{
    return fStatusPanels[panel]->text();
}

void TFormMain::CreateGroupKeys()
{
    for (int row = 0; row < 9; ++row) {
        // A shortcut rather than the window's key handling: the group table takes digits for its
        // own search, while a text field with the focus claims them before any shortcut.
        auto *shortcut = new QShortcut(this);
        shortcut->setObjectName(QString("ShortcutGroup%1").arg(row + 1));
        const auto key = Qt::Key(Qt::Key_1 + row);
        shortcut->setKeys({QKeySequence(key), QKeySequence(Qt::KeypadModifier | key)});
        connect(shortcut, &QShortcut::activated, this, [this, row] { SelectGroupByKey(row); });
    }
    QItemSelectionModel *selection = fListViewGroups->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this, &TFormMain::UpdateGroupStatus);
    TGroupTableModel &groups = fMeasurement.Groups();
    connect(&groups, &QAbstractItemModel::dataChanged, this, &TFormMain::UpdateGroupStatus);
    connect(&groups, &QAbstractItemModel::rowsRemoved, this, &TFormMain::UpdateGroupStatus);
    connect(&groups, &QAbstractItemModel::modelReset, this, &TFormMain::UpdateGroupStatus);
}

void TFormMain::SelectGroupByKey(int row)
{
    if (row < fMeasurement.Groups().RowCount())
        fListViewGroups->Select(row);
}

void TFormMain::UpdateGroupStatus()
{
    const int row = fListViewGroups->Selected();
    fStatusPanels[3]->setText(row < 0 ? QString()
                                      : _("Group: %1").arg(fMeasurement.Groups().Description(row)));
}

void TFormMain::SelectLanguage()
{
    fLanguageCode = "EN";
    const QString code = ReadLanguageFile();
    if (!code.isEmpty()) {
        fLanguageCode = code;
        UseLanguage(code);
    }
    // A catalog that cannot be read would fail the translation of every window and every
    // message: the program goes on in English and says why, once.
    try {
        for (const QString &domain : {getcurrenttextdomain(), QStringLiteral("default")})
            dgettext(domain, QString());
    } catch (const ETranslationError &error) {
        const QString language = GetCurrentLanguage();
        UseLanguage("EN");
        Prompter().Notice(_("The texts for the language %1 cannot be read, so Talivo shows them "
                            "in English.\n\n%2")
                              .arg(language, QString::fromUtf8(error.what())),
                          QCoreApplication::applicationName());
    }
}

void TFormMain::SetupModulesAndLayout()
{
    SetupModules();
    UpdateDetectCommands();
    fToolBarMain->setFixedHeight(kToolButtonHeight + 3);
}

void TFormMain::RestorePlacement()
{
    try {
        RestoreFormPlacement(*this);
    } catch (...) {
        // A damaged settings file must not keep the program from starting.
    }
}

void TFormMain::SavePlacement()
{
    try {
        SaveFormPlacement(*this);
    } catch (...) {
        // Nor from closing.
    }
}

// The manual in the user's language where there is one ("manual_de.pdf" for de_DE, de or DE),
// else the English "manual.pdf"; from the first data folder that holds either.
QString TFormMain::ManualFileName() const
{
    const QString language = GetCurrentLanguage();
    QStringList names;
    if (!language.isEmpty())
        names << "manual_" + language + ".pdf"
              << "manual_" + language.left(2).toLower() + ".pdf";
    names << "manual.pdf";
    for (const QString &folder : Folders().DataFolders()) {
        for (const QString &name : std::as_const(names)) {
            const QString path = QDir(folder).absoluteFilePath(name);
            if (QFileInfo(path).isFile())
                return path;
        }
    }
    return QDir(Folders().ProgramFolder()).absoluteFilePath("manual.pdf");
}

void TFormMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!fShown && !event->spontaneous()) {
        fShown = true;
        FormShow();
    }
}

void TFormMain::FormShow()
{
    CreateCanvas();
    fDefaultGroupsPath = GetSettingsFolder() + "TalivoGroups.ini";
    fTimerStart->start();
    FillBackground(*fTrackBarZoom, fPanelZoom->palette().color(QPalette::Window));
    FillBackground(*fTrackBarPointSize, fPanelZoom->palette().color(QPalette::Window));
    // Last, so that a default-groups file that cannot be read is reported without keeping the
    // timer or anything else of the start-up from running.
    if (LoadDefaultGroups(fDefaultGroupsPath) && fMeasurement.Groups().RowCount() > 0)
        fListViewGroups->Select(0);
}

void TFormMain::TimerStartTimer()
{
    fTimerStart->stop();
    fMeasurement.StartHistory(false);
    BuildModulesMenu();
    // Restored work takes the place of a picture named on the command line.
    const QString startImage = std::exchange(fStartImage, QString());
    if (!OfferRecovery() && !startImage.isEmpty())
        OpenImageFile(startImage);
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TFormMain::FormCloseQuery()
{
    if (fMeasurement.Groups().RowCount() == 0)
        fMeasurement.StartHistory(false);
    if (!Unsaved())
        return true;
    return Prompter().AskYesNo(
        _("There are unsaved changes. Do you really want to exit the program?"),
        _("Unsaved changes"));
}

void TFormMain::FormClose()
{
    // A detection still running would otherwise add its marks to a document already given up.
    fJob->Cancel();
    fJob->Wait();
    SavePlacement();
    // The user has given up what was unsaved, or nothing was.
    RemoveRecovery();
}

void TFormMain::ButtonCloseClick()
{
    close();
}

void TFormMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent *event)
{
    QStringList files;
    for (const QUrl &url : event->mimeData()->urls())
        files << url.toLocalFile();
    event->acceptProposedAction();
    FilesDropped(files);
}

void TFormMain::FilesDropped(const QStringList &files)
{
    if (files.size() == 1 && !files.front().isEmpty())
        LoadImage(files.front());
}

void TFormMain::Manual1Click()
{
    Shell().Open(ManualFileName());
}

TFormGroupSettings &TFormMain::GroupSettings() const
{
    if (!fGroupSettings)
        throw std::logic_error("The group settings dialog has not been created.");
    return *fGroupSettings;
}

void TFormMain::SetGroupSettings(TFormGroupSettings *dialog)
{
    fGroupSettings = dialog;
}

void TFormMain::SetFormInfo(TFormInfo *dialog)
{
    fFormInfo = dialog;
}

TFormInfo &TFormMain::FormInfo() const
{
    if (!fFormInfo)
        throw std::logic_error("The info dialog has not been created.");
    return *fFormInfo;
}

void TFormMain::Info2Click()
{
    Prompter().RunDialog(FormInfo());
}

} // namespace talivo
