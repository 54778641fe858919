// The "search" command of the command-line program.

#include "app/CliCommands.h"

#include <ostream>

namespace pf {

int CliSearch(CliCall& call)
{
    call.Err << "Der Befehl \"search\" ist noch nicht verfügbar.\n";
    return 1;
}

} // namespace pf
