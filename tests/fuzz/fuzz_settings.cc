// libFuzzer target of the settings file, the umlaut exception list and the command-line overrides.
#include "tests/fuzz/FuzzTarget.h"
#include "tests/fuzz/SettingsFuzz.h"

PF_FUZZ_TARGET(pf::fuzz::SettingsFuzz)
