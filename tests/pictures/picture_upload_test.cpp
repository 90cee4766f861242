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

// tests/data/pictures/uploads.txt: per case its name and pictures, then what the user sees, the
// pictures folder written "<Ordner>/", the outcome and the result line. A case differs from a run over
// its pictures in the folder "bilder" with everything succeeding as its name says; what fails, fails
// for "421 Timeout".
TEST(PictureUploadTest, EachPictureOverItsOwnConnectionFailuresListedACancelAfterThePictureUnderWay) {
    for (const auto& [pictures, expected] : Cases("pictures/uploads.txt")) {
        FakeTransferWorld world;
        SetShopAccess(world.settings, {.ftpPassword = "ge@heim"});
        world.ftp.failure = "421 Timeout";
        world.settings.pictureFolder = PathToUtf8(world.folder / "bilder");
        std::istringstream names(pictures.substr(pictures.find(':') + 1));
        for (std::string picture; names >> picture;) {
            world.folder.Write("bilder/" + picture, picture);
        }
        if (pictures.starts_with("Datei statt Ordner:")) {
            world.folder.Write("bilder", "x");
        } else if (pictures.starts_with("Passiv, synchron, Ordner mit Trenner:")) {
            world.settings.passiveMode = world.settings.synchronousTransfer = true;
            world.settings.pictureFolder += static_cast<char>(std::filesystem::path::preferred_separator);
        } else if (pictures.starts_with("Upload abgelehnt:")) {
            world.ftp.uploadSucceeds = [](const std::string& remote) { return !remote.ends_with("/a.jpg"); };
        } else if (pictures.starts_with("Server nicht erreichbar:")) {
            world.ftp.connectResults = {true, false};
        }
        world.status.onStatus = [&world, cancels = pictures.starts_with("Abbruch:")](const std::string& text) {
            if (cancels && text == "Übertrage die Datei b.jpg (2 von 3 Dateien)") {
                world.cancel.Request();
            }
        };
        const int outcome = static_cast<int>(UploadPictures(world.settings, world.context));
        EXPECT_EQ(Text(world.journal.Entries(), world.folder / "bilder") + std::to_string(outcome) + " " +
                      world.status.result + "\n",
                  Text(expected))
            << pictures;
    }
}

// The order of the pictures where a folder cannot hold both names: on Windows "A.jpg" and "a.jpg" are
// one file.
TEST(PictureListTest, NamesThatDifferOnlyInCaseByTheirBytes) {
    EXPECT_TRUE(PictureNameLess("A.jpg", "a.jpg"));
    EXPECT_TRUE(PictureNameLess("Äpfel", "öl"));
}

}  // namespace
}  // namespace warenkai::test
