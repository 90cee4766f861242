#include "pictures/picture_upload.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/utf8_path.h"
#include "pictures/picture_list.h"
#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {
namespace {

using Lines = std::vector<std::string>;

class PictureUploadTest : public ::testing::Test, protected FakeTransferWorld {
protected:
    PictureUploadTest() {
        SetShopAccess(settings, {.ftpPassword = "ge@heim"});
        settings.pictureFolder = pictures.path().string();
    }

    TransferOutcome Run() { return UploadPictures(settings, context); }

    std::string Connect(const char* flags = "0x00000000") const {
        return std::string("ftp connect ftp.example.com|shop|ge@heim|") + flags;
    }
    std::string Upload(const std::string& name, int mode = 1) const {
        return "ftp upload " + PathToUtf8(pictures / name) + " -> /shop/config/bilder_artikel/" + name + " mode " +
               std::to_string(mode);
    }
    // The journal of one file whose connection and upload succeed.
    Lines FileStored(const std::string& name, int position, int count, int mode = 1,
                     const char* flags = "0x00000000") const {
        return {Connect(flags),
                "ftp transfertype 2",
                "status: Verbindung erfolgreich",
                "status: Übertrage die Datei " + name + " (" + std::to_string(position) + " von " +
                    std::to_string(count) + " Dateien)",
                Upload(name, mode),
                "status: Datei erfolgreich übertragen",
                "ftp disconnect"};
    }

    TempFolder pictures;
};

const Lines kStart = {"errors cleared", "status: Verbinde mit Webserver"};
const Lines kEnd = {"message: Fertig"};

TEST_F(PictureUploadTest, FolderThatIsMissingOrNoFolderIsNotValid) {
    pictures.Write("datei.jpg", "x");
    for (const auto& path : {(pictures / "fehlt").string(), (pictures / "datei.jpg").string()}) {
        journal.Clear();
        settings.pictureFolder = path;
        EXPECT_EQ(Run(), TransferOutcome::Completed);
        EXPECT_EQ(journal.Entries(), (Lines{"errors cleared", "message: Der Pfad zu den Bildern ist nicht gültig"}));
    }
}

TEST_F(PictureUploadTest, ThreeFilesGoOverThreeConnections) {
    for (const char* name : {"c.jpg", "a.jpg", "b.jpg"}) {
        pictures.Write(name, std::string("Bild ") + name);
    }
    EXPECT_EQ(Run(), TransferOutcome::Completed);
    EXPECT_EQ(journal.Entries(),
              Join({kStart, FileStored("a.jpg", 1, 3), FileStored("b.jpg", 2, 3), FileStored("c.jpg", 3, 3), kEnd}));
    EXPECT_EQ(ftp.uploaded.at("/shop/config/bilder_artikel/b.jpg"), "Bild b.jpg");
    EXPECT_EQ(status.statusText, "Datei erfolgreich übertragen");
    EXPECT_EQ(status.result, "3 von 3 Bildern übertragen, 0 Fehler");
}

// Passive mode and synchronous transfer choose flags and mode; a folder ending in a separator gets no
// second one.
TEST_F(PictureUploadTest, TheSettingsChooseFlagsModeAndPath) {
    pictures.Write("a.jpg", "a");
    settings.passiveMode = true;
    settings.synchronousTransfer = true;
    settings.pictureFolder += static_cast<char>(std::filesystem::path::preferred_separator);
    Run();
    EXPECT_EQ(journal.Entries(), Join({kStart, FileStored("a.jpg", 1, 1, 0, "0x08000000"), kEnd}));
}

TEST_F(PictureUploadTest, AFailedUploadIsListedAndTheRunGoesOn) {
    for (const char* name : {"a.jpg", "b.jpg"}) {
        pictures.Write(name, name);
    }
    ftp.uploadSucceeds = [](const std::string& remote) { return !remote.ends_with("/a.jpg"); };
    ftp.failure = "553 Could not create file.";
    EXPECT_EQ(Run(), TransferOutcome::Completed);
    EXPECT_EQ(journal.Entries(), Join({kStart,
                                       {Connect(), "ftp transfertype 2", "status: Verbindung erfolgreich",
                                        "status: Übertrage die Datei a.jpg (1 von 2 Dateien)", Upload("a.jpg"),
                                        "status: Fehler beim übertragen der Datei",
                                        "error: Fehler: a.jpg [553 Could not create file.]", "ftp disconnect"},
                                       FileStored("b.jpg", 2, 2),
                                       kEnd}));
    EXPECT_EQ(status.result, "1 von 2 Bildern übertragen, 1 Fehler");
}

// A server that cannot be reached costs one time-out per run, not one per picture; the list still
// names every picture not sent.
TEST_F(PictureUploadTest, AfterAFailedConnectionTheRemainingPicturesAreListedButNotTried) {
    for (int i = 1; i <= 20; ++i) {
        pictures.Write("bild" + std::to_string(100 + i) + ".jpg", "x");
    }
    ftp.connectResults = {true, false};
    ftp.failure = "Timeout was reached";
    EXPECT_EQ(Run(), TransferOutcome::Completed);
    EXPECT_EQ(journal.Starting("ftp connect").size(), 2u);
    ASSERT_EQ(status.errors.size(), 19u);
    EXPECT_EQ(status.errors[0], "Fehler: Verbindung konnte nicht aufgebaut werden. bild102.jpg");
    EXPECT_EQ(status.causes[0], "Timeout was reached");
    EXPECT_EQ(status.errors[18], "Fehler: Verbindung konnte nicht aufgebaut werden. bild120.jpg");
    EXPECT_EQ(status.causes[18], "nicht versucht: der Webserver war bei einer Datei davor nicht zu erreichen");
    EXPECT_EQ(status.result, "1 von 20 Bildern übertragen, 19 Fehler");
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
    EXPECT_FALSE(PictureNameLess("b", "A"));
}

// A cancel waits for the picture under way to be stored whole, then ends the upload.
TEST_F(PictureUploadTest, ACancelEndsAfterThePictureUnderWay) {
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        pictures.Write(name, std::string("Bild ") + name);
    }
    status.onStatus = [&](const std::string& text) {
        if (text == "Übertrage die Datei b.jpg (2 von 3 Dateien)") {
            cancel.Request();
        }
    };
    EXPECT_EQ(Run(), TransferOutcome::Cancelled);
    EXPECT_EQ(journal.Entries(),
              Join({kStart,
                    FileStored("a.jpg", 1, 3),
                    FileStored("b.jpg", 2, 3),
                    {"status: Die Übertragung wurde abgebrochen", "error: Abgebrochen nach 2 von 3 Bildern"}}));
    EXPECT_EQ(status.result, "Abgebrochen nach 2 von 3 Bildern; 2 von 3 Bildern übertragen, 0 Fehler");
}

}  // namespace
}  // namespace warenkai::test
