#pragma once
// Shows the busy pointer for the lifetime of a scope, also when the work inside ends by an
// exception.

#include "core/AppContext.h"
#include "core/Interaction.h"

namespace pf {

class BusyPointer
{
public:
    BusyPointer() { UI().SetBusy(true); }
    ~BusyPointer() { UI().SetBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace pf
