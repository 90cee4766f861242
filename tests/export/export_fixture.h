#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "export/article_export.h"
#include "export/articles_seen.h"
#include "selectline/selectline_session.h"
#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {

// The article transfer's world: the window's fakes, an in-memory Selectline with the five tables of
// the transfer, and a program folder of its own.
class ExportTest : public ::testing::Test, protected FakeTransferWorld {
protected:
    ExportTest() {
        for (const char* code : {"AR", "AG", "TE", "AP", "UD"}) {
            database->Table(code);
        }
    }

    // Opens the session as the transfer does, forgets what that did, so a test sees only the export's
    // own work, and runs the article walk. The session stays open for the group walk.
    int Export() {
        session = OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, context);
        journal.Clear();
        return ExportArticles(settings, context, session, seen);
    }

    // Sets the Selectline field, default value and prefix of the row with shop column `shopColumn`.
    void Map(const std::string& shopColumn, const std::string& field, const std::string& defaultValue = "",
             const std::string& prefix = "") {
        const auto row = std::find_if(settings.mapping.begin(), settings.mapping.end(),
                                      [&](const MappingRow& r) { return r.shopColumn == shopColumn; });
        ASSERT_NE(row, settings.mapping.end()) << shopColumn;
        *row = {row->shopColumn, field, defaultValue, prefix};
    }

    // Every mapping row without field, default value and prefix.
    void ClearMapping() {
        for (auto& row : settings.mapping) {
            row = {row.shopColumn, "", "", ""};
        }
    }

    std::string Read(const std::string& name) const { return folder.Read(name); }

    SelectlineSession session;
    // What ExportArticles hands on to ExportArticleGroups.
    ArticlesSeen seen;

    // The journal of one written article: a status text per mapping row.
    static std::vector<std::string> ReadingArticle(const std::string& number) {
        return std::vector<std::string>(30, "status: Auslesen des Artikels: " + number);
    }
};

// The header line of the built-in mapping, with CR LF.
inline const std::string kArticleHeader =
    "\"artikelnummer\",\"bezeichnung\",\"beschreibung\",\"lieferantennummer\",\"bild\",\"vk_netto\","
    "\"vk_brutto\",\"gewicht\",\"packungseinheit\",\"mengeneinheit\",\"angebot_vk_netto\","
    "\"angebot_vk_brutto\",\"angebot_von\",\"angebot_bis\",\"obergruppe\",\"untergruppe\",\"artikelrabatt\","
    "\"mwstsatz\",\"bild_gross\",\"pdf_datei\",\"eancode\",\"verfugbarkeit\",\"hersteller\","
    "\"herstellernummer\",\"vk_netto_handler\",\"vk_brutto_handler\",\"angebot_vk_netto_handler\","
    "\"angebot_vk_brutto_handler\",\"angebot_von_handler\",\"angebot_bis_handler\",\"angebot\","
    "\"angebot_handler\"\r\n";

// A record line of Windows-1252 fields, quoted and joined, with CR LF.
inline std::string Record(const std::vector<std::string>& fields) {
    std::string line;
    for (const auto& field : fields) {
        line += (line.empty() ? "\"" : ",\"") + field + "\"";
    }
    return line + "\r\n";
}

}  // namespace warenkai::test
