// libFuzzer target of the matching of ingredient texts to foods.
#include "tests/fuzz/FuzzTarget.h"
#include "tests/fuzz/MatcherFuzz.h"

PF_FUZZ_TARGET(pf::fuzz::MatcherFuzz)
