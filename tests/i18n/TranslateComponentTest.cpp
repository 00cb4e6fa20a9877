#include "i18n/TranslateComponent.h"
#include "i18n/ComponentTranslator.h"
#include "i18n/TranslationError.h"
#include "i18n/TranslationMarker.h"
#include "i18n/Translator.h"
#include "tests/i18n/CatalogSupport.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>

namespace talivo {

// An object with one property of every kind the walk handles.
class TSample : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER Caption)
    Q_PROPERTY(QString Hint READ Hint)
    Q_PROPERTY(QStringList Lines MEMBER Lines)
    Q_PROPERTY(QObject *Font MEMBER Font)

public:
    TSample(const QString &name, const QString &caption, QObject *parent = nullptr)
        : QObject(parent), Caption(caption)
    {
        setObjectName(name);
    }
    QString Hint() const { return "Add mark"; }

    QString Caption;
    QStringList Lines;
    QObject *Font = nullptr;
};

class TOtherSample : public TSample {
    Q_OBJECT
public:
    using TSample::TSample;
};

namespace {

using test::BuildCatalog;

QString Po(const std::vector<std::pair<QString, QString>> &entries)
{
    QString po = test::cUtf8Header;
    for (const auto &[source, translation] : entries)
        po += "msgid \"" + source + "\"\nmsgstr \"" + translation + "\"\n\n";
    return po;
}

class TranslateComponentTest : public ::testing::Test {
protected:
    TranslateComponentTest()
    {
        BuildCatalog(Po({{"Add mark", "Marke setzen"},
                         {"Marke setzen", "twice translated"},
                         {"Delete mark", "Marke löschen"},
                         {"Zoom", "Vergrößerung"},
                         {"Root", "Wurzel"},
                         {"Group", "Gruppe"},
                         {"File", "Datei"},
                         {"Open image ...", "Bild öffnen ..."},
                         {"Lime", "Hellgrün"}}),
                     fProgram.CatalogPath("de"));
        BuildCatalog(Po({{"Add mark", "Ajouter"}, {"Root", "Racine"}, {"File", "Fichier"}}),
                     fProgram.CatalogPath("fr"));
        fTranslator.textdomain("Talivo");
        fTranslator.UseLanguage("de");
    }

    TComponentTranslator &Components() { return fTranslator.ComponentTranslator(); }
    void Translate(QObject &component) { Components().TranslateComponent(component, {}); }

    test::TProgramFixture fProgram;
    TTranslator fTranslator;
};

QStringList Recorded(QObject &component)
{
    QStringList items;
    for (const TTR_RetranslatorItem &item : FindMarker(component)->Retranslator().Items())
        items << item.obj->objectName() + "." + item.Propname;
    return items;
}

TEST_F(TranslateComponentTest, TranslatesWritableTextsOfTheTreeBreadthFirst)
{
    TSample root("Root", "Root");
    auto *first = new TSample("Add mark", "Delete mark", &root);
    auto *nested = new TSample("Nested", "Add mark", first);
    auto *second = new TSample("Second", "", &root);
    auto *font = new TSample("Font", " Zoom ", &root);
    first->Lines = {"Zoom", "", "Point size"};
    first->Font = font;
    second->Font = font;
    TSample outside("Outside", "Add mark");
    nested->Font = &outside;

    Translate(root);
    EXPECT_EQ(root.Caption, "Wurzel");
    EXPECT_EQ(first->objectName(), "Add mark");
    EXPECT_EQ(first->Caption, "Marke löschen");
    EXPECT_EQ(first->Lines, QStringList({"Vergrößerung", "", "Point size"}));
    EXPECT_EQ(nested->Caption, "Marke setzen");
    EXPECT_EQ(outside.Caption, "Marke setzen");
    EXPECT_EQ(font->Caption, " Zoom ");
    EXPECT_EQ(Recorded(root), QStringList({"Root.Caption", "Add mark.Caption", "Add mark.Lines",
                                           "Font.Caption", "Nested.Caption", "Outside.Caption"}));
    EXPECT_EQ(FindMarker(root)->LastLanguage(), "de");
    EXPECT_EQ(FindMarker(root)->Retranslator().TextDomain(), "Talivo");
}

TEST_F(TranslateComponentTest, RetranslatesIntoAnotherLanguageAndBack)
{
    TSample root("Root", "Root");
    auto *child = new TSample("Child", "Add mark", &root);
    auto *gone = new TSample("Gone", "Add mark", &root);
    child->Lines = {"Add mark", ""};
    EXPECT_THROW(Components().RetranslateComponent(root), ETrProgrammingError);
    Translate(root);
    delete gone;

    fTranslator.UseLanguage("fr");
    Components().RetranslateComponent(root);
    EXPECT_EQ(root.Caption, "Racine");
    EXPECT_EQ(child->Caption, "Ajouter");
    EXPECT_EQ(child->Lines, QStringList({"Ajouter", ""}));
    fTranslator.UseLanguage("EN");
    Components().RetranslateComponent(root);
    EXPECT_EQ(root.Caption, "Root");
    EXPECT_EQ(child->Lines, QStringList({"Add mark", ""}));
    fTranslator.UseLanguage("de");
    Components().RetranslateComponent(root);
    EXPECT_EQ(child->Caption, "Marke setzen");
    EXPECT_EQ(FindMarker(root)->LastLanguage(), "de");
}

TEST_F(TranslateComponentTest, TranslatesOnceAndLeavesMarkedComponentsToThemselves)
{
    TSample root("Root", "Add mark");
    auto *dialog = new TSample("Dialog", "Add mark", &root);
    Translate(*dialog);
    Translate(root);
    Translate(root);
    EXPECT_EQ(root.Caption, "Marke setzen");
    EXPECT_EQ(dialog->Caption, "Marke setzen");
    EXPECT_EQ(Recorded(root), QStringList({"Root.Caption"}));
    EXPECT_TRUE(fProgram.fPrompter.Asked().empty());

    // In another language only the error box shows; the texts stay, and retranslation still
    // knows they are German.
    fTranslator.UseLanguage("fr");
    Translate(root);
    ASSERT_EQ(fProgram.fPrompter.Asked().size(), 1u);
    EXPECT_EQ(fProgram.fPrompter.Asked()[0].Kind, TPromptKind::pkWarning);
    EXPECT_EQ(fProgram.fPrompter.Asked()[0].Caption, "Error");
    EXPECT_TRUE(fProgram.fPrompter.Asked()[0].Text.contains("RetranslateComponent()"));
    EXPECT_EQ(root.Caption, "Marke setzen");
    Components().RetranslateComponent(root);
    EXPECT_EQ(root.Caption, "Ajouter");

    TSample impostor("Impostor", "Add mark");
    (new QObject(&impostor))->setObjectName("TranslationMarker");
    EXPECT_THROW(Translate(impostor), ETrProgrammingError);
}

TEST_F(TranslateComponentTest, IgnoreRulesLeaveOutClassesPropertiesAndComponents)
{
    TSample root("Root", "Root");
    auto *other = new TOtherSample("Other", "Add mark", &root);
    auto *named = new TSample("Named", "Add mark", &root);
    auto *keyed = new TSample("Keyed", "Add mark", &root);
    keyed->Lines = {"Zoom"};
    Components().TR_IgnoreClass(TOtherSample::staticMetaObject);
    Components().TR_Ignore("named");
    Components().TR_Ignore(".caption");
    Components().TR_Ignore("KEYED.Lines");
    Translate(root);
    EXPECT_EQ(root.Caption, "Root");
    EXPECT_EQ(other->Caption, "Add mark");
    EXPECT_EQ(named->Caption, "Add mark");
    EXPECT_EQ(keyed->Caption, "Marke setzen");
    EXPECT_EQ(keyed->Lines, QStringList({"Zoom"}));

    // Those rules were for that translation only; permanent ones stay.
    Components().TR_GlobalIgnoreClassProperty(TSample::staticMetaObject, "lines");
    TOtherSample next("Next", "Add mark");
    next.Lines = {"Zoom"};
    Translate(next);
    EXPECT_EQ(next.Caption, "Marke setzen");
    EXPECT_EQ(next.Lines, QStringList({"Zoom"}));
    Components().TR_GlobalIgnoreClass(TOtherSample::staticMetaObject);
    Components().TR_GlobalIgnoreClassProperty(TOtherSample::staticMetaObject, "Lines");
    TOtherSample ignored("Ignored", "Add mark");
    Translate(ignored);
    EXPECT_EQ(ignored.Caption, "Add mark");

    auto message = [](const std::function<void()> &registration) {
        try {
            registration();
        } catch (const ETrProgrammingError &error) {
            return QString::fromUtf8(error.what());
        }
        return QString();
    };
    EXPECT_EQ(message([&] { Components().TR_GlobalIgnoreClass(TOtherSample::staticMetaObject); }),
              "You cannot add a class to the ignore list that is already on that list: "
              "talivo::TOtherSample. You should keep all TR_Global functions in one place in your "
              "source code.");
    EXPECT_EQ(message([&] { Components().TR_GlobalHandleClass(TSample::staticMetaObject, {}); }),
              "You cannot set a handler for a class that has already been assigned otherwise.");
    EXPECT_EQ(message([&] {
                  Components().TR_GlobalIgnoreClassProperty(QAction::staticMetaObject, "text");
              }),
              "You cannot ignore a class property for a class that has a handler set.");
}

TEST_F(TranslateComponentTest, ReachesQtTextsOutsidePropertiesAndKeepsAliasesInStep)
{
    QWidget window;
    auto *tree = new QTreeWidget(&window);
    tree->setHeaderLabels({"Group", "Zoom"});
    auto *table = new QTableWidget(0, 2, &window);
    table->setHorizontalHeaderLabels({"Group", "Count"});
    auto *combo = new QComboBox(&window);
    combo->addItems({"Black", "Lime"});
    combo->setCurrentIndex(1);
    auto *bar = new QMenuBar(&window);
    QMenu *file = bar->addMenu("File");
    QAction *open = file->addAction("Open image ...");

    Translate(window);
    EXPECT_EQ(tree->headerItem()->text(0), "Gruppe");
    EXPECT_EQ(tree->headerItem()->text(1), "Vergrößerung");
    EXPECT_EQ(table->horizontalHeaderItem(0)->text(), "Gruppe");
    EXPECT_EQ(combo->itemText(1), "Hellgrün");
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(file->title(), "Datei");
    EXPECT_EQ(open->text(), "Bild öffnen ...");
    EXPECT_EQ(open->toolTip(), "Bild öffnen");

    combo->setCurrentIndex(0);
    fTranslator.UseLanguage("EN");
    Components().RetranslateComponent(window);
    EXPECT_EQ(tree->headerItem()->text(0), "Group");
    EXPECT_EQ(table->horizontalHeaderItem(0)->text(), "Group");
    EXPECT_EQ(combo->itemText(1), "Lime");
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(file->title(), "File");
    EXPECT_EQ(open->toolTip(), "Open image");
}

TEST_F(TranslateComponentTest, ATextThatCannotBeLookedUpEndsTheTranslationUnmarked)
{
    QFile broken(fProgram.CatalogPath("xx"));
    QDir().mkpath(QFileInfo(broken).absolutePath());
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray(64, 'x'));
    broken.close();
    fTranslator.UseLanguage("xx");
    TSample root("Root", "Root");
    Components().TR_Ignore("Other");
    try {
        Translate(root);
        FAIL() << "no error";
    } catch (const ETrComponentError &error) {
        const QString message = QString::fromUtf8(error.what());
        EXPECT_TRUE(message.startsWith(
            "Property cannot be translated.\r\nAdd TR_GlobalIgnoreClassProperty(talivo::TSample,"
            "'Caption') to your source code or use\r\nTR_Ignore (self,'.Caption') to prevent this "
            "message.\r\nReason: This file is not a valid GNU gettext mo file: "))
            << message.toStdString();
    }
    EXPECT_EQ(MarkerChild(root), nullptr);

    fTranslator.UseLanguage("de");
    TSample other("Other", "Root");
    Translate(other);
    EXPECT_EQ(other.Caption, "Wurzel");
}

} // namespace
} // namespace talivo

#include "TranslateComponentTest.moc"
