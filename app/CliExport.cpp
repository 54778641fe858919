// The "export" command of the command-line program.

#include "app/CliCommands.h"

#include <ostream>

namespace pf {

int CliExport(CliCall& call)
{
    call.Err << "Der Befehl \"export\" ist noch nicht verfügbar.\n";
    return 1;
}

} // namespace pf
