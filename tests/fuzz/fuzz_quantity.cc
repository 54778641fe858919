// libFuzzer target of the quantity parser of the editor and of the recipe-file reader.
#include "tests/fuzz/FuzzTarget.h"
#include "tests/fuzz/QuantityFuzz.h"

PF_FUZZ_TARGET(pf::fuzz::QuantityFuzz)
