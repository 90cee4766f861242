#include "export/article_export.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "common/cancel_request.h"
#include "common/limited_error_list.h"
#include "common/status_area.h"
#include "common/transfer_context.h"
#include "export/article_file_writer.h"
#include "export/article_prices.h"
#include "export/article_reader.h"
#include "export/articles_seen.h"
#include "export/clean_value.h"
#include "export/evaluate_row.h"
#include "export/row_plan.h"
#include "selectline/selectline_session.h"
#include "settings/settings.h"

namespace warenkai {
namespace {

// The state of one walk over the article table.
class ArticleWalk {
public:
    ArticleWalk(const Settings& settings, TransferContext& context, SelectlineSession& session, ArticlesSeen& seen,
                OutputFolder& folder)
        : m_settings(settings),
          m_context(context),
          m_articles(session.Table("AR")),
          m_seen(seen),
          m_dateErrors(context.status, "Artikel"),
          m_plans(PlanRows(settings.mapping)),
          m_reader({*session.application, m_articles, session.Table("TE"), session.Table("AP"), session.Table("UD")},
                   m_seen.groups.emplace(session.Table("AG")), m_dateErrors, m_plans),
          m_files(folder, context.programFolder, ArticleHeaderLine(settings.mapping)) {}

    int Run() {
        StatusArea& status = m_context.status;
        status.SetStatusText("Auslesen von Artikeln aus Selectline");
        const std::int64_t recordCount = m_articles.Recordcount();
        m_seen.recordCount = recordCount;
        m_seen.passes.clear();
        m_seen.passes.reserve(static_cast<std::size_t>(std::clamp<std::int64_t>(recordCount, 0, 1'000'000)));
        if (recordCount > 0) {
            status.SetProgressMaximum(static_cast<int>(std::min<std::int64_t>(recordCount, INT_MAX)));
        }
        status.SetProgressValue(0);
        for (std::int64_t passIndex = 0; passIndex < recordCount; ++passIndex) {
            // A cancel ends the walk between two articles; the files written so far are closed whole.
            StopIfCancelled(m_context.cancel, passIndex, recordCount, "Artikeln");
            Pass(passIndex);
            if (status.ProgressValue() < status.ProgressMaximum()) {
                status.SetProgressValue(status.ProgressValue() + 1);
            }
        }
        m_files.Finish();
        m_dateErrors.Finish();
        return m_files.articleFileCount();
    }

private:
    // One record of the article table: the mapping rows in grid order, what the group walk needs,
    // then on to the next record.
    void Pass(std::int64_t passIndex) {
        const std::size_t rowCount = m_plans.size();
        bool accepted = false;
        m_reader.BeginArticle();
        for (std::size_t row = 0; row < rowCount; ++row) {
            if (row == 0) {
                accepted = Decide();
            }
            if (accepted) {
                m_context.status.SetStatusText(m_statusText);
                EvaluateRow(m_plans[row], m_reader, m_value);
                Route(m_plans[row].route);
                AppendField(row == 0);
                if (row + 1 == rowCount && (!m_mainGroup.empty() || !m_subGroup.empty())) {
                    FinishRecord();
                    m_files.WriteRecord(passIndex, m_recordLine);
                    ++m_seen.articlesWritten;
                    m_seen.articleFiles = m_files.articleFileCount();
                }
            }
        }
        SeeForGroupWalk();
        m_articleNumber.clear();
        m_articles.Next();
        m_mainGroup.clear();
        m_subGroup.clear();
    }

    // The group walk takes the article by its own rule: "Artikelnummer" not blank and, with
    // onlyShopActive, "ShopAktiv" true; for such an article it needs "Artikelgruppe". An error of
    // reading them is kept for the group walk, which would have met it there, and ends the seeing.
    void SeeForGroupWalk() {
        if (!m_seen.passes.empty() && m_seen.passes.back().error) {
            return;
        }
        SeenArticle article;
        try {
            article.taken = !TrimBlanks(m_reader.Field("Artikelnummer").ToText()).empty() &&
                            (!m_settings.onlyShopActive || m_reader.Field("ShopAktiv").ToBool());
            if (article.taken) {
                article.groupKey = m_reader.Field("Artikelgruppe").ToText();
            }
        } catch (...) {
            article = SeenArticle{false, {}, std::current_exception()};
        }
        m_seen.passes.push_back(std::move(article));
    }

    // Row 1 decides: the article goes to the shop when its key field is not empty and, with
    // onlyShopActive ticked, its "ShopAktiv" is true.
    bool Decide() {
        const std::string& keyField = m_settings.mapping.front().selectlineField;
        if (keyField.empty()) {
            return false;
        }
        m_articleNumber = TrimBlanks(m_reader.Field(keyField).ToText());
        m_reader.SetArticleNumber(m_articleNumber);
        if (m_articleNumber.empty()) {
            return false;
        }
        if (m_settings.onlyShopActive && !m_reader.Field("ShopAktiv").ToBool()) {
            return false;
        }
        m_statusText.assign(kReadingArticle).append(m_articleNumber);
        return true;
    }

    void Route(RowRoute route) {
        switch (route) {
            case RowRoute::None:
                break;
            case RowRoute::OfferFrom:
                m_offerFrom = m_value;
                break;
            case RowRoute::OfferTo:
                m_offerTo = m_value;
                break;
            case RowRoute::DealerOfferFrom:
                m_dealerOfferFrom = m_value;
                break;
            case RowRoute::DealerOfferTo:
                m_dealerOfferTo = m_value;
                break;
            case RowRoute::MainGroup:
                m_mainGroup = m_value;
                break;
            case RowRoute::SubGroup:
                m_subGroup = m_value;
                break;
        }
    }

    void AppendField(bool first) {
        if (first) {
            m_recordLine.assign("\"");
        } else {
            m_recordLine.append("\",\"");
        }
        m_recordLine.append(m_value);
    }

    // The closing quote and the two offer flags.
    void FinishRecord() {
        m_recordLine.append("\",\"")
            .append(OfferFlag(m_offerFrom, m_offerTo))
            .append("\",\"")
            .append(OfferFlag(m_dealerOfferFrom, m_dealerOfferTo))
            .append("\"");
    }

    static constexpr std::string_view kReadingArticle = "Auslesen des Artikels: ";

    const Settings& m_settings;
    TransferContext& m_context;
    SelectlineTable& m_articles;
    ArticlesSeen& m_seen;
    LimitedErrorList m_dateErrors;
    std::vector<RowPlan> m_plans;
    ArticleReader m_reader;
    ArticleFileWriter m_files;

    std::string m_articleNumber;
    std::string m_statusText;
    std::string m_value;
    std::string m_recordLine;
    // The offer values are kept from article to article; the group values are emptied after each.
    std::string m_offerFrom;
    std::string m_offerTo;
    std::string m_dealerOfferFrom;
    std::string m_dealerOfferTo;
    std::string m_mainGroup;
    std::string m_subGroup;
};

}  // namespace

int ExportArticles(const Settings& settings, TransferContext& context, SelectlineSession& session, ArticlesSeen& seen,
                   OutputFolder& folder) {
    return ArticleWalk(settings, context, session, seen, folder).Run();
}

}  // namespace warenkai
