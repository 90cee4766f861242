#include "common/windows1252.h"

#include <gtest/gtest.h>

namespace warenkai {
namespace {

TEST(Windows1252, EncodesGermanTextAndReplacesWhatTheCodePageLacks) {
    EXPECT_EQ(Utf8ToWindows1252("Zubehör ´ €"), "Zubeh\xF6r \xB4 \x80");
    EXPECT_EQ(Utf8ToWindows1252("\xE2\x82\xAC\xE4\xB8\xAD"), "\x80?");  // € and a CJK character
    EXPECT_EQ(Utf8ToWindows1252("a\xFF"
                                "b"),
              "a?b");  // not UTF-8
}

TEST(Windows1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
}

}  // namespace
}  // namespace warenkai
