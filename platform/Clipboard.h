#pragma once

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>
#include <optional>

namespace talivo {

// The forms put on the clipboard together by one call. Custom blocks are keyed by format name.
struct TClipboardForms {
    QMap<QString, QByteArray> Custom;
    std::optional<QImage> Image;
    std::optional<QString> Text;
    // A vector drawing as an SVG document, offered as image/svg+xml.
    std::optional<QByteArray> Svg;
};

// The system clipboard. Custom formats are named the way Windows registers clipboard formats
// ("Graph Object Format"); ClipboardMimeType maps a name to the MIME type that carries it.
class IClipboard {
public:
    virtual ~IClipboard() = default;

    // Replaces whatever the clipboard held by the given forms.
    virtual void Put(const TClipboardForms &forms) = 0;
    // The plain text on the clipboard; empty when there is none.
    virtual QString Text() const = 0;
    virtual bool HasFormat(const QString &format) const = 0;
    // The block under a custom format, or nothing when the clipboard has no such format.
    virtual std::optional<QByteArray> Data(const QString &format) const = 0;

    void SetText(const QString &text) { Put({.Custom = {}, .Image = {}, .Text = text, .Svg = {}}); }
    void SetData(const QString &format, const QByteArray &data)
    {
        Put({.Custom = {{format, data}}, .Image = {}, .Text = {}, .Svg = {}});
    }
};

// The MIME type of a custom format. On Windows it is Qt's form for the registered clipboard
// format of exactly that name, so other Windows programs that register the same name exchange
// blocks with us. Elsewhere there is no registry of names, so the type is derived from the name:
// "application/x-" followed by the name in lower case with every run of characters other than
// letters and digits turned into one '-' ("Graph Object Format" gives
// "application/x-graph-object-format"). Lower case matches Windows, where format names are
// compared without regard to case.
QString ClipboardMimeType(const QString &format);
QString WindowsClipboardMimeType(const QString &format);
QString PortableClipboardMimeType(const QString &format);

// The clipboard of the running Qt application.
class TSystemClipboard : public IClipboard {
public:
    void Put(const TClipboardForms &forms) override;
    QString Text() const override;
    bool HasFormat(const QString &format) const override;
    std::optional<QByteArray> Data(const QString &format) const override;
};

// The clipboard for tests: kept in memory, untouched by anything else.
class TMemoryClipboard : public IClipboard {
public:
    void Put(const TClipboardForms &forms) override { fContents = forms; }
    QString Text() const override { return fContents.Text.value_or(QString()); }
    bool HasFormat(const QString &format) const override
    {
        return fContents.Custom.contains(format);
    }
    std::optional<QByteArray> Data(const QString &format) const override;

    const TClipboardForms &Contents() const { return fContents; }

private:
    TClipboardForms fContents;
};

} // namespace talivo
