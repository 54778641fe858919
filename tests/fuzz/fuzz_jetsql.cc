// libFuzzer target of the statement translation and the recipe search with user search text.
#include "tests/fuzz/FuzzTarget.h"
#include "tests/fuzz/JetSqlFuzz.h"

PF_FUZZ_TARGET(pf::fuzz::JetSqlFuzz)
