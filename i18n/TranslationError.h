#pragma once

#include <QString>
#include <stdexcept>

namespace talivo {

// The base of the translation unit's errors; the message is kept in UTF-8.
class ETranslationError : public std::runtime_error {
public:
    explicit ETranslationError(const QString &message)
        : std::runtime_error(message.toUtf8().toStdString())
    {}
};

// The translation unit used the wrong way: a rule registered twice, a window retranslated before
// it was translated.
class ETrProgrammingError : public ETranslationError {
public:
    using ETranslationError::ETranslationError;
};

// A text of a window that cannot be looked up or written back.
class ETrComponentError : public ETranslationError {
public:
    using ETranslationError::ETranslationError;
};

// A catalog that cannot be opened, mapped or read.
class ETrIOError : public ETranslationError {
public:
    using ETranslationError::ETranslationError;
};

} // namespace talivo
