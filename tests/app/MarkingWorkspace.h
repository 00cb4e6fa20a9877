#pragma once

#include "graph/objects/GraphNode.h"
#include "tests/app/Workspace.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSlider>
#include <QToolButton>

namespace talivo::test {

// The main window with a canvas of exactly 800 by 600 pixels, driven by the mouse like a user.
class MarkingWorkspace : public Workspace {
protected:
    MarkingWorkspace()
    {
        for (int i = 0; i < 4 && Graph().size() != QSize(800, 600); ++i) {
            Form().resize(Form().size() + QSize(800, 600) - Graph().size());
            QApplication::processEvents();
        }
    }

    // Opens a picture of the given size and format with "Open image ...".
    void Open(int width, int height, QImage::Format format = QImage::Format_RGB32)
    {
        QImage image(width, height, format);
        image.fill(QColor(128, 128, 128));
        const QString name = fDir.file(QString("open%1.png").arg(++fOpened));
        ASSERT_TRUE(image.save(name));
        fPrompter.PushFile(name);
        Form().Openimage1Click();
        Finish();
    }
    int AddGroup(TColor color)
    {
        Form().AddGroupRow("group", color, 0, 0);
        return Groups().Id(Groups().RowCount() - 1);
    }
    void Press(const char *tool) { Form().findChild<QToolButton *>(tool)->click(); }
    QSlider &Slider(const char *name) { return *Form().findChild<QSlider *>(name); }

    void Mouse(QEvent::Type type, TPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        const TPoint client = Graph().GraphToClient(at.X, at.Y);
        const QPointF local(client.X, client.Y);
        QMouseEvent event(type, local, Graph().viewport()->mapToGlobal(local), button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(Graph().viewport(), &event);
    }
    void Click(TPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        Mouse(QEvent::MouseButtonPress, at, button, button);
        Mouse(QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    }

    TGraphNode &Mark(int index) { return dynamic_cast<TGraphNode &>(*Graph().Objects()[index]); }
    // The captions of the group's marks in canvas order.
    QStringList Texts(int groupId)
    {
        QStringList texts;
        for (int32_t i = 0; i < Graph().Objects().Count(); ++i)
            if (Graph().Objects()[i]->Tag() == groupId)
                texts << Graph().Objects()[i]->Text();
        return texts;
    }
    QStringList Counts()
    {
        QStringList counts;
        for (int row = 0; row < Groups().RowCount(); ++row)
            counts << Groups().Text(row, gfCount);
        return counts;
    }

    int fOpened = 0;
};

} // namespace talivo::test
