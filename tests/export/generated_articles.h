#pragma once

#include <string>
#include <vector>

#include "settings/settings.h"
#include "tests/support/memory_selectline.h"

namespace warenkai::test {

// A generated Selectline whose articles run through the cases the article transfer must get right,
// every value a function of the article's index: unknown groups, missing and self-referring parents,
// group keys with blanks around them, names with quotes, line breaks and characters Windows-1252
// lacks; tax records with equal dates, without date, with future dates, codes as numbers and as
// texts; prices without date or with a date the export cannot read; rejected articles. The files
// in tests/data/export were written from it by the transfer as it was before the export read each
// value only once; they must not change.
void AddGeneratedArticles(MemoryDatabase& database, int articleCount);

// The set of the export benchmark: articles "A0000000", "A0000001", … in 50 groups (10 top-level
// groups and 40 below them), with four texts, prices 1 to 9 with their dates and a special price
// each, and `taxRecords` tax records.
void AddBenchmarkArticles(MemoryDatabase& database, long articleCount, int taxRecords);

// Field mappings. Over AddGeneratedArticles: "repeated": key "Artikelnummer", every kind of derived
// field, several of them in two rows, all articles; "matchcode": key "Matchcode" (so the group walk
// decides by another field than the key), onlyShopActive ticked. Over AddBenchmarkArticles:
// "benchmark": key, name, long text, prices 1 to 9 with their dates, the special price with its
// dates, group and parent, the tax rate and three more texts.
void UseGeneratedMapping(Settings& settings, const std::string& name);

// The journal with runs of equal entries written once, followed by " (xN)".
std::vector<std::string> CompressedJournal(const std::vector<std::string>& entries);

}  // namespace warenkai::test
