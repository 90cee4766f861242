#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "export/group_tree.h"
#include "export/row_plan.h"
#include "export/server_value.h"
#include "export/tax_table.h"

namespace warenkai {

class LimitedErrorList;
class SelectlineApplication;
class SelectlineTable;

// Where the rows of the current article are read from, each value read from Selectline once: a
// field of the article once per article, whichever rows (and the decision at row 1) name it; each
// price record, the special price and each text once per article, whichever of their fields the
// rows name; the list price once per article; the groups once per transfer (GroupTree); the tax
// table once per transfer (TaxTable). A look-up is made at the first row that needs it, as reading
// row by row would make it; the fields of a found price record that later rows need are read with
// it (their errors kept for those rows, see ServerValue).
class ArticleReader {
public:
    struct Tables {
        SelectlineApplication& application;
        SelectlineTable& articles;  // "AR", standing on the current article
        SelectlineTable& texts;     // "TE"
        SelectlineTable& prices;    // "AP"
        SelectlineTable& taxes;     // "UD"
    };

    // A price record of the current article: found or not, and the fields the rows need.
    struct PriceRecord {
        std::uint64_t article = 0;  // the article it was looked up for
        bool found = false;
        ServerValue amount;  // "Preis"
        ServerValue from;    // "VonDatum"
        ServerValue to;      // "BisDatum"
    };

    ArticleReader(Tables tables, GroupTree& groups, LimitedErrorList& errors, const std::vector<RowPlan>& plans);

    // Forgets what was read of the article before; the article table now stands on the next one.
    void BeginArticle();
    // The key of the current article (trimmed), once row 1 has decided it.
    void SetArticleNumber(const std::string& articleNumber) { m_articleNumber = articleNumber; }
    const std::string& articleNumber() const { return m_articleNumber; }

    // The article table's field of the current article.
    const Variant& Field(const std::string& name);
    // The text record `code` + article number ("TEXT"), or nothing.
    const Variant* Text(const std::string& code);
    // Price `number` ("1" … "9") of kind "G".
    const PriceRecord& Price(const std::string& number);
    // The special price (kind "A").
    const PriceRecord& SpecialPrice();
    const Variant& ListPrice();
    GroupPlace Group(bool readParentName);
    std::string TaxRate();

    LimitedErrorList& errors() { return m_errors; }

private:
    struct Needs {
        bool amount = false, from = false, to = false;
    };
    struct Kept {
        std::uint64_t article = 0;
        bool found = false;
        Variant value;
    };

    void ReadRecord(PriceRecord& record, bool found, const Needs& needs);

    Tables m_tables;
    GroupTree& m_groups;
    LimitedErrorList& m_errors;
    std::optional<TaxTable> m_taxTable;

    // Counts the articles; a kept value belongs to the current article when it carries its count.
    std::uint64_t m_article = 0;
    std::string m_articleNumber;
    std::deque<std::pair<std::string, Kept>> m_fields;  // a deque: the values stay where they are
    std::array<Kept, 4> m_texts;                        // "AR", "AT", "AI", "AS"
    std::array<PriceRecord, 9> m_prices;
    std::array<Needs, 9> m_priceNeeds;
    PriceRecord m_specialPrice;
    Needs m_specialPriceNeeds;
    Kept m_listPrice;
};

}  // namespace warenkai
