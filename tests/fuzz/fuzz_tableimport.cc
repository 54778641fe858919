// libFuzzer target of the generic table reader.
#include "tests/fuzz/FuzzTarget.h"
#include "tests/fuzz/TableImportFuzz.h"

PF_FUZZ_TARGET(pf::fuzz::TableImportFuzz)
