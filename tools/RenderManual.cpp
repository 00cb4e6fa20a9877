// talivo-render-manual: turns the user manual, written in Markdown, into a PDF with Qt alone.
//   talivo-render-manual MANUAL.md OUT.pdf
// Pictures named in the text are read relative to the manual's folder and shrunk to the width of
// the page. The pages are A4, numbered at their foot; the first heading is the document's title.
#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>

namespace {

using talivo::TSaveStep;
using talivo::WriteFileAtomically;

// The layout's unit: points, so that the fonts' point sizes come out as written.
constexpr int kResolution = 72;
constexpr double kFooterHeight = 24;

[[noreturn]] void Fail(const QString &message)
{
    std::fprintf(stderr, "talivo-render-manual: %s\n", qPrintable(message));
    std::exit(1);
}

// Room above the headings, and tables with thin lines and some air in their cells.
void SetSpacing(QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 1) {
            QTextBlockFormat format = block.blockFormat();
            format.setTopMargin(14);
            QTextCursor(block).setBlockFormat(format);
        }
    }
    for (QTextFrame *frame : document.rootFrame()->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(frame)) {
            QTextTableFormat format = table->format();
            format.setBorderCollapse(true);
            format.setBorder(0.75);
            format.setBorderBrush(Qt::gray);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setCellPadding(4);
            format.setCellSpacing(0);
            table->setFormat(format);
        }
    }
}

// Every picture is shown at the size it has on a screen of 96 pixels per inch, and shrunk to the
// width of the text where it is wider; a picture that cannot be read fails the build rather than
// leaving a hole in the manual.
void FitPictures(QTextDocument &document, double width)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            QTextImageFormat format = fragment.fragment().charFormat().toImageFormat();
            if (!format.isValid())
                continue;
            const QImage picture =
                document.resource(QTextDocument::ImageResource, QUrl(format.name()))
                    .value<QImage>();
            if (picture.isNull())
                Fail("cannot read the picture " + format.name());
            const double scale = std::min(double(kResolution) / 96, width / picture.width());
            format.setWidth(picture.width() * scale);
            format.setHeight(picture.height() * scale);
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.fragment().position());
            cursor.setPosition(fragment.fragment().position() + fragment.fragment().length(),
                               QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
}

QString Title(const QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 1)
            return block.text();
    }
    return QFileInfo(document.baseUrl().toLocalFile()).baseName();
}

// Lays the manual out on A4 pages with numbered footers and writes it as PDF.
bool WriteManual(QTextDocument &document, const QFont &font, QIODevice &file)
{
    QPdfWriter writer(&file);
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 18, 20, 12), QPageLayout::Millimeter));
    writer.setTitle(Title(document));
    writer.setCreator("Talivo");

    const QRectF area = writer.pageLayout().paintRectPixels(kResolution);
    const QSizeF page(area.width(), area.height() - kFooterHeight);
    document.setPageSize(page);
    SetSpacing(document);
    FitPictures(document, page.width() - 2 * document.rootFrame()->frameFormat().padding() -
                              2 * document.documentMargin());

    QPainter painter(&writer);
    const int pages = document.pageCount();
    for (int number = 0; number < pages; ++number) {
        if (number > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -number * page.height());
        document.drawContents(&painter, QRectF(QPointF(0, number * page.height()), page));
        painter.restore();
        painter.setFont(font);
        painter.drawText(QRectF(0, page.height(), page.width(), kFooterHeight),
                         Qt::AlignHCenter | Qt::AlignBottom, QString::number(number + 1));
    }
    return painter.end();
}

} // namespace

int main(int argc, char **argv)
{
    // Built and run where there may be no display at all.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: talivo-render-manual MANUAL.md OUT.pdf\n");
        return 2;
    }
    const QString source = QFile::decodeName(argv[1]);
    QFile markdown(source);
    if (!markdown.open(QIODevice::ReadOnly))
        Fail("cannot read " + source + ": " + markdown.errorString());

    QTextDocument document;
    QFont font("DejaVu Sans");
    font.setPointSizeF(10);
    document.setDefaultFont(font);
    document.setBaseUrl(QUrl::fromLocalFile(QFileInfo(source).absoluteFilePath()));
    document.setMarkdown(QString::fromUtf8(markdown.readAll()));

    // Written through a temporary file, so that a failed run leaves no half manual behind.
    const QString target = QFile::decodeName(argv[2]);
    try {
        WriteFileAtomically(
            target, [&](QIODevice &file) { return WriteManual(document, font, file); },
            [&](TSaveStep, const QString &reason) {
                return std::make_exception_ptr(
                    std::runtime_error(("cannot write " + target + ": " + reason).toStdString()));
            });
    } catch (const std::exception &error) {
        Fail(QString::fromStdString(error.what()));
    }
    return 0;
}
