#include "export/article_reader.h"

#include "selectline/selectline_application.h"

namespace warenkai {
namespace {

constexpr const char* kTextCodes[] = {"AR", "AT", "AI", "AS"};

std::size_t TextIndex(const std::string& code) {
    std::size_t index = 0;
    while (index < 3 && code != kTextCodes[index]) {
        ++index;
    }
    return index;
}

// "1" … "9" -> 0 … 8.
std::size_t PriceIndex(const std::string& number) {
    return static_cast<std::size_t>(number.at(0) - '1') % 9;
}

}  // namespace

ArticleReader::ArticleReader(Tables tables, GroupTree& groups, LimitedErrorList& errors,
                             const std::vector<RowPlan>& plans)
    : m_tables(tables), m_groups(groups), m_errors(errors) {
    for (const RowPlan& plan : plans) {
        switch (plan.rule) {
            case FieldRule::Price:
                m_priceNeeds[PriceIndex(plan.key)].amount = true;
                break;
            case FieldRule::PriceValidFrom:
                m_priceNeeds[PriceIndex(plan.key)].from = true;
                break;
            case FieldRule::SpecialPrice:
                m_specialPriceNeeds.amount = true;
                break;
            case FieldRule::SpecialPriceFrom:
                m_specialPriceNeeds.from = true;
                break;
            case FieldRule::SpecialPriceTo:
                m_specialPriceNeeds.to = true;
                break;
            default:
                break;
        }
    }
}

void ArticleReader::BeginArticle() {
    ++m_article;
    m_articleNumber.clear();
}

const Variant& ArticleReader::Field(const std::string& name) {
    auto field = m_fields.begin();
    while (field != m_fields.end() && field->first != name) {
        ++field;
    }
    if (field == m_fields.end()) {
        m_fields.emplace_back(name, Kept{});
        field = m_fields.end() - 1;
    }
    Kept& kept = field->second;
    if (kept.article != m_article) {
        kept.value = m_tables.articles.GetField(name);
        kept.article = m_article;
    }
    return kept.value;
}

const Variant* ArticleReader::Text(const std::string& code) {
    Kept& kept = m_texts[TextIndex(code)];
    if (kept.article != m_article) {
        kept.found = m_tables.texts.FindKey(code + m_articleNumber);
        kept.value = kept.found ? m_tables.texts.GetField("TEXT") : Variant();
        kept.article = m_article;
    }
    return kept.found ? &kept.value : nullptr;
}

void ArticleReader::ReadRecord(PriceRecord& record, bool found, const Needs& needs) {
    SelectlineTable& prices = m_tables.prices;
    record = PriceRecord{m_article, found, {}, {}, {}};
    if (!found) {
        return;
    }
    if (needs.amount) {
        record.amount = ServerValue::Of([&] { return prices.GetField("Preis"); });
    }
    if (needs.from) {
        record.from = ServerValue::Of([&] { return prices.GetField("VonDatum"); });
    }
    if (needs.to) {
        record.to = ServerValue::Of([&] { return prices.GetField("BisDatum"); });
    }
}

const ArticleReader::PriceRecord& ArticleReader::Price(const std::string& number) {
    const std::size_t index = PriceIndex(number);
    PriceRecord& record = m_prices[index];
    if (record.article != m_article) {
        ReadRecord(record, m_tables.prices.FindKey3(m_articleNumber, "G", number), m_priceNeeds[index]);
    }
    return record;
}

const ArticleReader::PriceRecord& ArticleReader::SpecialPrice() {
    if (m_specialPrice.article != m_article) {
        ReadRecord(m_specialPrice, m_tables.prices.FindKey2(m_articleNumber, "A"), m_specialPriceNeeds);
    }
    return m_specialPrice;
}

const Variant& ArticleReader::ListPrice() {
    if (m_listPrice.article != m_article) {
        m_listPrice.value = m_tables.application.Listenpreis(m_articleNumber);
        m_listPrice.article = m_article;
    }
    return m_listPrice.value;
}

GroupPlace ArticleReader::Group(bool readParentName) {
    return m_groups.Place(Field("Artikelgruppe").ToText(), readParentName);
}

std::string ArticleReader::TaxRate() {
    if (!m_taxTable) {
        m_taxTable = TaxTable::Read(m_tables.taxes);
    }
    return m_taxTable->Rate([this] { return Field("SSVerkauf"); });
}

}  // namespace warenkai
