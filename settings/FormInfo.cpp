#include "settings/FormInfo.h"

#include "i18n/TranslateComponent.h"
#include "platform/Platform.h"
#include "settings/VersionInfo.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <cstdint>

// The logo is compiled into a static library, so nothing would pull it into the program without
// this reference.
static void InitInfoResources()
{
    Q_INIT_RESOURCE(FormInfo);
}

namespace talivo {

namespace {

// The maker's data as the user is to see it. The addresses are the reserved example domains and
// the company line and mail box are neutral stand-ins until the maker supplies the real ones.
const QString kProductAddress = "https://www.example.com/talivo";
const QString kMakerAddress = "https://www.example.com";
const QString kMakerLine = "Korvel GmbH, 12345 Example Town";
const QString kMakerMail = "info@example.com";

// The logo's distance from the window's left edge.
constexpr int kMargin = 12;

// Design colours are Windows colour values, 0x00BBGGRR.
QColor WindowsColor(uint32_t value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

void SetColor(QWidget &widget, QPalette::ColorRole role, const QColor &color)
{
    QPalette palette = widget.palette();
    palette.setColor(role, color);
    widget.setPalette(palette);
}

void SetBold(QWidget &widget, int pixelSize = 0)
{
    QFont font = widget.font();
    font.setBold(true);
    if (pixelSize > 0)
        font.setPixelSize(pixelSize);
    widget.setFont(font);
}

// Restores the cursor however the guarded work ends.
class TBusyCursor {
public:
    TBusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor &) = delete;
    TBusyCursor &operator=(const TBusyCursor &) = delete;
};

bool ReleasedInside(const QWidget &widget, const QMouseEvent &event)
{
    return widget.rect().contains(event.position().toPoint());
}

} // namespace

TFormInfo::TFormInfo(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    BuildDesign();
    TranslateComponent(*this);
    // The program name and the version are set after the design's texts, so translating those
    // leaves these two alone.
    fLabelProgram->setText("Korvel Merivo");
    FormCreate();

    // The design's widths fit the design's texts in Tahoma; a longer text or a wider substitute
    // font widens its label, up to the window's margin, rather than having the text cut off.
    const int rightEdge = width() - kMargin;
    for (QLabel *label : findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
        if (label == fImageLogo)
            continue;
        const int needed =
            int(std::ceil(QFontMetricsF(label->font()).horizontalAdvance(label->text())));
        label->resize(std::min(std::max(label->width(), needed), rightEdge - label->x()),
                      label->height());
    }
}

void TFormInfo::BuildDesign()
{
    InitInfoResources();
    setObjectName("FormInfo");
    setWindowTitle("Info");
    QFont font("Tahoma");
    font.setPixelSize(13);
    setFont(font);
    setFixedSize(405, 249);
    setAutoFillBackground(true);
    SetColor(*this, QPalette::Window, Qt::white);

    // Created first, so it is first in the tab order and takes the focus.
    fButtonClose = new QPushButton("Close", this);
    fButtonClose->setObjectName("ButtonClose");
    fButtonClose->setGeometry(302, 207, 91, 30);
    connect(fButtonClose, &QPushButton::clicked, this, &TFormInfo::ButtonCloseClick);

    fLabelProgram = AddLabel("LabelProgram", QString(), {128, 21, 162, 19});
    SetBold(*fLabelProgram, 16);
    SetColor(*fLabelProgram, QPalette::WindowText, WindowsColor(0x00AA6622));
    AddLabel("LabelVersion", "Version", {128, 46, 43, 16});
    fLabelVersionNumber = AddLabel("LabelVersionNumber", "1.0.10.100", {177, 46, 61, 16});

    fImageLogo = AddLabel("ImageLogo", QString(), {kMargin, 23, 100, 100});
    fImageLogo->setPixmap(QPixmap(":/info/logo.png"));
    fImageLogo->installEventFilter(this);

    SetBold(*AddLabel("LabelSWWebsite", "Software website", {128, 75, 115, 16}));
    fLabelSWUrl = AddLink("LabelSWUrl", kProductAddress, {128, 96, 170, 16});
    fLabelSWUrl->setAutoFillBackground(true);
    SetColor(*fLabelSWUrl, QPalette::Window, WindowsColor(0x00FFC8A8));

    QLabel *label2 = AddLabel("Label2", "Software development", {128, 124, 148, 16});
    SetBold(*label2);
    label2->setWordWrap(true);
    AddLabel("Label3", kMakerLine, {128, 144, 198, 16});
    fLabelKorvelUrl = AddLink("LabelKorvelUrl", kMakerAddress, {128, 164, 131, 16});
    AddLabel("Label6", kMakerMail, {128, 185, 83, 16});
}

QLabel *TFormInfo::AddLabel(const QString &name, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

QLabel *TFormInfo::AddLink(const QString &name, const QString &address, const QRect &geometry)
{
    QLabel *label = AddLabel(name, address, geometry);
    label->setTextFormat(Qt::PlainText);
    label->setCursor(Qt::PointingHandCursor);
    SetColor(*label, QPalette::WindowText, WindowsColor(0x00FF8848));
    label->installEventFilter(this);
    return label;
}

void TFormInfo::FormCreate()
{
    fLabelVersionNumber->setText(GetVersionInfoValue(QString(), vkFileVersion));
}

void TFormInfo::LabelSWUrlClick()
{
    OpenWithShell(fLabelSWUrl->text());
}

void TFormInfo::LabelKorvelUrlClick()
{
    OpenWithShell(fLabelKorvelUrl->text());
}

void TFormInfo::ImageLogoMouseUp(Qt::KeyboardModifiers modifiers)
{
    if (modifiers.testFlags(Qt::ControlModifier | Qt::ShiftModifier))
        OpenWithShell(GetSettingsFolder());
}

void TFormInfo::ButtonCloseClick()
{
    reject();
}

void TFormInfo::OpenWithShell(const QString &target)
{
    TBusyCursor busy;
    Shell().Open(target);
}

bool TFormInfo::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonRelease)
        return QDialog::eventFilter(watched, event);
    const auto &mouse = static_cast<const QMouseEvent &>(*event);
    if (watched == fImageLogo && ReleasedInside(*fImageLogo, mouse))
        ImageLogoMouseUp(mouse.modifiers());
    else if (mouse.button() == Qt::LeftButton && watched == fLabelSWUrl &&
             ReleasedInside(*fLabelSWUrl, mouse))
        LabelSWUrlClick();
    else if (mouse.button() == Qt::LeftButton && watched == fLabelKorvelUrl &&
             ReleasedInside(*fLabelKorvelUrl, mouse))
        LabelKorvelUrlClick();
    return QDialog::eventFilter(watched, event);
}

} // namespace talivo
