#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>

namespace talivo {

// Standard output and standard error of talivo-cli. Text goes out as UTF-8, bytes as they are.
// A write that fails is remembered, so that a full disk or a closed pipe is not reported as
// success.
class TCliOutput {
public:
    TCliOutput(std::FILE *out, std::FILE *err) : fOut(out), fErr(err) {}

    void Write(const QByteArray &bytes) { Put(fOut, bytes); }
    void Print(const QString &text) { Put(fOut, text.toUtf8()); }
    // One line on standard error, "talivo-cli: " and the message with its line breaks flattened.
    void Complain(const QString &message);

    // Flushes both streams; false when anything failed to go out.
    bool Finish();

private:
    void Put(std::FILE *stream, const QByteArray &bytes);

    std::FILE *fOut;
    std::FILE *fErr;
    bool fFailed = false;
};

} // namespace talivo
