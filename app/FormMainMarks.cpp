#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "app/MarkStyle.h"
#include "app/Measurement.h"
#include "app/ProposedMarks.h"
#include "graph/control/GraphControl.h"
#include "graph/objects/GraphNode.h"
#include "i18n/Translation.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QScopedValueRollback>
#include <QSlider>
#include <QToolButton>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace talivo {

namespace {

constexpr TColor kUnknownGroupColor = 0x00FF0000;
constexpr std::string_view kMarkClass = "TCircularNode";

} // namespace

TGraphControl &TFormMain::Canvas() const
{
    if (!fGraph)
        throw std::logic_error("The canvas has not been created.");
    return *fGraph;
}

int TFormMain::PointSize() const
{
    return fTrackBarPointSize->value();
}

void TFormMain::ToolButtonAddClick()
{
    if (fGraph)
        fGraph->SetCursor(crCross);
}

void TFormMain::ToolButtonDeleteClick()
{
    if (!fGraph)
        return;
    fGraph->SetCursor(crArrow);
    fGraph->SetCommandMode(cmEdit);
}

void TFormMain::ToolButtonMoveClick()
{
    if (!fGraph)
        return;
    fGraph->SetCursor(crArrow);
    fGraph->SetCommandMode(cmEdit);
}

void TFormMain::ToolButtonHideClick()
{
    if (!fGraph)
        return;
    const bool visible = !fToolButtonHide->isChecked();
    TGraphObjectList &objects = fGraph->Objects();
    const TUpdateBatch batch(*fGraph);
    for (int32_t i = 0; i < objects.Count(); ++i)
        objects[i]->SetVisible(visible);
}

void TFormMain::GraphControlMouseUp(TGraphControl *, TMouseButton Button, TShiftState, int32_t X,
                                    int32_t Y)
{
    const bool adds = fToolButtonAdd->isChecked() && Button != mbRight;
    const bool deletes =
        fToolButtonDel->isChecked() || (fToolButtonAdd->isChecked() && Button == mbRight);
    TGraphControl &graph = Canvas();
    const TPoint point = graph.ClientToGraph(X, Y);
    if (fMeasurement.Groups().RowCount() == 0) {
        Prompter().Notice(_("No group available."), QCoreApplication::applicationName());
        return;
    }
    if (adds && !graph.ObjectAtCursor()) {
        const int row = fListViewGroups->Selected();
        if (row >= 0)
            AddMark(point.X, point.Y, PointSize(), fMeasurement.Groups().Id(row));
    }
    if (deletes)
        DeleteSelectedMarks();
}

// Numbers and counts come from one recount after all deletions: recounting after each of them
// would make a rubber band over many marks quadratic, and ends in the same numbers. The walk runs
// from the end of the selection, where taking an object out of the list costs nothing.
void TFormMain::DeleteSelectedMarks()
{
    TGraphControl &graph = Canvas();
    TGraphObjectList &selected = graph.SelectedObjects();
    bool deleted = false;
    {
        const TUpdateBatch batch(graph);
        for (int32_t i = selected.Count() - 1; i >= 0; i = std::min(i - 1, selected.Count() - 1))
            deleted = TGraphObject::Delete(selected[i]) || deleted;
        if (deleted)
            RecountMarks();
    }
    if (deleted)
        fMeasurement.MarkChanged();
}

void TFormMain::AddMark(int32_t x, int32_t y, int32_t r, int groupId)
{
    const int row = fMeasurement.Groups().RowOfGroup(groupId);
    // A mark of a group the table lacks is blue and has no number.
    const TColor color = row >= 0 ? fMeasurement.Groups().Color(row) : kUnknownGroupColor;
    const int number = row >= 0 ? CountPlus(fMeasurement.Groups().Count(row), 1) : 0;
    InsertMark(Canvas().Document(), {x, y}, r, groupId, color,
               row >= 0 ? MarkText(number) : QString(), PointSize());
    if (row >= 0)
        fMeasurement.Groups().SetCount(row, number);
    fMeasurement.MarkChanged();
}

void TFormMain::RecountMarks()
{
    fMeasurement.Groups().SetCounts(fMeasurement.Recount());
}

// Walks from the end, where taking an object out of the list costs nothing; from the front each
// deletion would move every object behind it.
void TFormMain::ClearMarks()
{
    if (fGraph) {
        TGraphObjectList &objects = fGraph->Objects();
        {
            const TUpdateBatch batch(*fGraph);
            for (int32_t i = objects.Count() - 1; i >= 0; i = std::min(i - 1, objects.Count() - 1))
                TGraphObject::Delete(objects[i]);
        }
    }
    fMeasurement.Groups().SetCounts(std::vector<int>(fMeasurement.Groups().Rows().size(), 0));
}

void TFormMain::DeselectAllMarks()
{
    if (fGraph)
        fGraph->ClearSelection();
}

void TFormMain::RemoveGroupMarks(int groupId)
{
    if (!fGraph)
        return;
    TGraphObjectList &objects = fGraph->Objects();
    const TUpdateBatch batch(*fGraph);
    for (int32_t i = objects.Count() - 1; i >= 0; i = std::min(i - 1, objects.Count() - 1)) {
        if (objects[i]->ClassName() == kMarkClass && objects[i]->Tag() == groupId)
            objects.Delete(i);
    }
}

void TFormMain::RecolourGroupMarks(int groupId, TColor color)
{
    if (!fGraph)
        return;
    const TColor textColor = MarkTextColor(color);
    TGraphObjectList &objects = fGraph->Objects();
    const TUpdateBatch batch(*fGraph);
    for (int32_t i = 0; i < objects.Count(); ++i) {
        TGraphObject *object = objects[i];
        if (object->Tag() != groupId)
            continue;
        object->Brush().SetColor(color);
        object->Pen().SetColor(color);
        object->Font().SetColor(textColor);
    }
}

void TFormMain::TrackBarPointSizeChange()
{
    if (!fGraph)
        return;
    const QScopedValueRollback<bool> resizing(fResizingMarks, true);
    ResizeMarks(fGraph->Document(), PointSize());
}

} // namespace talivo
