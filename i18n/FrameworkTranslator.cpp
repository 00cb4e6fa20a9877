#include "i18n/FrameworkTranslator.h"

#include "i18n/TranslationError.h"
#include "i18n/Translator.h"

#include <QCoreApplication>
#include <QThread>

namespace talivo {

TFrameworkTranslator::TFrameworkTranslator(TTranslator &translator, QObject *parent)
    : QTranslator(parent), fTranslator(translator)
{}

QString TFrameworkTranslator::translate(const char *, const char *sourceText, const char *,
                                        int) const
{
    const QCoreApplication *application = QCoreApplication::instance();
    if (!sourceText || !application || QThread::currentThread() != application->thread())
        return {};
    const QString text = QString::fromUtf8(sourceText);
    try {
        QString translation = fTranslator.LoadResString(text);
        if (translation == text)
            return {};
        // Lookups hand line ends back as carriage return and line feed, but Qt breaks its lines
        // with a line feed alone and would show the carriage return in a label.
        if (!text.contains(u'\r'))
            translation.remove(u'\r');
        return translation;
    } catch (const ETranslationError &) {
        // Qt's code is not exception-safe; a catalog that cannot be read leaves its texts as
        // they are, and the program's own lookups report the error.
        return {};
    }
}

} // namespace talivo
