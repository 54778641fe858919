#pragma once
// Thrown where the program must end (a database that cannot be used, a cancelled first start,
// a finished batch run). Both programs catch it in main and leave with its code.

namespace pf {

struct ProcessExit
{
    int Code = 0;
};

} // namespace pf
