// libFuzzer target of the lexicon search input.
#include "tests/fuzz/FuzzTarget.h"
#include "tests/fuzz/LexiconSearchFuzz.h"

PF_FUZZ_TARGET(pf::fuzz::LexiconSearchFuzz)
