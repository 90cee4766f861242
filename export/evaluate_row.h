#pragma once

#include <string>

#include "export/row_plan.h"

namespace warenkai {

class ArticleReader;

// The raw value of a row for the current article of `reader`: the article table's field, or the
// value of the row's derived-field rule; empty when a lookup finds nothing. A date that cannot be
// rewritten gives an empty value and one line in the error list.
std::string RawValue(const RowPlan& plan, ArticleReader& reader);

// The value of one mapping row for the current article, cleaned, written into `value` (which is
// emptied first): the trimmed prefix and the raw value when the raw value is not empty, else the
// trimmed default value.
void EvaluateRow(const RowPlan& plan, ArticleReader& reader, std::string& value);

}  // namespace warenkai
