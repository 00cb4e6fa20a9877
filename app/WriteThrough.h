#pragma once

#include <QIODevice>

namespace talivo {

// A write-only device that passes every write on to another, open device: a wrapper that watches
// the writes (a job's progress) can then stand before a device it does not make itself.
class TWriteThrough : public QIODevice {
public:
    explicit TWriteThrough(QIODevice &target) : fTarget(target) {}

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override { return fTarget.write(data, size); }

private:
    QIODevice &fTarget;
};

} // namespace talivo
