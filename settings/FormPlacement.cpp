#include "settings/FormPlacement.h"

#include "settings/IniDocument.h"
#include "settings/MemIniFile.h"
#include "settings/VersionInfo.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace talivo {

namespace {

constexpr int kDefaultLeft = 10;
constexpr int kDefaultTop = 10;
constexpr int kDefaultRight = 810;
constexpr int kDefaultBottom = 610;
constexpr int kStateNormal = 0;
constexpr int kStateMinimized = 1;
constexpr int kStateMaximized = 2;

QString SectionOf(const QWidget &window)
{
    const QString name = QString::fromLatin1(window.metaObject()->className());
    return name.mid(name.lastIndexOf(u':') + 1);
}

// The screen that holds the point, else the one nearest to it.
QScreen *ScreenNearest(qint64 x, qint64 y)
{
    QScreen *nearest = nullptr;
    double best = 0;
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect area = screen->geometry();
        const qint64 right = qint64(area.x()) + area.width();
        const qint64 bottom = qint64(area.y()) + area.height();
        const double dx = double(std::max({qint64(area.x()) - x, x - right + 1, qint64(0)}));
        const double dy = double(std::max({qint64(area.y()) - y, y - bottom + 1, qint64(0)}));
        const double distance = dx * dx + dy * dy;
        if (!nearest || distance < best) {
            nearest = screen;
            best = distance;
        }
    }
    return nearest;
}

} // namespace

QRect FitPlacement(qint64 left, qint64 top, qint64 right, qint64 bottom, const QRect &area)
{
    if (right <= left || bottom <= top) {
        left = kDefaultLeft;
        top = kDefaultTop;
        right = kDefaultRight;
        bottom = kDefaultBottom;
    }
    const qint64 width = std::min<qint64>(right - left, area.width());
    const qint64 height = std::min<qint64>(bottom - top, area.height());
    const qint64 areaRight = qint64(area.x()) + area.width();
    const qint64 areaBottom = qint64(area.y()) + area.height();
    left = std::max<qint64>(std::min(left, areaRight - width), area.x());
    top = std::max<qint64>(std::min(top, areaBottom - height), area.y());
    return QRect(int(left), int(top), int(width), int(height));
}

void SaveFormPlacement(QWidget &window)
{
    const QString fileName = GetWritableSettingsFileName();
    // A window that never was a window of its own has no normal geometry yet.
    QRect normal = window.normalGeometry();
    if (normal.isNull())
        normal = window.geometry();
    const Qt::WindowStates states = window.windowState();
    const bool maximized =
        states.testFlag(Qt::WindowMaximized) && !states.testFlag(Qt::WindowMinimized);

    // One replace of the file for all five values, so it never holds half a placement.
    TMemIniFile file(fileName);
    const QString section = SectionOf(window);
    file.WriteInteger(section, "Top", normal.y());
    file.WriteInteger(section, "Left", normal.x());
    file.WriteInteger(section, "Right", normal.x() + normal.width());
    file.WriteInteger(section, "Bottom", normal.y() + normal.height());
    file.WriteInteger(section, "State", maximized ? kStateMaximized : kStateNormal);
    file.UpdateFile();
}

void RestoreFormPlacement(QWidget &window)
{
    const QString fileName = GetSettingsFileName();
    if (!QFileInfo::exists(fileName))
        return;
    const TMemIniFile file(fileName);
    file.CheckRead();
    const QString section = SectionOf(window);
    const qint64 top = file.ReadInteger(section, "Top", kDefaultTop);
    const qint64 left = file.ReadInteger(section, "Left", kDefaultLeft);
    const qint64 right = file.ReadInteger(section, "Right", kDefaultRight);
    const qint64 bottom = file.ReadInteger(section, "Bottom", kDefaultBottom);
    const int state = file.ReadInteger(section, "State", kStateNormal);

    window.setWindowState(window.windowState() &
                          ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    // Without any screen there is nothing to fit the rectangle to, and it is left alone.
    if (QScreen *screen = ScreenNearest((left + right) / 2, (top + bottom) / 2)) {
        // The frame has to fit on the screen too, where the window system already knows it.
        const QMargins frame =
            window.windowHandle() ? window.windowHandle()->frameMargins() : QMargins();
        const QRect framed =
            FitPlacement(left - frame.left(), top - frame.top(), right + frame.right(),
                         bottom + frame.bottom(), screen->availableGeometry());
        window.setGeometry(framed.marginsRemoved(frame));
    }
    if (state == kStateMaximized)
        window.setWindowState(Qt::WindowMaximized);
    else if (state == kStateMinimized)
        window.setWindowState(Qt::WindowMinimized);
}

} // namespace talivo
