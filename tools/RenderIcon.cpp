// talivo-render-icon: draws the program's icon at one size, for the icon theme's folders.
//   talivo-render-icon ICON.svg SIZE OUT.png
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    // Built and run where there may be no display at all.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    const int size = argc == 4 ? std::atoi(argv[2]) : 0;
    if (size < 1 || size > 1024) {
        std::fprintf(stderr, "usage: talivo-render-icon ICON.svg SIZE OUT.png (SIZE 1 to 1024)\n");
        return 2;
    }
    QSvgRenderer renderer(QFile::decodeName(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "talivo-render-icon: cannot read %s\n", argv[1]);
        return 1;
    }
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    if (!icon.save(QFile::decodeName(argv[3]), "PNG")) {
        std::fprintf(stderr, "talivo-render-icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
