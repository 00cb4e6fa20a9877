#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace talivo {

QString WindowsClipboardMimeType(const QString &format)
{
    return "application/x-qt-windows-mime;value=\"" + format + '"';
}

QString PortableClipboardMimeType(const QString &format)
{
    QString slug;
    for (const QChar c : format.toLower()) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            slug += c;
        else if (!slug.isEmpty() && !slug.endsWith('-'))
            slug += '-';
    }
    if (slug.endsWith('-'))
        slug.chop(1);
    return "application/x-" + slug;
}

QString ClipboardMimeType(const QString &format)
{
#ifdef Q_OS_WIN
    return WindowsClipboardMimeType(format);
#else
    return PortableClipboardMimeType(format);
#endif
}

void TSystemClipboard::Put(const TClipboardForms &forms)
{
    auto *data = new QMimeData;
    for (auto it = forms.Custom.cbegin(); it != forms.Custom.cend(); ++it)
        data->setData(ClipboardMimeType(it.key()), it.value());
    if (forms.Image)
        data->setImageData(*forms.Image);
    if (forms.Text)
        data->setText(*forms.Text);
    if (forms.Svg)
        data->setData(QStringLiteral("image/svg+xml"), *forms.Svg);
    QGuiApplication::clipboard()->setMimeData(data);
}

QString TSystemClipboard::Text() const
{
    return QGuiApplication::clipboard()->text();
}

bool TSystemClipboard::HasFormat(const QString &format) const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(ClipboardMimeType(format));
}

std::optional<QByteArray> TSystemClipboard::Data(const QString &format) const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    const QString type = ClipboardMimeType(format);
    if (!data || !data->hasFormat(type))
        return std::nullopt;
    return data->data(type);
}

std::optional<QByteArray> TMemoryClipboard::Data(const QString &format) const
{
    const auto it = fContents.Custom.constFind(format);
    if (it == fContents.Custom.cend())
        return std::nullopt;
    return it.value();
}

} // namespace talivo
