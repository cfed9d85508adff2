// What a master's reply yields, for honest and lying masters alike.

#include "master/MasterReply.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

std::string entry(std::uint32_t ip, int port)
{
    const char bytes[] = {static_cast<char>(ip >> 24),  static_cast<char>(ip >> 16),
                          static_cast<char>(ip >> 8),   static_cast<char>(ip),
                          static_cast<char>(port >> 8), static_cast<char>(port)};
    return std::string(bytes, 6);
}

const std::string Final = "\\final\\";

std::string texts(const std::vector<ListedServer>& servers)
{
    std::string all;
    for (const ListedServer& s : servers)
        all += (all.empty() ? "" : " ") + s.text();
    return all;
}

} // namespace

TEST(MasterReply, EachFormAndEachLie)
{
    using Kind = MasterReply::Kind;
    struct Row
    {
        std::string reply;
        Kind kind;
        std::string servers;
        int skipped;
        int repeated;
        const char* why;
    };
    // 92.0.92.92 holds backslashes: the binary part is never searched.
    const std::string two = entry(0x01020304, 12300) + entry(0x5C005C5C, 0x5C5C);
    const Row rows[] = {
        {two + Final, Kind::List, "1.2.3.4:12300 92.0.92.92:23644", 0, 0, "compressed"},
        {entry(0x5C66696E, 0x616C) + Final, Kind::List, "92.102.105.110:24940", 0, 0,
         "a first server spelling the end mark's start"},
        {"\\final\\" + two + Final, Kind::List, "1.2.3.4:12300 92.0.92.92:23644", 0, 0,
         "the greeting's end mark arriving late"},
        {Final, Kind::List, "", 0, 0, "an empty list"},
        {"\\ip\\1.2.3.4:12300\\ip\\5.6.7.8:12301\\final\\", Kind::List, "1.2.3.4:12300 5.6.7.8:12301", 0, 0,
         "plain"},
        {"\\ip\\1.2.3.4\\ip\\5.6.7.8:x\\ip\\5.6.7.8:12301\\final\\", Kind::List, "5.6.7.8:12301", 2, 0,
         "plain entries without a port or with a word for one"},
        {"\\ip\\\\ip\\10.0.0:5\\ip\\10.0.0.256:5\\ip\\10.0.0.1.:5\\ip\\10..0.1:5\\ip\\ "
         "10.0.0.1:5\\ip\\10.0.0.1a:5"
         "\\ip\\1234.1.1.1:5\\ip\\10.0.0.255:5\\final\\",
         Kind::List, "10.0.0.255:5", 8, 0, "plain entries that are no address: dotted quads read strictly"},
        {entry(0, 12300) + entry(0xFFFFFFFF, 12300) + entry(0x01020304, 0) + entry(0xE0000001, 1) + Final,
         Kind::List, "", 4, 0, "0.0.0.0, 255.255.255.255, port 0 and multicast"},
        {entry(0x01020304, 12300) + entry(0x01020304, 12300) + Final, Kind::List, "1.2.3.4:12300", 0, 1,
         "a server listed twice"},
        {two + Final.substr(0, 5), Kind::Bad, "", 0, 0, "cut short before the end mark"},
        {two + "\\" + Final, Kind::Bad, "", 0, 0, "not a whole number of entries"},
        {two, Kind::Bad, "", 0, 0, "no end mark at all"},
        {"\\ip\\1.2.3.4:12300", Kind::Bad, "", 0, 0, "plain without the end mark"},
        {std::string("\x00\xFF\x10\\", 4), Kind::Bad, "", 0, 0, "binary"},
        {"\\echo\\ wrong validation", Kind::Refused, "", 0, 0, "an echo refuses"},
        {"", Kind::Refused, "", 0, 0, "closed without a word"},
    };
    for (const Row& row : rows) {
        const MasterReply reply = parseMasterReply(row.reply);
        EXPECT_EQ(reply.kind, row.kind) << row.why;
        EXPECT_EQ(texts(reply.servers), row.servers) << row.why;
        EXPECT_EQ(reply.skipped, row.skipped) << row.why;
        EXPECT_EQ(reply.repeated, row.repeated) << row.why;
        EXPECT_EQ(reply.kind != Kind::List, !reply.text.empty()) << row.why << ": says why when no list";
    }
}

TEST(MasterReply, HugeListsAreBounded)
{
    std::string many;
    for (std::uint32_t i = 0; i < 2000; ++i)
        many += entry(0x0A000000 + i, 12300);
    const MasterReply cut = parseMasterReply(many + Final, 1500);
    EXPECT_EQ(cut.kind, MasterReply::Kind::List);
    EXPECT_EQ(cut.servers.size(), 1500u);
    EXPECT_TRUE(cut.cut);

    // A million entries is far past the size any master sends.
    std::string million;
    million.reserve(6'000'007);
    for (std::uint32_t i = 0; i < 1'000'000; ++i)
        million += entry(0x0A000000 + i, 12300);
    const MasterReply lie = parseMasterReply(million + Final);
    EXPECT_EQ(lie.kind, MasterReply::Kind::Bad);
    EXPECT_TRUE(lie.servers.empty());
    EXPECT_EQ(lie.text, "the reply is longer than 512 KiB");
}
