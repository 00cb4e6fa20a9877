#include "platform/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace talivo {

QUrl TDesktopShell::TargetUrl(const QString &target)
{
    if (target.trimmed().isEmpty())
        return {};
    const QFileInfo info(target);
    if (QDir::isAbsolutePath(target) || info.exists())
        return QUrl::fromLocalFile(info.absoluteFilePath());
    return QUrl::fromUserInput(target);
}

bool TDesktopShell::Open(const QString &target)
{
    const QUrl url = TargetUrl(target);
    return url.isValid() && QDesktopServices::openUrl(url);
}

} // namespace talivo
