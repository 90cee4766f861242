#include "pictures/picture_upload.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "common/utf8_path.h"
#include "pictures/picture_list.h"
#include "tests/support/fake_transfer_world.h"
#include "tests/support/test_data.h"

namespace warenkai::test {
namespace {

// What differs from a run over the pictures its case names, in the folder "bilder", with everything
// succeeding; what fails, fails for "421 Timeout".
const std::pair<const char*, void (*)(FakeTransferWorld&)> kUploadCases[] = {
    {"Ordner fehlt", [](FakeTransferWorld&) {}},
    {"Datei statt Ordner", [](FakeTransferWorld& world) { world.folder.Write("bilder", "x"); }},
    {"Passiv, synchron, Ordner mit Trenner",
     [](FakeTransferWorld& world) {
         world.settings.passiveMode = world.settings.synchronousTransfer = true;
         world.settings.pictureFolder += static_cast<char>(std::filesystem::path::preferred_separator);
     }},
    {"Upload abgelehnt",
     [](FakeTransferWorld& world) {
         world.ftp.uploadSucceeds = [](const std::string& remote) { return !remote.ends_with("/a.jpg"); };
     }},
    {"Server nicht erreichbar",
     [](FakeTransferWorld& world) {
         world.ftp.connectResults = {true, false};
     }},
    {"Abbruch",
     [](FakeTransferWorld& world) {
         world.status.onStatus = [&world](const std::string& text) {
             if (text == "Übertrage die Datei b.jpg (2 von 3 Dateien)") {
                 world.cancel.Request();
             }
         };
     }},
};

// tests/data/pictures/uploads.txt: per case its name and pictures, then what the user sees, the
// pictures folder written "<Ordner>/", the outcome and the result line.
TEST(PictureUploadTest, EachPictureOverItsOwnConnectionFailuresListedACancelAfterThePictureUnderWay) {
    const auto cases = Cases("pictures/uploads.txt");
    ASSERT_EQ(cases.size(), std::size(kUploadCases));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& [pictures, expected] = cases[i];
        ASSERT_TRUE(pictures.starts_with(std::string(kUploadCases[i].first) + ":")) << pictures;
        FakeTransferWorld world;
        SetShopAccess(world.settings, {.ftpPassword = "ge@heim"});
        world.ftp.failure = "421 Timeout";
        world.settings.pictureFolder = PathToUtf8(world.folder / "bilder");
        std::istringstream names(pictures.substr(pictures.find(':') + 1));
        for (std::string name; names >> name;) {
            world.folder.Write("bilder/" + name, name);
        }
        kUploadCases[i].second(world);
        const int outcome = static_cast<int>(UploadPictures(world.settings, world.context));
        EXPECT_EQ(Text(world.journal.Entries(), world.folder / "bilder") + std::to_string(outcome) + " " +
                      world.status.result + "\n",
                  Text(expected))
            << pictures;
    }
}

TEST(PictureListTest, RegularFilesSortedWithoutRegardToCaseHiddenAndFoldersLeftOut) {
    TempFolder folder;
    // One name per letter whatever the case: on Windows "A.jpg" and "a.jpg" are one file.
    for (const char* name : {"b.jpg", "A.jpg", "c.JPG", ".DS_Store", "Zebra.png", "äpfel.jpg", "Öl.jpg", "ohne endung",
                             "10.jpg", "2.jpg"}) {
        folder.Write(name, "x");
    }
    folder.Write("ordner.jpg/innen.jpg", "x");
    EXPECT_EQ(ListPictureFiles(PathToUtf8(folder.path())),
              (Lines{"10.jpg", "2.jpg", "A.jpg", "b.jpg", "c.JPG", "ohne endung", "Zebra.png", "äpfel.jpg", "Öl.jpg"}));
    EXPECT_TRUE(PictureNameLess("A.jpg", "a.jpg"));
    EXPECT_TRUE(PictureNameLess("Äpfel", "öl"));
}

}  // namespace
}  // namespace warenkai::test
