#pragma once

#include <string>

#include "export/row_plan.h"

namespace warenkai {

class SelectlineApplication;
class SelectlineTable;
class LimitedErrorList;

// What the rows of an article are read from: the open session's application and tables, and the
// error list for values that cannot be read.
struct ArticleSources {
    SelectlineApplication& application;
    SelectlineTable& articles;  // "AR", standing on the current article
    SelectlineTable& groups;    // "AG"
    SelectlineTable& texts;     // "TE"
    SelectlineTable& prices;    // "AP"
    SelectlineTable& taxes;     // "UD"
    LimitedErrorList& errors;
};

// The raw value of a row for the article `articleNumber`: the article table's field, or the value of
// the row's derived-field rule; empty when a lookup finds nothing. A date that cannot be rewritten
// gives an empty value and one line in the error list.
std::string RawValue(const RowPlan& plan, const ArticleSources& sources, const std::string& articleNumber);

// The value of one mapping row for the current article, cleaned, written into `value` (which is
// emptied first): the trimmed prefix and the raw value when the raw value is not empty, else the
// trimmed default value.
void EvaluateRow(const RowPlan& plan, const ArticleSources& sources, const std::string& articleNumber,
                 std::string& value);

}  // namespace warenkai
