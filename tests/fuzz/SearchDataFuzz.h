#pragma once
// One fuzz input as stored search data (a search template): what it decodes to must encode to a
// text that decodes to the same criteria, and the word patterns of its search words must compile
// as LIKE patterns or be refused as malformed.

#include "db/JetLike.h"
#include "search/SearchData.h"

#include <string>
#include <string_view>

namespace pf::fuzz {

class SearchDataFuzz
{
public:
    std::string Run(std::string_view bytes)
    {
        const SearchCriteria read = DecodeSearchData(bytes);
        const std::string written = EncodeSearchData(read);
        const SearchCriteria reread = DecodeSearchData(written);
        if (EncodeSearchData(reread) != written)
            return "die geschriebenen Suchdaten \"" + written + "\" lesen sich anders zurück: \"" +
                   EncodeSearchData(reread) + "\"";
        read.HasCriteria();
        for (const std::string& word : SplitSearchWords(read.Words)) {
            const auto [first, second] = WordPatterns(word);
            for (const std::string& pattern : {first, second}) {
                try {
                    JetLike("*" + pattern + "*", word);
                } catch (const JetPatternError&) {
                    // A "[" the user typed without its "]".
                }
            }
        }
        return {};
    }
};

} // namespace pf::fuzz
