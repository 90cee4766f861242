#include "mapping/mapping_editing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/fake_ui.h"

namespace warenkai {
namespace {

using ::testing::ElementsAre;

constexpr const char* kAlreadyMapped = "question: Spalte von Selectline bereits vorhanden, trotzdem einfügen?";
constexpr const char* kReallyDelete = "question: Wollen Sie die Zeile wirklich löschen?";

class MappingEditing : public ::testing::Test {
protected:
    test::Journal journal;
    test::ScriptedDialogs dialogs{journal};
    FieldMapping mapping = BuildDefaultMapping();
};

TEST(MappingDefaults, ThirtyRowsFiftyTwoNamesAndTheCaptions) {
    const FieldMapping mapping = BuildDefaultMapping();
    ASSERT_EQ(mapping.size(), 30u);
    EXPECT_EQ(mapping[0], (MappingRow{"artikelnummer", "", "", ""}));
    EXPECT_EQ(mapping[5], (MappingRow{"vk_netto", "", "0", ""}));
    EXPECT_EQ(mapping[17], (MappingRow{"mwstsatz", "", "16", ""}));
    EXPECT_EQ(mapping[21], (MappingRow{"verfugbarkeit", "", "Ab Lager", ""}));
    EXPECT_EQ(mapping[29], (MappingRow{"angebot_bis_handler", "", "", ""}));
    const auto& names = SelectlineFieldNames();
    ASSERT_EQ(names.size(), 52u);
    EXPECT_EQ(names.front(), "Artikelnummer");
    EXPECT_EQ(names[6], "Artikelgruppe Parent");
    EXPECT_EQ(names[46], "Aktionspreis ab");
    EXPECT_EQ(names.back(), "Bestell");
    EXPECT_THAT(MappingColumnCaptions(), ElementsAre("Spalten Webshop", "Spalten Selectline", "Spalten Standardwert",
                                                     "Wert vor Selectlinewert"));
}

TEST_F(MappingEditing, LinkingANewNameAsksNothingAndKeepsDefaultAndPrefix) {
    mapping[1].prefix = "P";
    LinkSelectlineField(mapping, 2, "Bezeichnung", dialogs);
    EXPECT_EQ(mapping[1], (MappingRow{"bezeichnung", "Bezeichnung", "", "P"}));
    EXPECT_TRUE(journal.Entries().empty());
}

TEST_F(MappingEditing, LinkingANameAlreadyMappedAsksAndNoKeepsTheRow) {
    mapping[0].selectlineField = "Artikelnummer";
    mapping[4].selectlineField = "Bild";
    dialogs.yesNoAnswers = {false};
    LinkSelectlineField(mapping, 5, "Artikelnummer", dialogs);
    EXPECT_EQ(mapping[4].selectlineField, "Bild");

    dialogs.yesNoAnswers = {true};
    LinkSelectlineField(mapping, 5, "Artikelnummer", dialogs);
    EXPECT_EQ(mapping[4].selectlineField, "Artikelnummer");
    EXPECT_EQ(mapping[0].selectlineField, "Artikelnummer");
    EXPECT_THAT(journal.Entries(), ElementsAre(kAlreadyMapped, kAlreadyMapped));
}

TEST_F(MappingEditing, TheCurrentRowCountsAsHoldingTheName) {
    mapping[2].selectlineField = "Langtext";
    dialogs.yesNoAnswers = {true};
    LinkSelectlineField(mapping, 3, "Langtext", dialogs);
    EXPECT_THAT(journal.Entries(), ElementsAre(kAlreadyMapped));
    EXPECT_EQ(mapping[2].selectlineField, "Langtext");
}

TEST_F(MappingEditing, NoSelectionIsTheEmptyNameWhichEveryEmptyRowHolds) {
    mapping[6].selectlineField = "Preis1";
    dialogs.yesNoAnswers = {true};
    LinkSelectlineField(mapping, 7, "", dialogs);
    EXPECT_EQ(mapping[6].selectlineField, "");
    EXPECT_THAT(journal.Entries(), ElementsAre(kAlreadyMapped));
}

TEST_F(MappingEditing, ComparisonIsExact) {
    mapping[0].selectlineField = "artikelnummer";
    for (auto& row : mapping) {
        if (row.selectlineField.empty()) {
            row.selectlineField = "x";
        }
    }
    LinkSelectlineField(mapping, 2, "Artikelnummer", dialogs);
    LinkSelectlineField(mapping, 3, "Artikelnummer ", dialogs);
    EXPECT_TRUE(journal.Entries().empty());
    EXPECT_EQ(mapping[2].selectlineField, "Artikelnummer ");
}

TEST_F(MappingEditing, ClearingAsksAndEmptiesFieldAndDefaultOnly) {
    mapping[5].selectlineField = "Preis1";
    mapping[5].prefix = "EUR ";
    dialogs.yesNoAnswers = {false, true};
    ClearMappingRow(mapping, 6, dialogs);
    EXPECT_EQ(mapping[5], (MappingRow{"vk_netto", "Preis1", "0", "EUR "}));
    ClearMappingRow(mapping, 6, dialogs);
    EXPECT_EQ(mapping[5], (MappingRow{"vk_netto", "", "", "EUR "}));
    EXPECT_THAT(journal.Entries(), ElementsAre(kReallyDelete, kReallyDelete));
}

TEST_F(MappingEditing, CellClickOpensTheInputBoxForDefaultAndPrefixOnly) {
    dialogs.textAnswers = {std::string("16"), std::nullopt, std::string(""), std::string("  EUR ")};
    MappingCellClicked(mapping, 18, 2, dialogs);  // OK with the text unchanged
    EXPECT_EQ(mapping[17].defaultValue, "16");
    MappingCellClicked(mapping, 18, 2, dialogs);  // Cancel leaves the cell as it was
    EXPECT_EQ(mapping[17].defaultValue, "16");
    MappingCellClicked(mapping, 18, 2, dialogs);  // OK with an empty field empties it
    EXPECT_EQ(mapping[17].defaultValue, "");
    MappingCellClicked(mapping, 18, 3, dialogs);  // stored as typed
    EXPECT_EQ(mapping[17].prefix, "  EUR ");
    MappingCellClicked(mapping, 18, 1, dialogs);  // the Selectline field is not typed in
    MappingCellClicked(mapping, 18, 0, dialogs);
    EXPECT_THAT(journal.Entries(), ElementsAre("input: Bitte geben Sie einen Wert ein:|Eingabe|16",
                                               "input: Bitte geben Sie einen Wert ein:|Eingabe|16",
                                               "input: Bitte geben Sie einen Wert ein:|Eingabe|16",
                                               "input: Bitte geben Sie einen Wert ein:|Eingabe|"));
}

TEST_F(MappingEditing, RowsOutsideTheMappingAreLeftAlone) {
    const FieldMapping before = mapping;
    LinkSelectlineField(mapping, 0, "Artikelnummer", dialogs);
    LinkSelectlineField(mapping, 31, "Artikelnummer", dialogs);
    Eingabefeld_MSHFlexgrid(mapping, 0, 2, dialogs);
    EXPECT_EQ(mapping, before);
    EXPECT_TRUE(journal.Entries().empty());
}

}  // namespace
}  // namespace warenkai
