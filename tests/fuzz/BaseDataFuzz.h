#pragma once
// One fuzz input as a base-data file: loaded into an empty database inside a transaction that is
// rolled back afterwards. When the load succeeds, what it stored must write out and read back the
// same: the export of every table group is loaded into a second empty database, whose export must
// equal the first byte for byte.

#include "db/BaseData.h"
#include "db/Database.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/TempDir.h"

#include <memory>
#include <string>
#include <string_view>

namespace pf::fuzz {

class BaseDataFuzz
{
public:
    static constexpr long kAllTables = 1 | 2 | 4 | basedata::kLexiconBits;

    BaseDataFuzz() : m_first(Open("first.db")), m_second(Open("second.db")) {}

    std::string Run(std::string_view bytes)
    {
        const std::string input = m_dir.File("input.csv");
        test::WriteFile(input, std::string(bytes));
        DbTransaction firstRun(*m_first);
        if (!ImportBaseData(*m_first, input, nullptr))
            return {};
        const std::string written = m_dir.File("written.csv");
        if (!ExportBaseData(*m_first, written, kAllTables, nullptr, "28.12.2018"))
            return "das Geladene lässt sich nicht schreiben";
        DbTransaction secondRun(*m_second);
        if (!ImportBaseData(*m_second, written, nullptr))
            return "das Geschriebene lässt sich nicht laden";
        const std::string rewritten = m_dir.File("rewritten.csv");
        if (!ExportBaseData(*m_second, rewritten, kAllTables, nullptr, "28.12.2018"))
            return "das wieder Geladene lässt sich nicht schreiben";
        if (test::ReadFile(rewritten) != test::ReadFile(written))
            return "das wieder Geladene wird anders geschrieben";
        return {};
    }

private:
    std::unique_ptr<Database> Open(const std::string& name)
    {
        return test::NewSchemaDatabase(m_dir.File(name));
    }

    test::TempDir m_dir;
    std::unique_ptr<Database> m_first;
    std::unique_ptr<Database> m_second;
};

} // namespace pf::fuzz
