#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace talivo {

// Opens files, folders and web addresses with whatever the system uses for them.
class IShell {
public:
    virtual ~IShell() = default;
    // Target is a local path or an address ("https://...", "www.example.com"). True when the
    // system accepted the request.
    virtual bool Open(const QString &target) = 0;
};

class TDesktopShell : public IShell {
public:
    bool Open(const QString &target) override;

    // A path that names something local, or is absolute, becomes a file URL; anything else is
    // read as an address the way a user would type it. Empty for an empty target.
    static QUrl TargetUrl(const QString &target);
};

// The shell for tests: opens nothing, records the targets in order.
class TRecordingShell : public IShell {
public:
    bool Open(const QString &target) override
    {
        fOpened << target;
        return fResult;
    }

    const QStringList &Opened() const { return fOpened; }
    void SetResult(bool result) { fResult = result; }

private:
    QStringList fOpened;
    bool fResult = true;
};

} // namespace talivo
