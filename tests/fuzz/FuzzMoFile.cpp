// fuzz-library: talivo_i18n
// Feeds arbitrary bytes to the catalog reader and looks up texts in what it accepts; then reads
// the same bytes as the directory of catalogs appended to a program file.
#include "i18n/AppendedCatalogs.h"
#include "i18n/MoFile.h"
#include "i18n/TranslationError.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    try {
        const talivo::TMoFile catalog(bytes, "fuzz.mo");
        if (const auto header = catalog.gettext(""))
            talivo::DeclaresUtf8(*header);
        // Keys taken from the input itself reach entries that match as well as ones that do not.
        for (qsizetype at = 0; at < bytes.size(); at += 1 + bytes.size() / 16)
            catalog.gettext(bytes.sliced(at, std::min<qsizetype>(bytes.size() - at, 12)));
    } catch (const talivo::ETrIOError &) {
    }
    talivo::ReadAppendedCatalogs(talivo::AppendedCatalogsBeginMarker() + bytes.toByteArray() +
                                 talivo::AppendedCatalogsEndMarker());
    return 0;
}
