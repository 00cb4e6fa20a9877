#pragma once

#include "graph/canvas/CanvasColors.h"
#include "tests/app/MarkingWorkspace.h"

#include <functional>

namespace talivo::test {

// The window after a user's first steps: a picture, one group and two marks placed by clicks.
class KeepWork : public MarkingWorkspace {
protected:
    int StartCounting()
    {
        Open(400, 300);
        const int id = AddGroup(clLime);
        Press("ToolButtonAdd");
        Click({100, 100});
        Click({200, 150});
        return id;
    }
    // The message of what the call throws; empty when it throws nothing.
    static QString Thrown(const std::function<void()> &call)
    {
        try {
            call();
        } catch (const std::exception &error) {
            return QString::fromUtf8(error.what());
        }
        return {};
    }
    QToolButton &Tool(const char *name) { return *Form().findChild<QToolButton *>(name); }

    // Everything of the document and the view that a user sees or saves.
    QStringList Snapshot()
    {
        QStringList state;
        const TGraphObjectList &objects = Graph().Objects();
        for (int32_t i = 0; i < objects.Count(); ++i) {
            const TRect r = objects[i]->BoundsRect();
            state << QString("%1 %2 %3 %4,%5,%6,%7 %8")
                         .arg(QString::fromStdString(std::string(objects[i]->ClassName())),
                              objects[i]->Text())
                         .arg(objects[i]->Tag())
                         .arg(r.Left)
                         .arg(r.Top)
                         .arg(r.Right)
                         .arg(r.Bottom)
                         .arg(objects[i]->Visible());
        }
        for (int row = 0; row < Groups().RowCount(); ++row)
            state << QStringList{Groups().Text(row, gfCaption), Groups().Text(row, gfCount),
                                 Groups().Text(row, gfDescription), Groups().Text(row, gfId),
                                 Groups().Text(row, gfColor)}
                         .join('|');
        const QImage &picture = Graph().Background().Image();
        state << QString("picture %1x%2 %3")
                     .arg(picture.width())
                     .arg(picture.height())
                     .arg(picture.cacheKey());
        state << QString("zoom %1 %2 size %3")
                     .arg(Slider("TrackBarZoom").value())
                     .arg(Graph().Zoom())
                     .arg(Slider("TrackBarPointSize").value());
        state << "status " + Form().StatusText(0) + " | " + Form().StatusText(1);
        state << QString("unsaved %1 selected %2 mode %3")
                     .arg(Form().Unsaved())
                     .arg(List().Selected())
                     .arg(Graph().CommandMode());
        for (const char *tool :
             {"ToolButtonAdd", "ToolButtonDel", "ToolButtonMove", "ToolButtonHide"})
            state << QString("%1 %2").arg(tool).arg(Tool(tool).isChecked());
        return state;
    }
};

} // namespace talivo::test
