#include "tools/cli/CliCommands.h"

#include "app/Export.h"
#include "app/ImageFile.h"
#include "app/MarkedImage.h"
#include "app/ProposedMarks.h"
#include "detect/Detector.h"
#include "graph/canvas/CanvasColors.h"
#include "graph/objects/GraphDocument.h"
#include "settings/VersionInfo.h"
#include "tools/cli/CliOutput.h"
#include "tools/cli/MeasurementFile.h"

#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <memory>

namespace talivo {

namespace {

// The exported group id, as the export writes it.
constexpr int kFirstGroupId = 1000;

QString Plural(int count, const QString &one, const QString &many)
{
    return QString::number(count) + ' ' + (count == 1 ? one : many);
}

// Each file's groups one line each. A file that cannot be read contributes no line at all, so
// that the table never holds half a file.
TCliStatus Counts(const QStringList &files, TCliOutput &output)
{
    TCliStatus status = csSuccess;
    output.Print("File\tGroupId\tDescription\tMarks\tStored\n");
    for (const QString &fileName : files) {
        try {
            const auto file = OpenMeasurementFile(fileName);
            const std::vector<int> marks = file->Recount();
            QString lines;
            bool differ = false;
            const std::vector<TGroupRow> &groups = file->Groups().Rows();
            for (size_t i = 0; i < groups.size(); ++i) {
                const TGroupRow &group = groups[i];
                lines += QStringList{fileName, QString::number(group.Id - kFirstGroupId),
                                     QString(group.Description).remove(u'\t'),
                                     QString::number(marks[i]), QString::number(group.Count)}
                             .join(u'\t') +
                         '\n';
                differ = differ || marks[i] != group.Count;
            }
            output.Print(lines);
            if (differ)
                output.Complain(fileName + ": stored counts differ from the marks");
        } catch (const ECliInputError &error) {
            output.Complain(error.what());
            status = csBadInput;
        }
    }
    return status;
}

TCliStatus Check(const QStringList &files, TCliOutput &output)
{
    TCliStatus status = csSuccess;
    for (const QString &fileName : files) {
        std::unique_ptr<TMeasurementDocument> file;
        try {
            file = OpenMeasurementFile(fileName);
        } catch (const ECliInputError &error) {
            output.Print(fileName + ": damaged\n");
            output.Complain(error.what());
            status = csBadInput;
            continue;
        }
        QStringList problems;
        if (const int orphans = file->MarksWithoutGroup())
            problems << Plural(orphans, "mark whose group is missing",
                               "marks whose group is missing");
        const std::vector<int> marks = file->Recount();
        const std::vector<TGroupRow> &groups = file->Groups().Rows();
        for (size_t i = 0; i < groups.size(); ++i) {
            const TGroupRow &group = groups[i];
            if (marks[i] != group.Count)
                problems << QString("group %1 (%2) stores the count %3 but has %4")
                                .arg(group.Id - kFirstGroupId)
                                .arg(group.Description)
                                .arg(group.Count)
                                .arg(Plural(marks[i], "mark", "marks"));
        }
        output.Print(QString("%1: %2, %3; %4\n")
                         .arg(fileName, Plural(file->MarkCount(), "mark", "marks"),
                              Plural(file->Groups().RowCount(), "group", "groups"),
                              problems.isEmpty() ? "no problems" : problems.join("; ")));
    }
    return status;
}

TCliStatus Export(const TCliCall &call, TCliOutput &output)
{
    try {
        const auto file = OpenMeasurementFile(call.Files.first());
        const QStringList lines = ExportLines(file->Groups().Rows(), file->Marks().Objects());
        if (call.Out)
            WriteExportFile(*call.Out, lines);
        else
            output.Write(ExportFileBytes(lines));
    } catch (const std::exception &error) {
        output.Complain(error.what());
        return csBadInput;
    }
    return csSuccess;
}

TCliStatus Render(const TCliCall &call, TCliOutput &output)
{
    QImage image = ReadImageFile(call.Image);
    if (image.isNull()) {
        output.Complain(call.Image + ": not a readable GIF, JPEG, PNG, BMP or TIFF image");
        return csBadInput;
    }
    try {
        const auto file = OpenMeasurementFile(call.Files.first(), std::move(image));
        file->SetPictureFileName(QFileInfo(call.Image).canonicalFilePath());
        if (call.PointSize)
            ResizeMarks(file->Marks(), *call.PointSize);
        SaveImageWithMarks(file->Marks(), *call.Out);
    } catch (const std::exception &error) {
        output.Complain(error.what());
        return csBadInput;
    }
    return csSuccess;
}

// The one group of a detected measurement, as a new group of the window would be.
TGroupRow DetectedGroup()
{
    return {.Id = kFirstGroupId, .Description = "Autodetect", .Color = clRed, .Count = 0};
}

TCliStatus Detect(const TCliCall &call, TCliOutput &output)
{
    const QImage image = ReadImageFile(call.Image);
    if (image.isNull()) {
        output.Complain(call.Image + ": not a readable GIF, JPEG, PNG, BMP or TIFF image");
        return csBadInput;
    }
    TDetectOptions options;
    options.Diameter = call.Diameter ? *call.Diameter : EstimateDiameter(image);
    options.Polarity = call.Polarity.value_or(opAutomatic);
    options.Sensitivity = call.Sensitivity.value_or(kDefaultSensitivity);
    const TDetection detection = DetectObjects(image, options);
    std::vector<TPoint> points;
    points.reserve(detection.Objects.size());
    for (const TDetectedObject &object : detection.Objects)
        points.push_back(PixelOf(object.X, object.Y, image.size()));
    if (!call.Out) {
        QString lines;
        for (const TPoint &point : points)
            lines += QString("%1\t%2\n").arg(point.X).arg(point.Y);
        output.Print(lines);
        return csSuccess;
    }
    try {
        TGraphDocument graph;
        PrepareDocument(graph);
        PlaceImage(graph, image);
        // The marks are as large as the objects; the window fits them to its slider on opening.
        const auto r = static_cast<int32_t>(std::max(1L, std::lrint(options.Diameter / 2)));
        TGroupRow group = DetectedGroup();
        group.Count = AddProposedMarks(graph, points, group, r, r);
        SaveMeasurement(graph, {GroupRecordFields(group)}, *call.Out);
    } catch (const std::exception &error) {
        output.Complain(error.what());
        return csBadInput;
    }
    return csSuccess;
}

TCliStatus Version(TCliOutput &output)
{
    const QString version = GetVersionInfoValue(QString(), vkFileVersion);
    if (version.isEmpty()) {
        output.Complain("the program file carries no version information");
        return csBadInput;
    }
    output.Print("talivo-cli " + version + '\n');
    return csSuccess;
}

} // namespace

TCliStatus RunCliCall(const TCliCall &call, TCliOutput &output)
{
    switch (call.Command) {
    case ccHelp:
        output.Print(CliUsage());
        return csSuccess;
    case ccVersion:
        return Version(output);
    case ccCounts:
        return Counts(call.Files, output);
    case ccExport:
        return Export(call, output);
    case ccRender:
        return Render(call, output);
    case ccCheck:
        return Check(call.Files, output);
    case ccDetect:
        return Detect(call, output);
    }
    return csWrongCall;
}

} // namespace talivo
