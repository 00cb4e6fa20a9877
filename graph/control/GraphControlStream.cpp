#include "graph/control/GraphControl.h"
#include "platform/Platform.h"

#include <QBuffer>

namespace talivo {

void TGraphControl::MergeFromStream(QIODevice &stream, int32_t offsetX, int32_t offsetY)
{
    ShowMerged(fDocument.MergeFromStream(stream, offsetX, offsetY));
}

void TGraphControl::MergeFromFile(const QString &fileName, int32_t offsetX, int32_t offsetY)
{
    ShowMerged(fDocument.MergeFromFile(fileName, offsetX, offsetY));
}

void TGraphControl::ShowMerged(const std::optional<TRect> &added)
{
    SetCommandMode(cmEdit);
    if (added)
        ScrollInView(*added);
}

void TGraphControl::CopyToClipboard(bool selection)
{
    const TGraphObjectList &list = selection ? SelectedObjects() : Objects();
    if (list.Count() == 0)
        return;
    TClipboardForms forms;
    if (fClipboardFormats.Contains(cfNative)) {
        QByteArray block;
        QBuffer buffer(&block);
        buffer.open(QIODevice::WriteOnly);
        WriteObjects(buffer, list);
        buffer.close();
        forms.Custom.insert(QString::fromLatin1(CF_GRAPHOBJECTS), block);
    }
    if (fClipboardFormats.Contains(cfMetafile))
        forms.Svg = MetafileToSvg(GetAsMetafile(list));
    if (fClipboardFormats.Contains(cfBitmap))
        forms.Image = GetAsBitmap(list);
    Clipboard().Put(forms);
}

bool TGraphControl::PasteFromClipboard()
{
    std::optional<QByteArray> block = Clipboard().Data(QString::fromLatin1(CF_GRAPHOBJECTS));
    if (!block)
        return false;
    QBuffer buffer(&*block);
    buffer.open(QIODevice::ReadOnly);
    const TUpdateBatch batch(*this);
    ClearSelection();
    const int32_t old = Objects().Count();
    ReadObjects(buffer);
    for (int32_t i = Objects().Count() - 1; i >= old; --i)
        Objects()[i]->SetSelected(true);
    return true;
}

} // namespace talivo
