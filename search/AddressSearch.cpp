#include "search/AddressSearch.h"

#include "db/Database.h"
#include "search/SearchData.h"

namespace pf {

std::string AddressSearchData(Database& db, long addressId)
{
    if (addressId <= 0)
        return {};
    auto names = [&](const char* column) {
        return db.Scalar(std::string("SELECT COUNT(*) FROM T_LITERATUR WHERE ") + column + "=?",
                         {Value(addressId)})
                   .AsLong() > 0;
    };
    SearchCriteria criteria;
    if (names("VerlagID"))
        criteria.Publishers.push_back(addressId);
    if (names("AutorID"))
        criteria.Authors.push_back(addressId);
    if (criteria.Publishers.empty() && criteria.Authors.empty())
        return {};
    return EncodeSearchData(criteria);
}

} // namespace pf
