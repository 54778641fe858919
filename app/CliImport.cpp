// The "import" command of the command-line program.

#include "app/CliCommands.h"

#include <ostream>

namespace pf {

int CliImport(CliCall& call)
{
    call.Err << "Der Befehl \"import\" ist noch nicht verfügbar.\n";
    return 1;
}

} // namespace pf
