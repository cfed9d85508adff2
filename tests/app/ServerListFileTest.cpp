// Server list files: names, look-ups, appends and removals.
#include "app/ServerListFile.h"
#include "platform/Errors.h"
#include "support/DataFolder.h"
#include "support/ErrorText.h"
#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>

using namespace korvane;
using korvane::test::DataFolder;

namespace {

const std::string List = "Serverlists/Standard";

std::vector<std::string> records(std::initializer_list<ServerEntry> servers)
{
    std::vector<std::string> lines;
    for (const ServerEntry& s : servers) {
        lines.push_back(s.name);
        lines.push_back(s.ip);
        lines.push_back(s.port);
    }
    return lines;
}

} // namespace

TEST(ServerListFile, EmptyListHasNoNamesAndNoAddresses)
{
    DataFolder folder;
    folder.write(List, "");
    EXPECT_TRUE(readServerNames(listFilePath("Standard")).empty());
    const ServerAddress address = lookupServer(listFilePath("Standard"), "anything");
    EXPECT_FALSE(address.found);
    EXPECT_EQ(address.ip, "");
    EXPECT_EQ(address.port, "");
}

TEST(ServerListFile, LookupComparesEveryLineAndTheLastMatchWins)
{
    DataFolder folder;
    folder.writeLines(List, records({{"Alpha", "10.0.0.1", "12203"},
                                     {"Beta", "10.0.0.2", "12204"},
                                     {"Alpha", "10.0.0.3", "12205"},
                                     {"10.0.0.2", "10.0.0.4", "12206"}}));
    struct Case
    {
        std::string name, ip, port;
    };
    const Case cases[] = {
        {"Alpha", "10.0.0.3", "12205"},    // duplicate names: the later one
        {"Beta", "10.0.0.2", "12204"},     //
        {"12204", "Alpha", "10.0.0.3"},    // a port line matches too, taking the next two lines
        {"10.0.0.2", "10.0.0.4", "12206"}, // an IP line matches first, the name record last
        {"alpha", "", ""},                 // case-sensitive
    };
    for (const Case& c : cases) {
        const ServerAddress address = lookupServer(listFilePath("Standard"), c.name);
        EXPECT_EQ(address.ip, c.ip) << c.name;
        EXPECT_EQ(address.port, c.port) << c.name;
    }
    EXPECT_EQ(readServerNames(listFilePath("Standard")),
              (std::vector<std::string>{"Alpha", "Beta", "Alpha", "10.0.0.2"}));
}

TEST(ServerListFile, MissingPortLineReadsEmpty)
{
    DataFolder folder;
    folder.write(List, "One\r\n1.1.1.1\r\n1\r\nTwo\r\n2.2.2.2");
    EXPECT_EQ(readServerNames(listFilePath("Standard")), (std::vector<std::string>{"One", "Two"}));
    const ServerAddress two = lookupServer(listFilePath("Standard"), "Two");
    EXPECT_EQ(two.ip, "2.2.2.2");
    EXPECT_EQ(two.port, "");
}

TEST(ServerListFile, RemovalComparesNameLinesOnlyAndKeepsOrder)
{
    DataFolder folder;
    folder.writeLines(List, records({{"A", "1.1.1.1", "1"},
                                     {"12203", "2.2.2.2", "12203"},
                                     {"B", "3.3.3.3", "3"},
                                     {"A", "4.4.4.4", "4"},
                                     {"C", "12203", "5"}}));
    removeServer(listFilePath("Standard"), "A");
    EXPECT_EQ(
        folder.read(List),
        test::crlf(records({{"12203", "2.2.2.2", "12203"}, {"B", "3.3.3.3", "3"}, {"C", "12203", "5"}})));
    removeServer(listFilePath("Standard"), "12203");
    EXPECT_EQ(folder.read(List), test::crlf(records({{"B", "3.3.3.3", "3"}, {"C", "12203", "5"}})));
    EXPECT_EQ(folder.files("Serverlists"), (std::vector<std::string>{"Standard"}));
}

TEST(ServerListFile, FailedWritesLeaveTheListWhole)
{
    DataFolder folder;
    const std::string before = test::crlf(records({{"A", "1.1.1.1", "1"}, {"B", "2.2.2.2", "2"}}));
    folder.write(List, before);
    {
        // A full disk part-way through: neither a removal nor an addition leaves half of it.
        test::FileSizeLimit limit(4);
        EXPECT_THROW(removeServer(listFilePath("Standard"), "A"), IoError);
    }
    {
        test::FileSizeLimit limit(before.size() + 12);
        EXPECT_THROW(appendServer(listFilePath("Standard"), {"Charlie", "3.3.3.3", "3"}), IoError);
    }
    EXPECT_EQ(folder.read(List), before);
    EXPECT_EQ(folder.files("Serverlists"), (std::vector<std::string>{"Standard"}));

    EXPECT_EQ(test::errorText([] { removeServer(listFilePath("Gone"), "A"); }), "File not found");
    EXPECT_FALSE(folder.exists("Serverlists/Gone"));
}

TEST(ServerListFile, AppendWriteCreateDeleteEnumerate)
{
    DataFolder folder;
    folder.write(List, "A\r\n1.1.1.1\r\n1"); // edited by hand: no final line end
    appendServer(listFilePath("Standard"), {"B", "host.example", "12203"});
    EXPECT_EQ(readServers(listFilePath("Standard")),
              (std::vector<ServerEntry>{{"A", "1.1.1.1", "1"}, {"B", "host.example", "12203"}}));
    EXPECT_THROW(appendServer(listFilePath("Missing"), {"x", "y", "z"}), IoError);

    createList("Clan");
    writeServerList(listFilePath("Clan"), {{"C", "3.3.3.3", "3"}});
    EXPECT_EQ(folder.read("Serverlists/Clan"), "C\r\n3.3.3.3\r\n3\r\n");
    folder.write("Serverlists/export.sslf", "");
    auto names = enumerateLists();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Clan", "Standard"}));
    deleteList("Clan");
    EXPECT_FALSE(folder.exists("Serverlists/Clan"));
    EXPECT_EQ(currentListPath("Serverlists\\Standard"), folder.file(List));
}

TEST(ServerListFile, ListNamesStayInsideTheListsFolder)
{
    DataFolder folder;
    folder.write("Config", "keep\r\n");
    folder.write("Buddys.txt", "keep\r\n");
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {".", "."},
        {"..", ".."},
        {"..\\Config", "..\\Config"},
        {"../Buddys.txt", "../Buddys.txt"},
        {"a/b", "a/b"},
        {std::string("a\0b", 3), "a?b"}, // control bytes shown as "?"
        {"tab\there", "tab?here"},
        {"new\nline", "new?line"},
    };
    for (const auto& [name, shown] : cases) {
        EXPECT_EQ(test::errorText([&] { createList(name); }), "'" + shown + "' is not a valid list name");
        EXPECT_EQ(test::errorText([&] { deleteList(name); }), "'" + shown + "' is not a valid list name");
    }
    EXPECT_EQ(folder.read("Config"), "keep\r\n");
    EXPECT_EQ(folder.read("Buddys.txt"), "keep\r\n");
    EXPECT_EQ(test::errorText([] { createList("Clan [1] .old"); }), "");
}
