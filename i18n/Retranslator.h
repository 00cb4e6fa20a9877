#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

namespace talivo {

class TTranslator;

// Writes a text that Qt keeps outside the properties of its owner (a header item, a combo box
// entry). It finds the item again from the owner, so it never holds on to an item that is gone.
using TTextWriter = std::function<void(QObject &owner, const QString &text)>;

// One text that a window translation looked up.
struct TTR_RetranslatorItem {
    // Null once the object has been deleted; its text is then skipped.
    QPointer<QObject> obj;
    // The property as Qt spells it, or the name a class handler gave a text outside properties.
    QString Propname;
    // The untranslated text: a QString, or a QStringList for a list property.
    QVariant OldValue;
    // Set for texts outside properties; a property is written by name.
    TTextWriter Writer;

    // False when the property refuses the value.
    bool Write(const QVariant &value) const;
};

// What one window translation changed, so that the window can be translated anew into another
// language.
class TTR_Retranslator {
public:
    explicit TTR_Retranslator(TTranslator &instance) : fInstance(instance) {}

    const QString &TextDomain() const { return fTextDomain; }
    void SetTextDomain(const QString &domain) { fTextDomain = domain; }
    TTranslator &Instance() const { return fInstance; }

    // The translation in the recorded domain. Qt widgets break lines with a line feed alone, so a
    // text without carriage returns comes back without them.
    QString Lookup(const QString &text) const;
    // Every non-empty line translated; empty lines stay in place.
    QStringList LookupLines(QStringList lines) const;

    void Add(TTR_RetranslatorItem item) { fItems.push_back(std::move(item)); }
    const std::vector<TTR_RetranslatorItem> &Items() const { return fItems; }

    // Writes every recorded text again, translated into the current language. An object that has
    // since been translated on its own is retranslated by its own record.
    void Execute();

private:
    TTranslator &fInstance;
    QString fTextDomain;
    std::vector<TTR_RetranslatorItem> fItems;
    // Two windows that recorded each other must not hand the work back and forth for ever.
    bool fRunning = false;
};

} // namespace talivo
