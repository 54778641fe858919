#pragma once
// Reading the columns of a row the way the classes keep them: a key column as the 32-bit ID (0 for
// a null) and a text column as text ("" for a null).

#include "db/Value.h"

#include <string>

namespace pf {

inline long AsId(const Value& v)
{
    return static_cast<long>(v.AsLong());
}

inline std::string AsString(const Value& v)
{
    return v.AsText();
}

} // namespace pf
