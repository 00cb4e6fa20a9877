#include "tools/cli/CliCall.h"

namespace talivo {

namespace {

[[noreturn]] void Fail(const QString &problem)
{
    throw ECliUsageError(problem.toStdString());
}

std::optional<TCliCommand> CommandNamed(const QString &name)
{
    if (name == "counts")
        return ccCounts;
    if (name == "export")
        return ccExport;
    if (name == "render")
        return ccRender;
    if (name == "check")
        return ccCheck;
    if (name == "detect")
        return ccDetect;
    return std::nullopt;
}

int PointSizeFrom(const QString &text)
{
    bool ok = false;
    const int size = text.toInt(&ok);
    if (!ok || size < kMinPointSize || size > kMaxPointSize)
        Fail(QString("--point-size takes a whole number from %1 to %2, not \"%3\"")
                 .arg(kMinPointSize)
                 .arg(kMaxPointSize)
                 .arg(text));
    return size;
}

double NumberFrom(const QString &option, const QString &text, double low, double high)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !(value >= low && value <= high))
        Fail(QString("%1 takes a number from %2 to %3, not \"%4\"")
                 .arg(option)
                 .arg(low)
                 .arg(high)
                 .arg(text));
    return value;
}

} // namespace

TCliCall ParseCliCall(const QStringList &arguments)
{
    if (arguments.isEmpty())
        Fail("no command given");
    TCliCall call;
    const QStringList options = arguments.mid(0, arguments.indexOf("--"));
    if (options.contains("--help") || options.contains("-h"))
        return call;
    if (arguments.first() == "--version") {
        if (arguments.size() > 1)
            Fail("--version takes no arguments");
        call.Command = ccVersion;
        return call;
    }
    const std::optional<TCliCommand> command = CommandNamed(arguments.first());
    if (!command)
        Fail(QString("unknown command \"%1\"").arg(arguments.first()));
    call.Command = *command;

    QStringList operands;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        // A value that an option needs must follow it.
        const auto value = [&]() -> QString {
            if (i + 1 >= arguments.size())
                Fail(QString("%1 needs a value").arg(argument));
            return arguments[++i];
        };
        if (optionsEnded || argument == "-" || !argument.startsWith('-')) {
            operands << argument;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if ((call.Command == ccExport || call.Command == ccDetect) && argument == "-o" &&
                   !call.Out) {
            call.Out = value();
        } else if (call.Command == ccDetect && argument == "--diameter" && !call.Diameter) {
            call.Diameter = NumberFrom(argument, value(), kMinDiameter, kMaxDiameter);
        } else if (call.Command == ccDetect && argument == "--sensitivity" && !call.Sensitivity) {
            call.Sensitivity = NumberFrom(argument, value(), kMinSensitivity, kMaxSensitivity);
        } else if (call.Command == ccDetect && (argument == "--dark" || argument == "--bright") &&
                   !call.Polarity) {
            call.Polarity = argument == "--dark" ? opDark : opBright;
        } else if (call.Command == ccRender && argument == "--point-size" && !call.PointSize) {
            call.PointSize = PointSizeFrom(value());
        } else if (call.Command == ccRender && argument.startsWith("--point-size=") &&
                   !call.PointSize) {
            call.PointSize = PointSizeFrom(argument.mid(qsizetype(sizeof("--point-size=") - 1)));
        } else {
            Fail(QString("unknown or repeated option \"%1\" for %2")
                     .arg(argument, arguments.first()));
        }
    }

    switch (call.Command) {
    case ccCounts:
    case ccCheck:
        if (operands.isEmpty())
            Fail(QString("%1 needs at least one measurement file").arg(arguments.first()));
        call.Files = operands;
        break;
    case ccExport:
        if (operands.size() != 1)
            Fail("export takes exactly one measurement file");
        call.Files = operands;
        break;
    case ccRender:
        if (operands.size() != 3)
            Fail("render takes an image, a measurement file and an output picture");
        call.Image = operands[0];
        call.Files = {operands[1]};
        call.Out = operands[2];
        break;
    case ccDetect:
        if (operands.size() != 1)
            Fail("detect takes exactly one picture");
        call.Image = operands[0];
        break;
    case ccHelp:
    case ccVersion:
        break;
    }
    return call;
}

QString CliUsage()
{
    return QStringLiteral(
        "Usage: talivo-cli COMMAND [ARGUMENTS]\n"
        "Works on Talivo measurement files (*.tlv) without a window.\n"
        "\n"
        "Commands:\n"
        "  counts FILE.tlv...      one tab-separated line per group and file: file, group id,\n"
        "                          description, marks counted, count stored in the file\n"
        "  export FILE.tlv [-o OUT]\n"
        "                          the text \"Export measurement ...\" writes (Windows-1252,\n"
        "                          CR LF), to standard output unless OUT is given\n"
        "  render IMAGE FILE.tlv OUT [--point-size N]\n"
        "                          the image with the marks drawn in, as \"Save image ...\"\n"
        "                          writes it; OUT's extension picks BMP, JPEG, PNG or TIFF.\n"
        "                          Marks keep their stored size unless N (5 to 245) is given\n"
        "  check FILE.tlv...       the number of marks and groups of each file, and its problems\n"
        "  detect IMAGE [--diameter N] [--dark|--bright] [--sensitivity S] [-o OUT.tlv]\n"
        "                          finds the round objects in the image as \"Auto detect\" does:\n"
        "                          objects of about N pixels across (estimated from the image\n"
        "                          when not given), dark or bright ones (decided from the image\n"
        "                          when not given), S from 0 (only clear ones) to 100 (faint\n"
        "                          ones too, 50 when not given). Writes a measurement file with\n"
        "                          one group \"Autodetect\" and a mark per object to OUT, or one\n"
        "                          line x TAB y per object in image pixels to standard output\n"
        "\n"
        "Options:\n"
        "  -h, --help              this text\n"
        "  --version               the program's file version\n"
        "\n"
        "Exit status: 0 on success, 1 when a file cannot be read or written or is damaged,\n"
        "2 for a wrong call. Text other than the export is UTF-8 with LF line ends.\n");
}

} // namespace talivo
