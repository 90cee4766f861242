#include "app/cli/command_line_arguments.h"

#include <gtest/gtest.h>

namespace warenkai::test {
namespace {

using Kind = CommandLineRequest::Kind;

TEST(CommandLineArguments, EachWordNamesItsTransfer) {
    EXPECT_EQ(ParseCommandLine({"articles"}).transfer, CommandLineTransfer::Articles);
    EXPECT_EQ(ParseCommandLine({"pictures"}).transfer, CommandLineTransfer::Pictures);
    const auto request = ParseCommandLine({"orders"});
    EXPECT_EQ(request.transfer, CommandLineTransfer::Orders);
    EXPECT_EQ(request.kind, Kind::Run);
    EXPECT_FALSE(request.settingsFile.has_value());
    EXPECT_FALSE(request.browser);
}

TEST(CommandLineArguments, OptionsStandBeforeOrAfterTheWord) {
    const auto after = ParseCommandLine({"pictures", "--settings", "a b.ini", "--browser"});
    EXPECT_EQ(after.kind, Kind::Run);
    EXPECT_EQ(after.transfer, CommandLineTransfer::Pictures);
    EXPECT_EQ(after.settingsFile, std::filesystem::path("a b.ini"));
    EXPECT_TRUE(after.browser);

    const auto before = ParseCommandLine({"--settings=/x/E.ini", "articles"});
    EXPECT_EQ(before.kind, Kind::Run);
    EXPECT_EQ(before.transfer, CommandLineTransfer::Articles);
    EXPECT_EQ(before.settingsFile, std::filesystem::path("/x/E.ini"));
}

TEST(CommandLineArguments, WrongCallsNameTheirProblemInGerman) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "Es fehlt die Übertragung (articles, pictures oder orders)."},
        {{"artikel"}, "Unbekannter Befehl: artikel"},
        {{"Articles"}, "Unbekannter Befehl: Articles"},
        {{"articles", "--schnell"}, "Unbekannte Option: --schnell"},
        {{"articles", "-v"}, "Unbekannte Option: -v"},
        {{"articles", "--settings"}, "Bei --settings fehlt die Einstellungsdatei."},
        {{"articles", "--settings="}, "Bei --settings fehlt die Einstellungsdatei."},
        {{"articles", "--settings", "a", "--settings", "b"}, "--settings ist mehr als einmal angegeben."},
        {{"articles", "orders"}, "Es kann nur eine Übertragung auf einmal gestartet werden: orders"},
        {{"--browser"}, "Es fehlt die Übertragung (articles, pictures oder orders)."},
    };
    for (const auto& [arguments, problem] : cases) {
        const auto request = ParseCommandLine(arguments);
        EXPECT_EQ(request.kind, Kind::UsageError) << problem;
        EXPECT_EQ(request.problem, problem);
    }
}

TEST(CommandLineArguments, HelpAndVersionWinOverEverythingElse) {
    EXPECT_EQ(ParseCommandLine({"--help"}).kind, Kind::Help);
    EXPECT_EQ(ParseCommandLine({"-h"}).kind, Kind::Help);
    EXPECT_EQ(ParseCommandLine({"quatsch", "--help"}).kind, Kind::Help);
    EXPECT_EQ(ParseCommandLine({"--version", "--help"}).kind, Kind::Help);
    EXPECT_EQ(ParseCommandLine({"--version"}).kind, Kind::Version);
    EXPECT_EQ(ParseCommandLine({"articles", "--version"}).kind, Kind::Version);
}

}  // namespace
}  // namespace warenkai::test
