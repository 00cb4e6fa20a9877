#pragma once

#include "i18n/Retranslator.h"

#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <deque>
#include <set>

class QMetaProperty;

namespace talivo {

class TComponentTranslator;

// One translation of a component tree, breadth first: every object once, first its text, list
// and object properties in the order Qt lists them, then its children in order. Children and
// referenced objects that carry their own translation marker are translated on their own and left
// out. Every text looked up is recorded in the retranslator.
class TComponentWalk {
public:
    TComponentWalk(const TComponentTranslator &rules, TTR_Retranslator &record);

    void Run(QObject &root);

    // For class handlers, about the object handed to them. The ordinary translation of the
    // object (properties and children), leaving out the given properties as well as those the
    // property rules exclude; Qt names, any case.
    void TranslateAsUsual(QObject &object, const QStringList &followers = {});
    // Looks up a text that Qt keeps outside properties, records it under the name and writes the
    // translation when it differs. Empty texts and excluded names are left alone.
    void TranslateText(QObject &object, const QString &name, const QString &text,
                       TTextWriter write);

private:
    struct TPending {
        // The upper-case component name, or empty for the root and referenced objects.
        QString Name;
        QPointer<QObject> Object;
    };

    void Visit(const TPending &pending);
    void TranslateBody(QObject &object, const std::set<QString> &excluded);
    void TranslateProperty(QObject &object, const QMetaProperty &property);
    void Translate(QObject &object, const QString &name, const QString &text, TTextWriter write);
    void TranslateLines(QObject &object, const QString &name, const QStringList &lines);
    // Runs a lookup and write, turning an error into the one that names the property.
    template <typename TWork> void Guarded(const QObject &object, const QString &name, TWork work);
    void Queue(const QString &name, QObject *object);
    bool Skips(const std::set<QString> &excluded, const QString &name) const;

    const TComponentTranslator &fRules;
    TTR_Retranslator &fRecord;
    std::deque<TPending> fWork;
    QSet<const QObject *> fDone;
    // The pair being visited: its name keys the ignore list, and a handler's texts obey the
    // property rules of its object.
    QString fName;
    std::set<QString> fHandledExclusions;
};

} // namespace talivo
