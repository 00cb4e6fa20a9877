#pragma once

#include <QString>

namespace talivo {

// Key indexes of GetVersionInfoValue; any other index asks for the file version.
enum TVersionKey : int {
    vkCompanyName,
    vkFileDescription,
    vkFileVersion,
    vkInternalName,
    vkLegalCopyright,
    vkLegalTrademarks,
    vkOriginalFilename,
    vkProductName,
    vkProductVersion,
    vkComments,
};

// The value of a key in the version block that the named file carries (the program file for an
// empty name; another relative name counts from the current folder). The block is read from the
// file on every call. Empty when the file, the block, its translation table or the key is
// missing.
QString GetVersionInfoValue(const QString &fileName, int keyIndex);

// The file's product name; when its block names none, the running program's file name without
// folder and extension. Empty when the file is missing.
QString GetProductName(const QString &fileName);

// <all-users application-data folder>/Korvel/<product name>/, always ending in '/'. Not created
// here.
QString GetSettingsFolder();

// The settings file: <settings folder><product name>.ini.
QString GetSettingsFileName();

// The settings file, about to be written: its folder is made when the file is missing. Throws
// EIniFileError when the folder cannot be made.
QString GetWritableSettingsFileName();

} // namespace talivo
