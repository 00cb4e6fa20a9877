#pragma once

#include <QString>

namespace talivo::test {

// A fresh temporary folder for one test; removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const QString &path() const { return fPath; }
    QString file(const QString &name) const;

private:
    QString fPath;
};

} // namespace talivo::test
