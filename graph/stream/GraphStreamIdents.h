#pragma once

#include "graph/canvas/CanvasTools.h"
#include "graph/canvas/Types.h"

#include <optional>
#include <string_view>

// The identifiers under which the stream form writes well-known colours and font character sets.

namespace talivo {

// The name of the first table entry with this colour; empty when it has none.
std::string_view ColorToIdent(TColor color);
// The colour of that name (compared without regard to case); nothing when unknown.
std::optional<TColor> IdentToColor(std::string_view ident);

std::string_view CharsetToIdent(TFontCharset charset);
std::optional<TFontCharset> IdentToCharset(std::string_view ident);

// Identifiers are compared as the files' original writer compared them: ASCII without case.
bool SameIdent(std::string_view a, std::string_view b);

} // namespace talivo
