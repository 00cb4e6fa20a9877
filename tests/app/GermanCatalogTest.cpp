#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "graph/GraphControl.h"
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

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <set>

namespace talivo {
namespace {

const QString cLocaleDir = QStringLiteral(TALIVO_LOCALE_DIR);

// Texts of the windows that are names, addresses or numbers in every language.
const std::set<QString> cNotLanguage = {"https://www.example.com/talivo", "https://www.example.com",
                                        "info@example.com", "Korvel GmbH, 12345 Example Town",
                                        "1.0.10.100"};
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
    for (QObject *window :
         std::initializer_list<QObject *>{&windows.Main, &windows.Info, &windows.GroupSettings})
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
    EXPECT_EQ(form.ListViewGroups().horizontalHeaderItem(1)->text(), "Anzahl");
    EXPECT_EQ(form.windowTitle(), "Korvel Talivo");
    EXPECT_EQ(windows.Info.findChild<QPushButton *>("ButtonClose")->text(), "Schließen");
    EXPECT_EQ(windows.GroupSettings.windowTitle(), "Gruppeneinstellungen");
    EXPECT_EQ(windows.GroupSettings.ColorBoxGroup().itemText(0), "Benutzerdefiniert ...");

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

} // namespace
} // namespace talivo
