// libFuzzer target of the base-data text format, with its write-and-read-back check.
#include "tests/fuzz/BaseDataFuzz.h"
#include "tests/fuzz/FuzzTarget.h"

PF_FUZZ_TARGET(pf::fuzz::BaseDataFuzz)
