#include "i18n/QtClassRules.h"

#include "i18n/ComponentTranslator.h"
#include "i18n/ComponentWalk.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>

namespace talivo {

namespace {

// Until they are set, an action's icon text and tool tip are made from its text. Written back,
// they would stop following it.
void TranslateAction(QObject &object, TComponentWalk &walk)
{
    const auto &action = static_cast<const QAction &>(object);
    QAction plain;
    plain.setText(action.text());
    QStringList followers;
    if (action.iconText() == plain.iconText())
        followers << "iconText";
    if (action.toolTip() == plain.toolTip())
        followers << "toolTip";
    walk.TranslateAsUsual(object, followers);
}

void TranslateToolButton(QObject &object, TComponentWalk &walk)
{
    if (static_cast<const QToolButton &>(object).defaultAction())
        walk.TranslateAsUsual(object, {"text", "toolTip", "statusTip", "whatsThis"});
    else
        walk.TranslateAsUsual(object);
}

void TranslateComboBox(QObject &object, TComponentWalk &walk)
{
    // The current text names the selected entry, or holds what the user typed: writing it would
    // select another entry or replace the typing. The entries themselves are translated below.
    walk.TranslateAsUsual(object, {"currentText"});
    const auto &combo = static_cast<const QComboBox &>(object);
    for (int i = 0; i < combo.count(); ++i) {
        walk.TranslateText(object, QString("itemText(%1)").arg(i), combo.itemText(i),
                           [i](QObject &owner, const QString &text) {
                               auto &box = static_cast<QComboBox &>(owner);
                               if (i < box.count())
                                   box.setItemText(i, text);
                           });
    }
}

// Only the headers: the rows of a table or tree hold the user's data.
void TranslateTableWidget(QObject &object, TComponentWalk &walk)
{
    walk.TranslateAsUsual(object);
    const auto &table = static_cast<const QTableWidget &>(object);
    for (int column = 0; column < table.columnCount(); ++column) {
        if (const QTableWidgetItem *item = table.horizontalHeaderItem(column)) {
            walk.TranslateText(object, QString("horizontalHeaderItem(%1).text").arg(column),
                               item->text(), [column](QObject &owner, const QString &text) {
                                   auto &view = static_cast<QTableWidget &>(owner);
                                   if (QTableWidgetItem *header = view.horizontalHeaderItem(column))
                                       header->setText(text);
                               });
        }
    }
    for (int row = 0; row < table.rowCount(); ++row) {
        if (const QTableWidgetItem *item = table.verticalHeaderItem(row)) {
            walk.TranslateText(object, QString("verticalHeaderItem(%1).text").arg(row),
                               item->text(), [row](QObject &owner, const QString &text) {
                                   auto &view = static_cast<QTableWidget &>(owner);
                                   if (QTableWidgetItem *header = view.verticalHeaderItem(row))
                                       header->setText(text);
                               });
        }
    }
}

void TranslateTreeWidget(QObject &object, TComponentWalk &walk)
{
    walk.TranslateAsUsual(object);
    const auto &tree = static_cast<const QTreeWidget &>(object);
    for (int column = 0; column < tree.columnCount(); ++column) {
        walk.TranslateText(
            object, QString("headerItem.text(%1)").arg(column), tree.headerItem()->text(column),
            [column](QObject &owner, const QString &text) {
                static_cast<QTreeWidget &>(owner).headerItem()->setText(column, text);
            });
    }
}

} // namespace

void RegisterQtClassRules(TComponentTranslator &translator)
{
    // A menu's title is the text of its menu action, a child of the menu.
    translator.TR_GlobalIgnoreClassProperty(QMenu::staticMetaObject, "title");
    translator.TR_GlobalHandleClass(QAction::staticMetaObject, TranslateAction);
    translator.TR_GlobalHandleClass(QToolButton::staticMetaObject, TranslateToolButton);
    translator.TR_GlobalHandleClass(QComboBox::staticMetaObject, TranslateComboBox);
    translator.TR_GlobalHandleClass(QTableWidget::staticMetaObject, TranslateTableWidget);
    translator.TR_GlobalHandleClass(QTreeWidget::staticMetaObject, TranslateTreeWidget);
}

} // namespace talivo
