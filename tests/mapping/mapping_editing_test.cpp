#include "mapping/mapping_editing.h"

#include <optional>
#include <tuple>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {
namespace {

using ::testing::ElementsAre;
using Lines = std::vector<std::string>;

// The built-in rows' shop columns and default values stand in the expected files of tests/export and
// tests/settings.
TEST(MappingDefaults, ThirtyRowsFiftyTwoNamesAndTheCaptions) {
    EXPECT_EQ(BuildDefaultMapping().size(), 30u);
    const auto& names = SelectlineFieldNames();
    ASSERT_EQ(names.size(), 52u);
    EXPECT_EQ(names[0] + "|" + names[6] + "|" + names[46] + "|" + names[51],
              "Artikelnummer|Artikelgruppe Parent|Aktionspreis ab|Bestell");
    EXPECT_THAT(MappingColumnCaptions(), ElementsAre("Spalten Webshop", "Spalten Selectline", "Spalten Standardwert",
                                                     "Wert vor Selectlinewert"));
}

// Rows 1, 5 and 6 name a Selectline field, row 6 has a prefix besides its default value.
FieldMapping Sample() {
    FieldMapping mapping = BuildDefaultMapping();
    mapping[0].selectlineField = "Artikelnummer";
    mapping[4].selectlineField = "Bild";
    mapping[5] = {"vk_netto", "Preis1", "0", "EUR "};
    return mapping;
}

// "Verbinden": the current row's Selectline field after it, and the answer to the question
// "already mapped" where it is asked.
TEST(MappingEditing, LinkAsksWhenAnyRowHoldsTheNameAlready) {
    const Lines asked = {"question: Spalte von Selectline bereits vorhanden, trotzdem einfügen?"};
    const std::tuple<int, const char*, std::optional<bool>, const char*> cases[] = {
        {6, "Preis2", std::nullopt, "Preis2"},  // default value and prefix stay
        {2, "artikelnummer", std::nullopt, "artikelnummer"},
        {2, "Artikelnummer ", std::nullopt, "Artikelnummer "},
        {2, "Artikelnummer", false, ""},
        {2, "Artikelnummer", true, "Artikelnummer"},
        {5, "Bild", true, "Bild"},  // the current row counts
        {5, "", true, ""},          // no selection: every empty row holds the empty name
        {0, "Preis2", std::nullopt, nullptr},
        {31, "Preis2", std::nullopt, nullptr},
    };
    for (const auto& [row, name, answer, field] : cases) {
        SCOPED_TRACE(std::to_string(row) + " " + name);
        WindowFakes window;
        if (answer) {
            window.dialogs.yesNoAnswers = {*answer};
        }
        FieldMapping mapping = Sample();
        LinkSelectlineField(mapping, row, name, window.dialogs);
        FieldMapping expected = Sample();
        if (field != nullptr) {
            expected[row - 1].selectlineField = field;
        }
        EXPECT_EQ(mapping, expected);
        EXPECT_EQ(window.journal.Entries(), answer ? asked : Lines{});
    }
}

TEST(MappingEditing, ClearingAsksAndEmptiesFieldAndDefaultOnly) {
    WindowFakes window;
    FieldMapping mapping = Sample();
    window.dialogs.yesNoAnswers = {false, true};
    ClearMappingRow(mapping, 6, window.dialogs);
    EXPECT_EQ(mapping[5], (MappingRow{"vk_netto", "Preis1", "0", "EUR "}));
    ClearMappingRow(mapping, 6, window.dialogs);
    EXPECT_EQ(mapping[5], (MappingRow{"vk_netto", "", "", "EUR "}));
    EXPECT_EQ(window.journal.Entries(), Lines(2, "question: Wollen Sie die Zeile wirklich löschen?"));
}

// Cancel leaves the cell as it was (std::nullopt); OK stores the text as typed, also an empty one.
TEST(MappingEditing, ACellClickOpensTheInputBoxForDefaultAndPrefixOnly) {
    WindowFakes window;
    FieldMapping mapping = Sample();
    window.dialogs.textAnswers = {"16", std::nullopt, "", "  EUR "};
    for (const auto& [column, after] : {std::pair{2, "16"}, {2, "16"}, {2, ""}, {3, ""}, {1, ""}, {0, ""}}) {
        MappingCellClicked(mapping, 18, column, window.dialogs);
        EXPECT_EQ(mapping[17].defaultValue, after) << column;
    }
    Eingabefeld_MSHFlexgrid(mapping, 0, 2, window.dialogs);  // the caption row is never edited
    EXPECT_EQ(mapping[17], (MappingRow{"mwstsatz", "", "", "  EUR "}));
    const std::string box = "input: Bitte geben Sie einen Wert ein:|Eingabe|";
    EXPECT_EQ(window.journal.Entries(), (Lines{box + "16", box + "16", box + "16", box}));
}

}  // namespace
}  // namespace warenkai::test
