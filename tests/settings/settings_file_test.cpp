#include "settings/settings.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"
#include "tests/support/test_data.h"

namespace warenkai::test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// A known state is written as tests/data/settings/Einstellungen.ini (99 lines, Windows-1252, CR LF)
// and read back from it.
TEST(SettingsFile, IsWrittenByteForByteAndReadBack) {
    Settings known{.ftpServer = "ftp.example.de:2121",
                   .ftpUser = "Jürgen´s Laden",
                   .ftpPassword = "p@ss=wört€",
                   .shopRoot = "/shop",
                   .shopLink = "https://shop.example.de/?a=1&b=2",
                   .pictureFolder = "C:\\Bilder mit Blanks",
                   .onlyShopActive = true,
                   .passiveMode = true};
    known.mapping[0].selectlineField = "Artikelnummer";
    known.mapping[2].prefix = "Text:";
    known.mapping[5].defaultValue = "";
    known.mapping[17].defaultValue = " 19 ";  // written as it is
    TempFolder folder;
    ASSERT_TRUE(SaveSettings(folder / kSettingsFileName, known));
    EXPECT_EQ(folder.Read(kSettingsFileName),
              TestData(std::string("settings/") + kSettingsFileName));
    Settings reread;
    LoadSettings(folder / kSettingsFileName, reread);
    known.mapping[17].defaultValue = "19";  // blanks around a value are trimmed on reading
    EXPECT_EQ(reread, known);
}

// Lines of a file and the line the program writes back for what it read from them; "" where they
// change nothing.
TEST(SettingsFile, LoadRules) {
    const std::pair<std::string, std::string> cases[] = {
        {"grund0=x\r\nGRUND9=x\r\nGRUND-1=x\r\nGRUND 0=x\r\nGRUND+1=x\r\nGRUND=x", ""},
        {"ARTIKEL10=x\r\nARTIKEL131=x\r\nARTIKEL199999999999=x\r\nARTIKEL1 5=x\r\nARTIKEL42=x", ""},
        {"KUNDE11=x\r\nKUNDE21=x\r\nKUNDECHECK=Ja\r\nkein Gleichheitszeichen\r\n=x", ""},
        {"\0\x01\xFF=\0GRUND\r\n"s + std::string(100000, 'x') + "=" + std::string(100000, 'y') + "\r\n" +
             std::string(5000, '='),
         ""},
        {"DATENCHECK2=JA\r\nARTIKELCHECK=ja", ""},                   // only the exact "Ja" ticks a box
        {"DATENCHECK1=Ja\r\nDATENCHECK1=Nein", "DATENCHECK1=Nein"},  // the later line wins
        {"GRUND01=null", "GRUND1=null"},
        {"  GRUND0  =  a  b  \r\nGRUND1=\tb\t\r\nGRUND2=c=d=e",  // only blanks are trimmed
         "GRUND0=a  b\r\nGRUND1=\tb\t\r\nGRUND2=c=d=e"},
        {"GRUND2=mit\0NUL"s, "GRUND2=mit\0NUL"s},
        {"GRUND0=a\rGRUND1=b\nGRUND3=d\n\r\nGRUND4=e", "GRUND0=a\r\nGRUND1=b\r\nGRUND2=\r\nGRUND3=d\r\nGRUND4=e"},
        {"ARTIKEL26=5\r\nARTIKEL26=", "ARTIKEL26="},
        {"ARTIKEL130=x\r\nARTIKELCHECK= Ja ", "ARTIKEL130=x\r\nARTIKEL230=\r\nARTIKEL330=\r\nARTIKELCHECK=Ja"},
    };
    for (const auto& [bytes, written] : cases) {
        Settings settings;
        ApplySettingsFile(bytes, settings);
        if (written.empty()) {
            EXPECT_EQ(settings, Settings{}) << bytes;
        } else {
            EXPECT_NE(("\r\n" + FormatSettingsFile(settings)).find("\r\n" + written + "\r\n"), std::string::npos)
                << bytes;
        }
    }
}

TEST(SettingsFile, LoadChangesNothingWithoutAFileAndSkipsAnOverlongLine) {
    TempFolder folder;
    Settings settings;
    LoadSettings(folder / kSettingsFileName, settings);
    EXPECT_EQ(settings, Settings{});
    std::ofstream(folder / kSettingsFileName, std::ios::binary)
        << "GRUND0=vorher\r\nGRUND1=" << std::string(std::size_t{50} << 20, 'z') << "\r\nGRUND5=nachher\r\n";
    LoadSettings(folder / kSettingsFileName, settings);
    EXPECT_EQ(settings.ftpServer + "|" + settings.ftpUser + "|" + settings.pictureFolder, "vorher||nachher");
}

}  // namespace
}  // namespace warenkai::test
