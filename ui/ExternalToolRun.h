#pragma once
// Runs an external tool of the tool table from the desktop program: the selected recipes exported
// for it first when the tool asks for that, its command line shown for confirmation when wanted,
// the program started without a shell and waited for (a window lets the user stop it), and what it
// produced imported into the active cookbook afterwards, after editing when the tool asks for it.

#include "core/AppContext.h"
#include "ui/FrmMMImport.h"

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace pf {

struct ToolRunOutcome
{
    bool Ran = false;                       // the program was started and ended on its own
    std::optional<ImportResultView> Import; // what the import after the tool stored
};

// Runs tool on the recipes ids (may be empty). Every problem is told through UI().
ToolRunOutcome RunExternalTool(const ExternalTool& tool, const std::vector<long>& ids, QWidget* parent);

// Lets the user choose one of the tools (only those that import when importing) and runs it; says
// where tools are entered when there is none.
ToolRunOutcome ChooseAndRunTool(const std::vector<long>& ids, bool importing, QWidget* parent);

} // namespace pf
