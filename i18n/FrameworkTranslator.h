#pragma once

#include <QTranslator>

namespace talivo {

class TTranslator;

// Answers Qt's own texts (standard button captions and the like) from the translator's
// resource-string domains. Only the GUI thread translates: lookups are not made from others.
class TFrameworkTranslator : public QTranslator {
    Q_OBJECT

public:
    TFrameworkTranslator(TTranslator &translator, QObject *parent);

    // Empty when the text has no translation, so Qt keeps its own.
    QString translate(const char *context, const char *sourceText,
                      const char *disambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override { return false; }

private:
    TTranslator &fTranslator;
};

} // namespace talivo
