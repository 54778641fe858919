// libFuzzer target of the Mensax XML reader.
#include "tests/fuzz/FuzzTarget.h"
#include "tests/fuzz/MensaxImportFuzz.h"

PF_FUZZ_TARGET(pf::fuzz::MensaxImportFuzz)
