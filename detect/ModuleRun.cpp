#include "detect/ModuleRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>

namespace talivo {

namespace {

// How often a running module is looked at, for Cancel and the time limit.
constexpr int kPollMs = 50;
// An object list larger than this is no list of objects on a picture.
constexpr qint64 kMaxListBytes = 64 << 20;
constexpr int kMaxObjects = 1000000;
// How much of the module's standard error the notice shows.
constexpr int kErrorLineCount = 8;
constexpr int kErrorBytes = 2000;
constexpr int kShownLineLength = 80;

QString Interpreter(const TModuleRunOptions &options)
{
    if (!options.Interpreter.isEmpty())
        return options.Interpreter;
    const QString found = QStandardPaths::findExecutable("python3");
    return found.isEmpty() ? QStringLiteral("python3") : found;
}

QString FirstLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.read(kErrorBytes));
    QStringList lines = text.split(u'\n');
    if (lines.size() > kErrorLineCount)
        lines.resize(kErrorLineCount);
    for (QString &line : lines)
        line.remove(u'\r');
    return lines.join(u'\n').trimmed();
}

// A coordinate on a side of the picture of the given length.
bool ReadCoordinate(const QByteArray &field, int length, double &value)
{
    bool ok = false;
    value = field.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) && value >= -0.5 && value <= length - 0.5;
}

} // namespace

TModuleResult ReadObjectList(const QByteArray &text, QSize picture)
{
    TModuleResult result;
    const auto bad = [&](int line, const QByteArray &content) {
        result.Outcome = moBadOutput;
        result.BadLine = line;
        QString shown = QString::fromUtf8(content);
        if (shown.size() > kShownLineLength)
            shown = shown.left(kShownLineLength) + QStringLiteral("...");
        result.Detail = shown;
        result.Objects.clear();
        return result;
    };
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QList<QByteArray> fields = line.split('\t');
        double x = 0, y = 0;
        if (fields.size() != 2 || !ReadCoordinate(fields[0], picture.width(), x) ||
            !ReadCoordinate(fields[1], picture.height(), y) ||
            result.Objects.size() >= size_t(kMaxObjects))
            return bad(int(i + 1), line);
        result.Objects.emplace_back(x, y);
    }
    return result;
}

TModuleResult RunModuleFile(const QString &moduleFile, const QImage &picture, double diameter,
                            const TModuleRunOptions &options, const TProceed &proceed)
{
    TModuleResult result;
    QTemporaryDir folder;
    if (!folder.isValid()) {
        result.Outcome = moNoPicture;
        result.Detail = folder.errorString();
        return result;
    }
    // The module works in a folder that holds the picture and nothing else; its standard error
    // goes beside it.
    const QString workFolder = folder.filePath("module");
    const QString pictureFile = workFolder + "/picture.png";
    const QString listFile = workFolder + "/objects.tsv";
    const QString errorFile = folder.filePath("errors.txt");
    if (!QDir().mkdir(workFolder)) {
        result.Outcome = moNoPicture;
        result.Detail = QStringLiteral("Cannot create the folder \"%1\".").arg(workFolder);
        return result;
    }
    QImageWriter writer(pictureFile, "png");
    if (!writer.write(picture)) {
        result.Outcome = moNoPicture;
        result.Detail = writer.errorString();
        return result;
    }
    ReportProgress(proceed, -1);

    QProcess process;
    // Nothing the module finds in its working folder can stand in for what it imports.
    process.setWorkingDirectory(workFolder);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(errorFile);
    process.start(Interpreter(options),
                  {moduleFile, pictureFile, listFile, QString::number(diameter, 'g', 10)});
    if (!process.waitForStarted()) {
        result.Outcome = moNotStarted;
        result.Detail = process.errorString();
        return result;
    }
    QElapsedTimer clock;
    clock.start();
    const auto stop = [&](TModuleOutcome outcome) {
        process.kill();
        process.waitForFinished();
        result.Outcome = outcome;
        result.ErrorLines = FirstLines(errorFile);
        return result;
    };
    // A process that has already ended makes waitForFinished answer false as well.
    while (!process.waitForFinished(kPollMs) && process.state() != QProcess::NotRunning) {
        if (proceed && !proceed(-1))
            return stop(moCancelled);
        if (clock.elapsed() > options.TimeLimitMs)
            return stop(moTimedOut);
    }
    result.ErrorLines = FirstLines(errorFile);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        result.Outcome = moFailed;
        result.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return result;
    }
    QFile list(listFile);
    if (!list.open(QIODevice::ReadOnly) || list.size() > kMaxListBytes) {
        result.Outcome = moBadOutput;
        return result;
    }
    TModuleResult read = ReadObjectList(list.readAll(), picture.size());
    read.ErrorLines = result.ErrorLines;
    return read;
}

} // namespace talivo
