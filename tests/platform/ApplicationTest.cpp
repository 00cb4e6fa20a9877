#include "platform/Application.h"

#include "platform/Platform.h"
#include "platform/ScriptedPrompter.h"

#include <QEvent>
#include <gtest/gtest.h>
#include <stdexcept>

namespace talivo {
namespace {

// Throws from its event handler what the test asks for.
class TThrower : public QObject {
public:
    std::function<void()> Throw;
    int Handled = 0;

protected:
    bool event(QEvent *) override
    {
        ++Handled;
        if (Throw)
            Throw();
        return true;
    }
};

TEST(Application, ExceptionFromAHandlerIsShownAndTheProgramGoesOn)
{
    TScriptedPrompter prompter;
    TScopedPrompter guard(&prompter);
    TThrower thrower;
    QEvent event(QEvent::User);

    EXPECT_TRUE(TApplication::Deliver(&thrower, &event, TApplication::NoticeException));

    thrower.Throw = [] { throw std::runtime_error("Error# 350: Image format is not supported."); };
    EXPECT_FALSE(TApplication::Deliver(&thrower, &event, TApplication::NoticeException));
    thrower.Throw = [] { throw 42; };
    EXPECT_FALSE(TApplication::Deliver(&thrower, &event, TApplication::NoticeException));

    ASSERT_EQ(prompter.Asked().size(), 2u);
    EXPECT_EQ(prompter.Asked()[0].Kind, TPromptKind::pkNotice);
    EXPECT_EQ(prompter.Asked()[0].Text, "Error# 350: Image format is not supported.");
    EXPECT_EQ(prompter.Asked()[0].Caption, QCoreApplication::applicationName());
    EXPECT_EQ(prompter.Asked()[1].Text, "An unknown error occurred.");
    EXPECT_EQ(thrower.Handled, 3);
}

TEST(Application, ExceptionWhileOneIsShownIsNotShownAgain)
{
    TThrower thrower;
    thrower.Throw = [] { throw std::runtime_error("paint failed"); };
    QEvent event(QEvent::User);
    QStringList shown;
    const TApplication::TShowException show = [&](const QString &message) {
        shown << message;
        // The handler fails again while its message is up, as a repaint behind the box would.
        QEvent again(QEvent::User);
        EXPECT_FALSE(TApplication::Deliver(&thrower, &again, show));
    };

    EXPECT_FALSE(TApplication::Deliver(&thrower, &event, show));
    EXPECT_EQ(shown, QStringList{"paint failed"});
    EXPECT_FALSE(TApplication::Deliver(&thrower, &event, show));
    EXPECT_EQ(shown.size(), 2) << "the next failure after the box closed is shown";
}

} // namespace
} // namespace talivo
