#pragma once
// The context menu of the text boxes ("HideRTF"): character formats, bullets, font and colour for a
// formatted box; copy, paste and the lexicon look-up of the selected word for every box. A plain
// text box (recipe instructions are stored as plain text) offers the formats greyed out.

#include <string>
#include <vector>

class QMenu;
class QWidget;

namespace pf {

struct TextMenuEntry
{
    const char* Command;
    const char* Caption;
    bool SeparatorBefore;
};
const std::vector<TextMenuEntry>& TextMenuEntries();

// Whether command can act on box (a QTextEdit or QPlainTextEdit; formats only on a rich one).
bool TextCommandApplies(const QWidget* box, const std::string& command);
// Runs command on box; false when it does not apply.
bool RunTextCommand(QWidget* box, const std::string& command);
// The menu for box, its entries enabled as they apply.
QMenu* MakeTextMenu(QWidget* box);
// Right-clicking box opens MakeTextMenu.
void InstallTextMenu(QWidget* box);

} // namespace pf
