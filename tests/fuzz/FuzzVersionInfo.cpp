// fuzz-library: talivo_settings
// The version-block reader on arbitrary bytes: a program file, a crafted block, or anything else
// that GetVersionInfoValue may be pointed at.
#include "settings/VersionBlock.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (std::u16string_view key : {u"FileVersion", u"ProductName", u"Comments"})
        talivo::FindVersionString(data, size, key);
    return 0;
}
