#include "platform/Application.h"

#include "platform/Platform.h"
#include "platform/Process.h"
#include "platform/TranslatableError.h"

namespace talivo {

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    ReportFileSizeLimitAsError();
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    return Deliver(receiver, event, [this](const QString &message) { ShowException(message); });
}

bool TApplication::Deliver(QObject *receiver, QEvent *event, const TShowException &show)
{
    thread_local bool showing = false;
    QString message;
    try {
        return qApp->QApplication::notify(receiver, event);
    } catch (...) {
        message = ExceptionMessage(std::current_exception());
    }
    if (!showing) {
        struct TShowing {
            TShowing() { showing = true; }
            ~TShowing() { showing = false; }
        } guard;
        show(message);
    }
    return false;
}

QString TApplication::ExceptionMessage(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const ETranslatableError &e) {
        return e.Translated();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("An unknown error occurred.");
    }
}

void TApplication::NoticeException(const QString &message)
{
    Prompter().Warning(message, QCoreApplication::applicationName());
}

void TApplication::ShowException(const QString &message)
{
    NoticeException(message);
}

} // namespace talivo
