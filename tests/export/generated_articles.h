#pragma once

#include <string>

#include "settings/settings.h"
#include "tests/support/memory_selectline.h"

namespace warenkai::test {

// The generated Selectline of tests/data/export/selectline.txt, whose articles run through the cases
// the article transfer must get right: unknown groups, missing and self-referring parents, group keys
// with blanks around them, names with quotes, line breaks and characters Windows-1252 lacks; tax
// records with equal dates, without date, with future dates, codes as numbers and as texts; prices
// without date or with a date the export cannot read; rejected articles. Its groups and tax records,
// and the first `articleCount` articles (at most 300) with their texts and prices. The article and
// group files in tests/data/export/repeated and …/matchcode were written from it by the transfer as
// it was before the export read each value only once; they must not change.
void AddGeneratedArticles(MemoryDatabase& database, int articleCount);

// The field mapping tests/data/export/<name>/mapping.txt (one row a line: field|default value|prefix).
// "repeated": key "Artikelnummer", every kind of derived field, several of them in two rows;
// "matchcode": key "Matchcode" (so the group walk decides by another field than the key), with
// onlyShopActive ticked.
void UseGeneratedMapping(Settings& settings, const std::string& name);

}  // namespace warenkai::test
