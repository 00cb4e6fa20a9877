#pragma once

namespace talivo {

class TComponentTranslator;

// The permanent rules for Qt classes whose texts are not plain properties: texts kept in items
// (table and tree headers, combo box entries) and properties that only repeat another object's
// text (a menu's title, an action's icon text and tool tip, the texts of a tool button that shows
// an action). Repeated texts are left to their source, so that a second translation does not look
// up a text that is translated already.
void RegisterQtClassRules(TComponentTranslator &translator);

} // namespace talivo
