#include "platform/Application.h"

#include "platform/Platform.h"
#include "platform/ScriptedPrompter.h"
#include "platform/TranslatableError.h"

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
    EXPECT_EQ(prompter.Asked()[0].Kind, TPromptKind::pkWarning);
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

// The texts of errors raised below the counting workspace are translated only when shown.
TEST(Application, ShowsTranslatableErrorsInTheInstalledTranslation)
{
    const ETranslatableError error(N_("Cannot open file %1: %2"), {"%2 50%.tlv", "Gone"});
    EXPECT_STREQ(error.what(), "Cannot open file %2 50%.tlv: Gone");
    EXPECT_STREQ(error.Text(), "Cannot open file %1: %2");
    const auto message = [&] {
        return TApplication::ExceptionMessage(std::make_exception_ptr(error));
    };

    ETranslatableError::SetTranslation([](const QString &text) {
        return text == "Cannot open file %1: %2" ? QString("%2 - %1 kann nicht geöffnet werden")
                                                 : text;
    });
    EXPECT_EQ(message(), "Gone - %2 50%.tlv kann nicht geöffnet werden");
    // A translation that fails leaves the English message rather than hiding the error.
    ETranslatableError::SetTranslation(
        [](const QString &) -> QString { throw std::runtime_error("the catalog cannot be read"); });
    EXPECT_EQ(message(), "Cannot open file %2 50%.tlv: Gone");
    ETranslatableError::SetTranslation(nullptr);
    EXPECT_EQ(message(), "Cannot open file %2 50%.tlv: Gone");
    // Placeholders without a value stay as written.
    EXPECT_EQ(ETranslatableError::Fill("%0 %1 %3 100%", {"a", "b"}), "%0 a %3 100%");
}

} // namespace
} // namespace talivo
