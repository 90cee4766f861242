#include "settings/settings.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace warenkai {
namespace {

using test::TempFolder;

// The file a fresh program writes with the built-in mapping and nothing filled in.
std::string DefaultFile() {
    std::string expected;
    for (int i = 0; i < 6; ++i) {
        expected += "GRUND" + std::to_string(i) + "=\r\n";
    }
    const auto mapping = BuildDefaultMapping();
    for (int r = 1; r <= 30; ++r) {
        expected += "ARTIKEL1" + std::to_string(r) + "=\r\n";
        expected += "ARTIKEL2" + std::to_string(r) + "=" + mapping[r - 1].defaultValue + "\r\n";
        expected += "ARTIKEL3" + std::to_string(r) + "=\r\n";
    }
    expected += "ARTIKELCHECK=Nein\r\nDATENCHECK1=Nein\r\nDATENCHECK2=Nein\r\n";
    return expected;
}

Settings Loaded(const std::string& bytes) {
    Settings settings;
    ApplySettingsFile(bytes, settings);
    return settings;
}

TEST(SettingsFileFormat, DefaultStateGivesNinetyNineLinesInOrder) {
    const std::string file = FormatSettingsFile(Settings{});
    EXPECT_EQ(file, DefaultFile());
    EXPECT_NE(file.find("ARTIKEL218=16\r\n"), std::string::npos);
    EXPECT_NE(file.find("ARTIKEL222=Ab Lager\r\n"), std::string::npos);
    std::size_t lines = 0;
    for (std::size_t pos = 0; (pos = file.find("\r\n", pos)) != std::string::npos; pos += 2) {
        ++lines;
    }
    EXPECT_EQ(lines, 99u);
}

TEST(SettingsFileFormat, KnownStateIsWrittenByteForByte) {
    Settings settings;
    settings.ftpServer = "ftp.example.de:2121";
    settings.ftpUser = "shop user";
    settings.ftpPassword = "p@ss=wört:´";
    settings.shopRoot = "/shop";
    settings.shopLink = "https://shop.example.de/?a=1&b=2";
    settings.pictureFolder = "/home/bilder";
    settings.onlyShopActive = true;
    settings.passiveMode = true;
    settings.mapping[0].selectlineField = "Artikelnummer";
    settings.mapping[17].defaultValue = " 19 ";
    settings.mapping[29].prefix = "€ and 中";

    const std::string file = FormatSettingsFile(settings);
    EXPECT_EQ(file.substr(0, file.find("ARTIKEL11=")),
              "GRUND0=ftp.example.de:2121\r\nGRUND1=shop user\r\nGRUND2=p@ss=w\xF6rt:\xB4\r\nGRUND3=/shop\r\n"
              "GRUND4=https://shop.example.de/?a=1&b=2\r\nGRUND5=/home/bilder\r\n");
    EXPECT_NE(file.find("\r\nARTIKEL11=Artikelnummer\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\nARTIKEL218= 19 \r\n"), std::string::npos);  // written without trimming
    EXPECT_NE(file.find("\r\nARTIKEL330=\x80 and ?\r\n"), std::string::npos);
    const std::string switches = "ARTIKELCHECK=Ja\r\nDATENCHECK1=Nein\r\nDATENCHECK2=Ja\r\n";
    EXPECT_EQ(file.substr(file.size() - switches.size()), switches);
}

TEST(SettingsFileFormat, EveryAllowedValueSurvivesAReadAndAWrite) {
    Settings settings;
    settings.ftpPassword = "a=b=c";
    settings.shopLink = "http://x/?Autowert=1";
    settings.pictureFolder = "C:\\Bilder mit Blanks";
    settings.ftpUser = "Jürgen´s ÄÖÜß";
    settings.mapping[21].defaultValue = "Ab Lager";
    settings.mapping[5].defaultValue = "";
    settings.mapping[2].selectlineField = "Langtext";
    settings.mapping[2].prefix = "Text: ";  // a trailing blank does not survive: blanks are trimmed on reading
    settings.synchronousTransfer = true;

    const std::string once = FormatSettingsFile(settings);
    Settings reread = Loaded(once);
    EXPECT_EQ(reread.ftpPassword, "a=b=c");
    EXPECT_EQ(reread.ftpUser, "Jürgen´s ÄÖÜß");
    EXPECT_EQ(reread.mapping[2].prefix, "Text:");
    EXPECT_EQ(reread.mapping[5].defaultValue, "");
    EXPECT_TRUE(reread.synchronousTransfer);
    reread.mapping[2].prefix = "Text: ";
    EXPECT_EQ(reread, settings);
    EXPECT_EQ(FormatSettingsFile(Loaded(once)), FormatSettingsFile(Loaded(FormatSettingsFile(Loaded(once)))));
}

TEST(SettingsLoadRules, FamiliesAreMatchedExactlyAndNumbersMustBeInRange) {
    const Settings settings = Loaded(
        "grund0=lower case key\r\n"
        "GRUND9=no field nine\r\n"
        "GRUND-1=negative\r\n"
        "GRUND 0=blank inside\r\n"
        "GRUND+1=plus sign\r\n"
        "GRUND01=leading zero\r\n"
        "GRUND=no number\r\n"
        "ARTIKEL10=row zero\r\n"
        "ARTIKEL131=row 31\r\n"
        "ARTIKEL199999999999=huge\r\n"
        "ARTIKEL1 5=blank in number\r\n"
        "ARTIKEL42=no family four\r\n"
        "KUNDE11=customer mapping\r\n"
        "KUNDE21=customer default\r\n"
        "KUNDECHECK=Ja\r\n"
        "GRUND4=kept\r\n"
        "ARTIKEL130=last row\r\n");
    Settings expected;
    expected.ftpUser = "leading zero";  // "01" is the number 1
    expected.shopLink = "kept";
    expected.mapping[29].selectlineField = "last row";
    EXPECT_EQ(settings, expected);
}

TEST(SettingsLoadRules, BlanksAroundKeyAndValueAreTrimmedAndTheRestKept) {
    const Settings settings = Loaded(
        "  GRUND0  =  ftp.example.de  \r\n"
        "GRUND1=\tuser\t\r\n"
        "GRUND2=pass=with=equals\r\n"
        "ARTIKEL222= Ab  Lager \r\n"
        "no equals sign at all\r\n"
        "=value without key\r\n");
    EXPECT_EQ(settings.ftpServer, "ftp.example.de");
    EXPECT_EQ(settings.ftpUser, "\tuser\t");  // only blanks are trimmed
    EXPECT_EQ(settings.ftpPassword, "pass=with=equals");
    EXPECT_EQ(settings.mapping[21].defaultValue, "Ab  Lager");
}

TEST(SettingsLoadRules, SwitchesTakeOnlyTheExactJa) {
    EXPECT_TRUE(Loaded("ARTIKELCHECK=Ja").onlyShopActive);
    EXPECT_TRUE(Loaded("ARTIKELCHECK= Ja ").onlyShopActive);
    EXPECT_FALSE(Loaded("ARTIKELCHECK=ja").onlyShopActive);
    EXPECT_FALSE(Loaded("ARTIKELCHECK=JA").onlyShopActive);
    EXPECT_FALSE(Loaded("DATENCHECK1=Ja\r\nDATENCHECK1=Nein").synchronousTransfer);  // the later line wins
    EXPECT_TRUE(Loaded("DATENCHECK2=1\nDATENCHECK2=Ja").passiveMode);
    // A ticked box from before is unticked by a line that is not exactly "Ja".
    Settings settings;
    settings.onlyShopActive = true;
    ApplySettingsFile("ARTIKELCHECK=ja\r\n", settings);
    EXPECT_FALSE(settings.onlyShopActive);
    EXPECT_NE(FormatSettingsFile(settings).find("ARTIKELCHECK=Nein\r\n"), std::string::npos);
}

TEST(SettingsLoadRules, LaterLinesWinAndMissingKeysKeepTheirValue) {
    const Settings settings = Loaded("ARTIKEL26=5\r\nARTIKEL26=\r\nGRUND3=/a\r\nGRUND3=/b\r\n");
    EXPECT_EQ(settings.mapping[5].defaultValue, "");   // "vk_netto" default emptied
    EXPECT_EQ(settings.mapping[6].defaultValue, "0");  // untouched rows keep their built-in defaults
    EXPECT_EQ(settings.mapping[17].defaultValue, "16");
    EXPECT_EQ(settings.shopRoot, "/b");
}

TEST(SettingsLoadRules, LineEndsMayBeCrLfLfOrCr) {
    const Settings settings = Loaded("GRUND0=a\rGRUND1=b\nGRUND2=c\r\nGRUND3=d\n\r\nGRUND4=e");
    EXPECT_EQ(settings.ftpServer, "a");
    EXPECT_EQ(settings.ftpUser, "b");
    EXPECT_EQ(settings.ftpPassword, "c");
    EXPECT_EQ(settings.shopRoot, "d");
    EXPECT_EQ(settings.shopLink, "e");  // the last line needs no line end
}

TEST(SettingsLoadRules, Windows1252BytesAreReadAsTheirCharacters) {
    EXPECT_EQ(Loaded("GRUND1=J\xFCrgen \xB4\x80\r\n").ftpUser, "Jürgen ´€");
}

TEST(SettingsLoadRules, GarbageNeverStopsValidLines) {
    std::string garbage("\0\x01\xFF=\0GRUND", 11);
    garbage += "\r\nGRUND0=srv\r\n";
    garbage += std::string(100000, 'x') + "=" + std::string(100000, 'y') + "\n";
    garbage += "GRUND1=" + std::string(1 << 20, 'u') + "\n";
    garbage += std::string("GRUND2=with\0nul", 15) + "\n";
    const Settings settings = Loaded(garbage);
    EXPECT_EQ(settings.ftpServer, "srv");
    EXPECT_EQ(settings.ftpUser.size(), std::size_t{1} << 20);
    EXPECT_EQ(settings.ftpPassword, std::string("with\0nul", 8));
    EXPECT_EQ(Loaded("").ftpServer, "");
    EXPECT_EQ(Loaded(std::string(5000, '=')).ftpServer, "");
}

TEST(SettingsFile, MissingDirectoryOrHugeFileLeavesTheDefaults) {
    TempFolder folder;
    Settings settings;
    LoadSettings(folder / kSettingsFileName, settings);
    EXPECT_EQ(settings, Settings{});

    std::filesystem::create_directory(folder / "Einstellungen.ini");
    LoadSettings(folder / kSettingsFileName, settings);
    EXPECT_EQ(settings, Settings{});
}

TEST(SettingsFile, FiftyMegabyteFileStillAppliesItsLines) {
    TempFolder folder;
    {
        std::ofstream out(folder / kSettingsFileName, std::ios::binary);
        out << "GRUND0=first\r\n";
        const std::string block(1 << 20, 'z');
        for (int i = 0; i < 50; ++i) {
            out << block;
        }
        out << "\r\nGRUND5=/bilder\r\n";
    }
    Settings settings;
    LoadSettings(folder / kSettingsFileName, settings);
    EXPECT_EQ(settings.ftpServer, "first");
    EXPECT_EQ(settings.pictureFolder, "/bilder");
}

TEST(SettingsFile, SaveThenLoadGivesTheSameState) {
    TempFolder folder;
    Settings settings;
    settings.ftpServer = "ftp.example.de";
    settings.mapping[14].selectlineField = "Artikelgruppe Parent";
    settings.passiveMode = true;
    ASSERT_TRUE(SaveSettings(folder / kSettingsFileName, settings));
    EXPECT_EQ(folder.Read(kSettingsFileName), FormatSettingsFile(settings));
    Settings reread;
    LoadSettings(folder / kSettingsFileName, reread);
    EXPECT_EQ(reread, settings);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(SettingsFile, ReadOnlyFileIsReplaced) {
    TempFolder folder;
    const auto file = folder.Write(kSettingsFileName, "GRUND0=old\r\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    Settings settings;
    settings.ftpServer = "new";
    EXPECT_TRUE(SaveSettings(file, settings));
    EXPECT_EQ(folder.Read(kSettingsFileName), FormatSettingsFile(settings));
}

TEST(SettingsFile, FolderThatCannotBeWrittenKeepsNothingAndFailsSilently) {
    TempFolder folder;
    // A file standing where the folder should be: nothing can be created inside it, even as root.
    const auto notAFolder = folder.Write("not-a-folder", "x");
    EXPECT_FALSE(SaveSettings(notAFolder / kSettingsFileName, Settings{}));
    EXPECT_EQ(folder.Read("not-a-folder"), "x");
}

}  // namespace
}  // namespace warenkai
