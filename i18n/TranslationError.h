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

// A catalog that cannot be opened, mapped or read.
class ETrIOError : public ETranslationError {
public:
    using ETranslationError::ETranslationError;
};

} // namespace talivo
