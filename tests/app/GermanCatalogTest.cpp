#include "app/FormDetectSettings.h"
#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "graph/control/GraphControl.h"
#include "i18n/MoFile.h"
#include "i18n/Translation.h"
#include "i18n/TranslationMarker.h"
#include "i18n/Translator.h"
#include "platform/Application.h"
#include "platform/Platform.h"
#include "platform/QtPrompter.h"
#include "platform/ScriptedPrompter.h"
#include "settings/FormInfo.h"

#include "tests/common/TestMain.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>
#include <QToolButton>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <set>

namespace talivo {
namespace {

const QString cLocaleDir = QStringLiteral(TALIVO_LOCALE_DIR);

// Texts of the windows that are names, addresses or numbers in every language.
const std::set<QString> cNotLanguage = {"https://www.example.com/talivo",
                                        "https://www.example.com",
                                        "info@example.com",
                                        "Korvel GmbH, 12345 Example Town",
                                        "1.0.10.100",
                                        "50"};
// Properties whose texts are no language either: the tool bar's colours are set by a style sheet.
const std::set<QString> cNotLanguageProperties = {"styleSheet"};

// The msgids of a .po or .pot file, the header left out.
std::vector<QString> Msgids(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error("cannot read " + fileName.toStdString());
    static const QRegularExpression quoted(R"re(^(msgid )?"(.*)"\s*$)re");
    std::vector<QString> ids;
    QString current;
    bool inMsgid = false;
    const auto finish = [&] {
        if (inMsgid && !current.isEmpty())
            ids.push_back(current);
        current.clear();
        inMsgid = false;
    };
    while (!file.atEnd()) {
        const QRegularExpressionMatch match = quoted.match(QString::fromUtf8(file.readLine()));
        const bool starts = match.hasMatch() && !match.captured(1).isEmpty();
        if (starts || !match.hasMatch() || !inMsgid) {
            finish();
            if (!starts)
                continue;
            inMsgid = true;
        }
        const QString part = match.captured(2);
        for (qsizetype i = 0; i < part.size(); ++i) {
            if (part[i] != u'\\' || i + 1 == part.size()) {
                current.append(part[i]);
                continue;
            }
            const QChar escaped = part[++i];
            current.append(escaped == u'n'   ? QChar(u'\n')
                           : escaped == u't' ? QChar(u'\t')
                                             : escaped);
        }
    }
    finish();
    return ids;
}

// The program as it starts in German: the built catalogs of both domains, a program folder of
// its own, and a prompter that records every question.
class GermanProgramTest : public ::testing::Test {
protected:
    GermanProgramTest()
        : fFolders(fDir.file("data"), fDir.file("bin/Talivo")), fFoldersGuard(&fFolders),
          fPrompterGuard(&fPrompter), fLanguage(GetCurrentLanguage()),
          fDomain(getcurrenttextdomain())
    {
        QDir().mkpath(fDir.file("bin"));
        bindtextdomain("Talivo", cLocaleDir);
        bindtextdomain("default", cLocaleDir);
        textdomain("Talivo");
    }

    ~GermanProgramTest() override
    {
        bindtextdomain("Talivo", DefaultInstance().DefaultDomainDirectory());
        bindtextdomain("default", DefaultInstance().DefaultDomainDirectory());
        UseLanguage(fLanguage);
        textdomain(fDomain);
    }

    void WriteLanguageFile(const QByteArray &content)
    {
        QFile file(fDir.file("bin/Lang.ini"));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            throw std::runtime_error("cannot write the language file");
    }

    // The three windows, made and translated the way the program makes them.
    struct TWindows {
        TFormMain Main;
        TFormInfo Info{&Main};
        TFormGroupSettings GroupSettings{&Main};
    };

    test::TempDir fDir;
    TFixedFolders fFolders;
    TScopedFolders fFoldersGuard;
    TScriptedPrompter fPrompter;
    TScopedPrompter fPrompterGuard;
    QString fLanguage;
    QString fDomain;
};

// Every text the window translation looks up, as it recorded them.
std::set<QString> WindowTexts(QObject &window)
{
    std::set<QString> texts;
    const TTranslationMarker *marker = FindMarker(window);
    if (!marker)
        throw std::runtime_error("the window was not translated");
    for (const TTR_RetranslatorItem &item :
         const_cast<TTranslationMarker *>(marker)->Retranslator().Items()) {
        if (cNotLanguageProperties.contains(item.Propname))
            continue;
        const QStringList lines = item.OldValue.typeId() == QMetaType::QStringList
                                      ? item.OldValue.toStringList()
                                      : QStringList{item.OldValue.toString()};
        for (const QString &line : lines) {
            if (!line.isEmpty() && !cNotLanguage.contains(line))
                texts.insert(line);
        }
    }
    return texts;
}

QStringList Untranslated(const std::set<QString> &texts, const TMoFile &catalog)
{
    QStringList missing;
    for (const QString &text : texts) {
        if (!catalog.gettext(text.toUtf8()))
            missing << '"' + text + '"';
    }
    return missing;
}

TEST_F(GermanProgramTest, CatalogHasEveryTextOfTheWindowsAndEveryMessage)
{
    WriteLanguageFile("[Settings]\r\nLang=de\r\n");
    const std::unique_ptr<TMoFile> catalog = TMoFile::Map(cLocaleDir + "/de/LC_MESSAGES/Talivo.mo");

    TWindows windows;
    std::set<QString> windowTexts;
    for (QObject *window : std::initializer_list<QObject *>{
             &windows.Main, &windows.Info, &windows.GroupSettings, &windows.Main.DetectSettings()})
        windowTexts.merge(WindowTexts(*window));
    // Guards the collection itself: an empty or partial walk would pass everything.
    EXPECT_TRUE(windowTexts.contains("Open image ...") && windowTexts.contains("Lime") &&
                windowTexts.contains("Software website") && windowTexts.contains("Description"));
    EXPECT_EQ(Untranslated(windowTexts, *catalog).join(", ").toStdString(), "")
        << "window texts without a German entry in i18n/po/de/Talivo.po";

    const std::vector<QString> ids = Msgids(QStringLiteral(TALIVO_CATALOG_TEMPLATE));
    const std::set<QString> messages(ids.begin(), ids.end());
    EXPECT_TRUE(messages.contains("Please load image first.") &&
                messages.contains("Cannot write \"%1\": %2"));
    EXPECT_EQ(Untranslated(messages, *catalog).join(", ").toStdString(), "")
        << "texts passed through _() without a German entry in i18n/po/de/Talivo.po";
}

TEST_F(GermanProgramTest, LanguageFileMakesTheProgramSpeakGerman)
{
    WriteLanguageFile("[Settings]\r\nLang=de\r\n");
    TWindows windows;
    TFormMain &form = windows.Main;

    EXPECT_EQ(GetCurrentLanguage(), "de");
    EXPECT_EQ(form.findChild<QMenu *>("File1")->menuAction()->text(), "Datei");
    EXPECT_EQ(form.findChild<QAction *>("Savemeasurement1")->text(), "Messung speichern unter ...");
    EXPECT_EQ(form.findChild<QToolButton *>("ToolButtonLoadImage")->text(), "Bild laden");
    EXPECT_EQ(form.findChild<QPushButton *>("ButtonAddGroup")->text(), "Gruppe hinzufügen");
    EXPECT_EQ(form.ListViewGroups().model()->headerData(1, Qt::Horizontal).toString(), "Anzahl");
    EXPECT_EQ(form.windowTitle(), "Korvel Talivo");
    EXPECT_EQ(windows.Info.findChild<QPushButton *>("ButtonClose")->text(), "Schließen");
    EXPECT_EQ(windows.GroupSettings.windowTitle(), "Gruppeneinstellungen");
    EXPECT_EQ(windows.GroupSettings.ColorBoxGroup().itemText(0), "Eigene Farbe ...");
    EXPECT_EQ(form.findChild<QAction *>("Undo1")->text(), "Rückgängig");
    form.AddGroupRow("Zellen", 0x0000FF00, 0, 0);
    EXPECT_EQ(form.StatusText(3), "Gruppe: Zellen");
    // The edit menu names the step in German, both ways.
    EXPECT_EQ(form.findChild<QAction *>("Undo1")->text(), "Rückgängig: Gruppe hinzufügen");
    form.findChild<QAction *>("Undo1")->trigger();
    EXPECT_EQ(form.findChild<QAction *>("Redo1")->text(), "Wiederholen: Gruppe hinzufügen");
    form.findChild<QAction *>("Redo1")->trigger();

    // A question: the program's texts from its own domain, the buttons from Qt's.
    fPrompter.PushAnswer(false);
    form.ButtonRemoveGroupClick();
    ASSERT_EQ(fPrompter.Asked().size(), 1u);
    EXPECT_EQ(fPrompter.Asked()[0].Caption, "Gruppe löschen");
    EXPECT_EQ(fPrompter.Asked()[0].Text,
              "Die ausgewählte Gruppe und alle ihre Markierungen löschen?");
    const auto box = TQtPrompter::BuildQuestionBox(fPrompter.Asked()[0].Text,
                                                   fPrompter.Asked()[0].Caption, nullptr);
    EXPECT_EQ(box->button(QMessageBox::Yes)->text(), "&Ja");
    EXPECT_EQ(box->button(QMessageBox::No)->text(), "&Nein");
    EXPECT_EQ(TQtPrompter::BuildNoticeBox("", "", nullptr)->button(QMessageBox::Ok)->text(), "OK");

    const auto dialog = TQtPrompter::BuildFileDialog({}, QFileDialog::AcceptSave, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Speichern unter");
    EXPECT_EQ(dialog->findChild<QLabel *>("lookInLabel")->text(), "Suchen in:");
    EXPECT_EQ(dialog->findChild<QLabel *>("fileTypeLabel")->text(), "Dateityp:");
}

TEST_F(GermanProgramTest, LangVariableSelectsGermanWithoutALanguageFile)
{
    const std::optional<QByteArray> previous =
        qEnvironmentVariableIsSet("LANG") ? std::optional(qgetenv("LANG")) : std::nullopt;
    qputenv("LANG", "de_DE.UTF-8");
    // As the translator does at its creation, before any window exists.
    UseLanguage(QString());
    if (previous)
        qputenv("LANG", *previous);
    else
        qunsetenv("LANG");
    ASSERT_EQ(GetCurrentLanguage(), "de_DE");

    TWindows windows;
    TFormMain &form = windows.Main;
    EXPECT_EQ(form.LanguageCode(), "EN");
    EXPECT_EQ(form.findChild<QMenu *>("Help1")->menuAction()->text(), "Hilfe");
    EXPECT_EQ(form.findChild<QToolButton *>("ToolButtonHide")->text(), " Ausblenden ");

    fPrompter.PushFile(fDir.file("counts.txt"));
    form.Exportmeasurement1Click();
    ASSERT_EQ(fPrompter.Asked().size(), 1u);
    const std::vector<TFileFilter> &filters = fPrompter.Asked()[0].Options.Filters;
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0], (TFileFilter{"Textdateien (*.txt)", "*.txt"}));
    EXPECT_EQ(filters[1], (TFileFilter{"Alle Dateien (*.*)", "*.*"}));

    form.Saveimage1Click();
    ASSERT_EQ(fPrompter.Asked().size(), 2u);
    EXPECT_EQ(fPrompter.Asked()[1].Text, "Bitte zuerst ein Bild laden.");
}

// Errors raised below the counting workspace reach the user through the application's display,
// in German, with the file and the system's reason filled in.
TEST_F(GermanProgramTest, ErrorsOfTheCanvasAreShownInGerman)
{
    WriteLanguageFile("[Settings]\r\nLang=de\r\n");
    TWindows windows;
    windows.Main.show();
    const auto shown = [&](const QString &fileName) {
        try {
            windows.Main.Graph()->LoadFromFile(fileName);
        } catch (...) {
            return TApplication::ExceptionMessage(std::current_exception());
        }
        return QString("no error");
    };
    const QString missing = fDir.file("missing.tlv");
    EXPECT_TRUE(shown(missing).startsWith("Die Datei " + missing + " kann nicht geöffnet werden: "))
        << shown(missing).toStdString();
    QFile text(fDir.file("notes.tlv"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a measurement");
    text.close();
    EXPECT_EQ(shown(text.fileName()).toStdString(), "Ungültiger Dateninhalt");
}

// Qt's own file dialog in German, down to the question it asks before it deletes: its texts come
// from default.po, keyed by Qt's English source texts, which must match them exactly.
// A measurement that cannot be opened is named with the problem and the reader's own text, all
// in German.
TEST_F(GermanProgramTest, AMeasurementThatCannotBeOpenedIsNamedInGerman)
{
    WriteLanguageFile("[Settings]\r\nLang=de\r\n");
    TWindows windows;
    windows.Main.show();
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    ASSERT_TRUE(picture.save(fDir.file("cells.png")));
    windows.Main.FilesDropped({fDir.file("cells.png")});
    windows.Main.Job().Wait();
    TGraphControl graph;
    graph.InsertNode({0, 0, 10, 10}, TGraphControl::FindClass("TCircularNode"));
    const QString cut = fDir.file("cut.tlv");
    graph.SaveToFile(cut);
    ASSERT_TRUE(QFile::resize(cut, QFileInfo(cut).size() - 5));

    fPrompter.PushFile(cut);
    QString error;
    try {
        windows.Main.Openmeasurement1Click();
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
    }
    EXPECT_EQ(error, "„" + cut +
                         "“ kann nicht geöffnet werden: Die Datei ist beschädigt oder keine "
                         "Messungsdatei (Unerwartetes Ende der Daten).");
}

TEST_F(GermanProgramTest, FileDialogTidiesUpInGerman)
{
    UseLanguage("de");
    const QString folder = fDir.file("pictures");
    QDir().mkpath(folder + "/full");
    for (const QString &name : {folder + "/cells.png", folder + "/full/debris.png"}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    TFileDialogOptions options;
    options.InitialDir = folder;
    const auto dialog = TQtPrompter::BuildFileDialog(options, QFileDialog::AcceptOpen, nullptr);
    dialog->show();
    // The view the dialog shows: the detail view, unless the platform prefers the list.
    QAbstractItemView *list = dialog->findChild<QAbstractItemView *>(
        dialog->viewMode() == QFileDialog::Detail ? "treeView" : "listView");
    QAction *deleteAction = dialog->findChild<QAction *>("qt_delete_action");
    ASSERT_TRUE(list && deleteAction);
    const auto entry = [&](const QString &name) {
        const QModelIndex root = list->rootIndex();
        for (int row = 0; row < list->model()->rowCount(root); ++row) {
            const QModelIndex index = list->model()->index(row, 0, root);
            if (index.data().toString() == name)
                return index;
        }
        return QModelIndex();
    };
    // The file system model reads the folder, and then the permissions, in the background.
    const auto waitFor = [](const std::function<bool()> &done) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    };
    waitFor([&] { return entry("cells.png").isValid() && entry("full").isValid(); });

    // A right click shows the dialog's menu, which enables its actions for the selection.
    QStringList menu;
    const auto rightClick = [&](const QModelIndex &index) {
        QTimer::singleShot(0, [&menu] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                menu.clear();
                for (const QAction *action : popup->actions())
                    menu << action->text();
                popup->close();
            }
        });
        Q_EMIT list->customContextMenuRequested(list->visualRect(index).center());
    };
    QStringList questions;
    const auto remove = [&](const QString &name, QMessageBox::StandardButton button) {
        // The model sorts its rows as it learns about the files, so the index is looked up anew.
        waitFor([&] {
            const QModelIndex index = entry(name);
            list->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect |
                                                      QItemSelectionModel::Rows);
            rightClick(index);
            return deleteAction->isEnabled();
        });
        QTimer::singleShot(100, [&questions, button] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                questions << box->windowTitle() + ": " + box->text();
                box->button(button)->click();
            }
        });
        deleteAction->trigger();
    };
    remove("cells.png", QMessageBox::No);
    EXPECT_TRUE(QFileInfo::exists(folder + "/cells.png"));
    remove("full", QMessageBox::Yes);
    EXPECT_FALSE(QFileInfo::exists(folder + "/full"));
    EXPECT_EQ(questions.join(" | ").toStdString(),
              "Löschen: Wollen Sie „cells.png“ wirklich löschen? | "
              "Löschen: Wollen Sie „full“ wirklich löschen?");
    EXPECT_EQ(menu.join(", ").toStdString(),
              "&Umbenennen, &Löschen, , &Versteckte Dateien anzeigen, &Neuer Ordner");

    deleteAction->setEnabled(false);
    dialog->findChild<QAction *>("qt_new_folder_action")->trigger();
    EXPECT_TRUE(QFileInfo(folder + "/Neuer Ordner").isDir());
}

// A caption and the widths it needs and has. Each kind of widget is measured against the area in
// which the style draws its text: a label's contents, a push button's contents, a tool button
// inside its frame (and beside its menu arrow), a combo box's text field beside the item's icon.
struct TFit {
    QString Widget;
    QString Text;
    int Needed = 0;
    int Available = 0;
};

std::vector<TFit> Captions(QWidget &window)
{
    std::vector<TFit> fits;
    const auto add = [&](QWidget &widget, const QString &text, int needed, int available) {
        // Widgets of the window itself that a user can see; the dialogs are windows of their own.
        if (widget.window() == &window && widget.isVisibleTo(&window) && !text.trimmed().isEmpty())
            fits.push_back({widget.objectName(), text, needed, available});
    };
    const auto advance = [](const QWidget &widget, const QString &text) {
        return int(std::ceil(QFontMetricsF(widget.font()).horizontalAdvance(text)));
    };
    for (QLabel *label : window.findChildren<QLabel *>()) {
        if (label->wordWrap())
            add(*label, label->text(), label->heightForWidth(label->width()), label->height());
        else
            add(*label, label->text(), advance(*label, label->text()),
                label->contentsRect().width() - 2 * label->margin());
    }
    for (QPushButton *button : window.findChildren<QPushButton *>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        if (button->autoDefault() || button->isDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        add(*button, button->text(), advance(*button, button->text()),
            button->style()
                ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                .width());
    }
    for (QToolButton *button : window.findChildren<QToolButton *>()) {
        QStyleOptionToolButton option;
        option.initFrom(button);
        option.subControls = QStyle::SC_ToolButton;
        if (button->popupMode() == QToolButton::MenuButtonPopup) {
            option.subControls |= QStyle::SC_ToolButtonMenu;
            option.features |= QStyleOptionToolButton::MenuButtonPopup;
        }
        const QStyle &style = *button->style();
        const int frame = style.pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button);
        add(*button, button->text(), advance(*button, button->text()),
            style.subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButton, button)
                    .width() -
                2 * frame);
    }
    for (QComboBox *box : window.findChildren<QComboBox *>()) {
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.editable = box->isEditable();
        option.frame = box->hasFrame();
        const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                         QStyle::SC_ComboBoxEditField, box);
        for (int i = 0; i < box->count(); ++i) {
            // The style puts the icon and a gap of 4 before the text, and keeps 1 pixel clear on
            // either side of it.
            const int icon = box->itemIcon(i).isNull() ? 0 : box->iconSize().width() + 4;
            add(*box, box->itemText(i), advance(*box, box->itemText(i)), field.width() - icon - 2);
        }
    }
    return fits;
}

// The fallback font for Tahoma (DejaVu Sans) is wider, so the design's widths are tight for it.
TEST_F(GermanProgramTest, EveryCaptionFitsItsWidget)
{
    QStringList misfits;
    int measured = 0;
    for (const char *language : {"de", "EN"}) {
        WriteLanguageFile(QByteArray("[Settings]\r\nLang=") + language + "\r\n");
        TWindows windows;
        windows.Main.show();
        for (QWidget *window : std::initializer_list<QWidget *>{&windows.Main, &windows.Info,
                                                                &windows.GroupSettings}) {
            for (const TFit &fit : Captions(*window)) {
                ++measured;
                if (fit.Needed > fit.Available)
                    misfits << QString("%1: %2 \"%3\" (%4 > %5)")
                                   .arg(language, fit.Widget, fit.Text)
                                   .arg(fit.Needed)
                                   .arg(fit.Available);
            }
        }
    }
    // Guards the collection: the tool bar, the buttons, the labels and the colour box's items.
    EXPECT_GT(measured, 2 * 40);
    EXPECT_EQ(misfits.join(", ").toStdString(), "");
}

} // namespace
} // namespace talivo
