#include "app/Export.h"
#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "graph/control/GraphControl.h"
#include "i18n/Translation.h"
#include "platform/Platform.h"

namespace talivo {

void TFormMain::Exportmeasurement1Click()
{
    TFileDialogOptions options;
    options.Filters = {{_("*.txt"), "*.txt"}, {_("*.*"), "*.*"}};
    options.DefaultExt = ".txt";
    const std::optional<QString> fileName = ChooseFile(fkExport, true, options);
    // Asked here rather than by the dialog, which not every platform makes ask.
    if (!fileName || !MayWrite(*fileName))
        return;

    // Without a canvas there are no marks, and no marks make an empty file.
    const TGraphControl *graph = Graph();
    WriteExportFile(*fileName, graph ? ExportLines(fMeasurement.Groups().Rows(), graph->Objects())
                                     : QStringList());
}

void TFormMain::GridCopyToClipboard1Click()
{
    QStringList counts;
    for (const TGroupRow &group : fMeasurement.Groups().Rows())
        counts << QString::number(group.Count);
    Clipboard().SetText(counts.join(u'\t'));
}

} // namespace talivo
