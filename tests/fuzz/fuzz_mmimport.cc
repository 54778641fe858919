// libFuzzer entry point for the Meal-Master reader; not part of the normal build. Build it with
// clang and -fsanitize=fuzzer,address against pf_exchange and run it on tests/fuzz/corpus; new
// findings go into the corpus, which test_fuzz replays as ordinary tests.

#include "core/AppContext.h"
#include "model/ClUnit.h"
#include "tests/fuzz/MMImportFuzz.h"
#include "tests/support/BaseDataDb.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static pf::AppContext app;
    static pf::ScopedAppContext scope(app);
    static pf::test::TempDir dir;
    static std::unique_ptr<pf::Database> db = pf::test::MakeBaseDataDatabase(dir);
    static pf::ClUnit units = [] {
        pf::ClUnit u;
        u.SetDB(db.get());
        u.Count();
        return u;
    }();
    if (pf::fuzz::FuzzMealMasterReader(data, size, units) != 0)
        std::abort();
    return 0;
}
