// libFuzzer target of the search-data decoder, with its write-and-read-back check.
#include "tests/fuzz/FuzzTarget.h"
#include "tests/fuzz/SearchDataFuzz.h"

PF_FUZZ_TARGET(pf::fuzz::SearchDataFuzz)
