#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "export/article_prices.h"
#include "export/server_value.h"

namespace warenkai {

class SelectlineTable;

// The tax table ("UD"), read once per transfer, and the tax rate of an article chosen from it in
// memory: among the records whose "Steuercode" equals the article's "SSVerkauf" (compared as
// values), the "Steuer" of the one valid from the latest "GueltigAb" (compared as dates), the
// first in table order among equal dates; empty when none matches. Today's date plays no part. A
// record without a readable "GueltigAb" counts as the earliest: while no matching record has
// brought a date, every matching record replaces the rate.
class TaxTable {
public:
    // Reads "Steuercode", "GueltigAb" and "Steuer" of every record in table order, from the first
    // record on, as many as "Recordcount" says. An error of reading a record's "GueltigAb" or
    // "Steuer" is kept with that value; an error of reading a "Steuercode" or of moving on ends the
    // table there and is kept for its end. Kept errors are raised when a rate search reaches them,
    // as a search over the table itself would have raised them.
    static TaxTable Read(SelectlineTable& taxes);

    // The rate for an article. `salesTaxCode` reads the article's "SSVerkauf"; it is not called when
    // the table has no record. The rate of each sales tax code is searched once.
    std::string Rate(const std::function<Variant()>& salesTaxCode);

private:
    struct Record {
        ComparableValue code;
        ServerValue validFrom;
        std::optional<Date> validFromDate;
        ServerValue rate;
    };

    std::string Search(const ComparableValue& salesTaxCode) const;

    std::vector<Record> m_records;
    std::exception_ptr m_endError;
    std::unordered_map<std::string, std::string> m_rateByCode;
};

}  // namespace warenkai
