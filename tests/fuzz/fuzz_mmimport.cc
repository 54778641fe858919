// libFuzzer target of the Meal-Master and Rezkonv reader (plain files and ZIP archives).
#include "tests/fuzz/FuzzTarget.h"
#include "tests/fuzz/MMImportFuzz.h"

PF_FUZZ_TARGET(pf::fuzz::MMImportFuzz)
