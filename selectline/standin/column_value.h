#pragma once

#include <optional>
#include <string>

#include "selectline/standin/sqlite_connection.h"
#include "selectline/variant.h"

namespace warenkai::standin {

// The kind of value a column holds, from its declared type in the database.
enum class ColumnType {
    Text,     // TEXT (and any type not listed below)
    Integer,  // INTEGER, INT, …
    Real,     // REAL, FLOAT, DOUBLE, NUMERIC, DECIMAL
    Date,     // DATE, DATETIME: text 'YYYY-MM-DD'
    Boolean,  // BOOLEAN, BOOL: 0 / 1
};

ColumnType ColumnTypeOf(const std::string& declaredType);

// What the automation server hands out for a stored value of a column of this type. A value that
// does not fit the type (an operator wrote text into a REAL column) comes back as the text it is.
Variant ToVariant(const StoredValue& stored, ColumnType type);
Variant ToVariant(StoredValue&& stored, ColumnType type);

// The value PutField stores for `text` in a column of this type: text as it is for TEXT; for the
// others empty text is NULL, REAL takes "19,9" or "19.9", INTEGER whole numbers, DATE "dd.mm.yyyy"
// or "yyyy-mm-dd" (stored as 'YYYY-MM-DD'), BOOLEAN "Wahr"/"Falsch", "True"/"False", "Ja"/"Nein",
// "1"/"-1"/"0" (stored 1 / 0). std::nullopt when the text does not convert.
std::optional<StoredValue> FromText(const std::string& text, ColumnType type);

// A date text 'YYYY-MM-DD' (optionally followed by a time) or 'dd.mm.yyyy', checked against the
// calendar.
std::optional<Date> ParseDateText(const std::string& text);
// 'YYYY-MM-DD'.
std::string IsoDateText(const Date& date);

// What a column of this type expects, for error texts ("eine Zahl").
std::string TypeDescription(ColumnType type);

}  // namespace warenkai::standin
