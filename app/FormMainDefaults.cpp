#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "app/StrToInt.h"
#include "i18n/Translation.h"
#include "platform/Platform.h"
#include "settings/MemIniFile.h"

#include <QFile>
#include <QFileInfo>

namespace talivo {

namespace {

constexpr TColor kDefaultGroupColor = 0x00FF0000;

// A colour the user may have written by hand; anything that is not a number reads as blue.
TColor ColorOrBlue(const QString &text)
{
    try {
        return static_cast<TColor>(StrToInt(text));
    } catch (const EConvertError &) {
        return kDefaultGroupColor;
    }
}

} // namespace

bool TFormMain::LoadDefaultGroups(const QString &path)
{
    if (!QFileInfo::exists(path))
        return false;
    TMemIniFile file(path);
    // Defaults standing in for a file that could not be read would look like a loss of groups.
    file.CheckRead();
    for (const QString &section : file.ReadSections()) {
        if (!section.contains(QStringLiteral("Group"), Qt::CaseSensitive))
            continue;
        AddGroupRow(file.ReadString(section, "Description", QString()),
                    ColorOrBlue(file.ReadString(section, "Color", "0x00FF0000")), 0, 0);
    }
    return true;
}

bool TFormMain::SaveDefaultGroups(const QString &path)
{
    const bool exists = QFileInfo::exists(path);
    if (exists && !Prompter().AskYesNo(
                      _("File already exists. Do you really want to overwrite the existing file?"),
                      _("Overwrite")))
        return false;
    const std::vector<TGroupRow> &groups = fMeasurement.Groups().Rows();
    // Like the private-profile functions, an empty table writes nothing, not even an empty file.
    if (groups.empty()) {
        QFile old(path);
        if (exists && !old.remove())
            throw EIniFileError(
                _("Cannot delete \"%1\": %2").arg(path, old.errorString()).toStdString());
        return true;
    }
    TMemIniFile file(path);
    // The new file must not inherit sections of a longer list. It replaces the old one only once
    // it is complete, so a failed save keeps the previous defaults.
    file.Clear();
    for (size_t row = 0; row < groups.size(); ++row) {
        const QString section = "Group" + QString::number(row);
        file.WriteString(section, "Description", groups[row].Description);
        file.WriteInteger(section, "Color", static_cast<int32_t>(groups[row].Color));
    }
    file.UpdateFile();
    return true;
}

void TFormMain::Saveasdefault1Click()
{
    SaveDefaultGroups(fDefaultGroupsPath);
}

} // namespace talivo
