#include "graph/control/GraphControl.h"
#include "platform/Platform.h"

#include <QBuffer>

namespace talivo {

void TGraphControl::MergeFromStream(QIODevice &Stream, int32_t OffsetX, int32_t OffsetY)
{
    ShowMerged(fDocument.MergeFromStream(Stream, OffsetX, OffsetY));
}

void TGraphControl::MergeFromFile(const QString &FileName, int32_t OffsetX, int32_t OffsetY)
{
    ShowMerged(fDocument.MergeFromFile(FileName, OffsetX, OffsetY));
}

void TGraphControl::ShowMerged(const std::optional<TRect> &Added)
{
    SetCommandMode(cmEdit);
    if (Added) {
        ScrollInView(*Added);
    }
}

void TGraphControl::CopyToClipboard(bool Selection)
{
    const TGraphObjectList &list = Selection ? SelectedObjects() : Objects();
    if (list.Count() == 0) {
        return;
    }
    TClipboardForms forms;
    if (fClipboardFormats.Contains(cfNative)) {
        QByteArray block;
        QBuffer buffer(&block);
        buffer.open(QIODevice::WriteOnly);
        WriteObjects(buffer, list);
        buffer.close();
        forms.Custom.insert(QString::fromLatin1(CF_GRAPHOBJECTS), block);
    }
    if (fClipboardFormats.Contains(cfMetafile)) {
        forms.Svg = MetafileToSvg(GetAsMetafile(list));
    }
    if (fClipboardFormats.Contains(cfBitmap)) {
        forms.Image = GetAsBitmap(list);
    }
    Clipboard().Put(forms);
}

bool TGraphControl::PasteFromClipboard()
{
    std::optional<QByteArray> block = Clipboard().Data(QString::fromLatin1(CF_GRAPHOBJECTS));
    if (!block) {
        return false;
    }
    QBuffer buffer(&*block);
    buffer.open(QIODevice::ReadOnly);
    const TUpdateBatch batch(*this);
    ClearSelection();
    const int32_t old = Objects().Count();
    ReadObjects(buffer);
    for (int32_t i = Objects().Count() - 1; i >= old; --i) {
        Objects()[i]->SetSelected(true);
    }
    return true;
}

} // namespace talivo
