#pragma once

#include "i18n/Retranslator.h"

#include <QObject>

namespace talivo {

// The hidden child that marks a component as translated: it records the language of the last
// translation and what that translation changed, and lives and dies with the component.
class TTranslationMarker : public QObject {
    Q_OBJECT
public:
    // The reserved child name: a component with a child of this name counts as translated.
    static inline const QString Name = QStringLiteral("TranslationMarker");

    explicit TTranslationMarker(TTranslator &translator);

    const QString &LastLanguage() const { return fLastLanguage; }
    void SetLastLanguage(const QString &language) { fLastLanguage = language; }
    TTR_Retranslator &Retranslator() { return fRetranslator; }

private:
    QString fLastLanguage;
    TTR_Retranslator fRetranslator;
};

// The direct child named "TranslationMarker", whatever its class, or null.
QObject *MarkerChild(const QObject &component);
// The component's marker, or null when it has none. Throws ETrProgrammingError when the child of
// that name is no marker.
TTranslationMarker *FindMarker(const QObject &component);

} // namespace talivo
