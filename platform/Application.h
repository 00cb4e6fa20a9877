#pragma once

#include <QApplication>
#include <exception>
#include <functional>

namespace talivo {

// The application object. An exception that an event handler lets through must not cross Qt's
// event loop: it is shown to the user and the program goes on.
class TApplication : public QApplication {
    Q_OBJECT
public:
    using TShowException = std::function<void(const QString &message)>;

    TApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Delivers the event as QApplication does; an exception it lets through goes to show and
    // the event counts as not handled. An exception thrown while an earlier one is being shown
    // is not shown again, so a handler that keeps failing (a paint handler re-run behind the
    // message box) cannot stack boxes without end.
    static bool Deliver(QObject *receiver, QEvent *event, const TShowException &show);
    // The text shown for an exception: the translated message of an ETranslatableError, what()
    // of another std::exception, else a generic message.
    static QString ExceptionMessage(std::exception_ptr error);
    // The usual display: the prompter's warning, captioned with the application name.
    static void NoticeException(const QString &message);

protected:
    virtual void ShowException(const QString &message);
};

} // namespace talivo
