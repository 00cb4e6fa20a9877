#include "tools/cli/CliOutput.h"

namespace talivo {

void TCliOutput::Complain(const QString &message)
{
    QString line = message;
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    Put(fErr, ("talivo-cli: " + line + '\n').toUtf8());
}

bool TCliOutput::Finish()
{
    if (std::fflush(fOut) != 0 || std::ferror(fOut))
        fFailed = true;
    std::fflush(fErr);
    return !fFailed;
}

void TCliOutput::Put(std::FILE *stream, const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) != size_t(bytes.size()))
        fFailed = true;
}

} // namespace talivo
