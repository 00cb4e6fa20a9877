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
#include <QSlider>
#include <QToolButton>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace talivo {

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

void TFormMain::DeleteSelectedMarks()
{
    TGraphControl &graph = Canvas();
    const TGraphObjectList &selected = graph.SelectedObjects();
    std::vector<TGraphObject *> marks;
    marks.reserve(static_cast<size_t>(selected.Count()));
    for (int32_t i = 0; i < selected.Count(); ++i)
        marks.push_back(selected[i]);
    fMeasurement.DeleteMarks(marks);
}

void TFormMain::AddMark(int32_t x, int32_t y, int32_t r, int groupId)
{
    fMeasurement.AddMark({x, y}, r, groupId, PointSize());
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

void TFormMain::TrackBarPointSizeChange()
{
    if (fGraph)
        ResizeMarks(fGraph->Document(), PointSize());
}

} // namespace talivo
