#include "query/RconRequest.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(RconRequest, DatagramLayout)
{
    struct Case
    {
        std::string password, command, expected;
    } cases[] = {
        {"secret", "status", std::string("\xFF\xFF\xFF\xFF\x02rcon secret status\n\0", 25)},
        {"", "status", std::string("\xFF\xFF\xFF\xFF\x02rcon  status\n\0", 19)},
        {"pw", "say hello world", std::string("\xFF\xFF\xFF\xFF\x02rcon pw say hello world\n\0", 30)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RconDatagram(c.password, c.command), c.expected) << c.command;
}

TEST(RconRequest, QuitAnywhereSkipsTheWait)
{
    struct Case
    {
        std::string password, command;
        bool waits;
    } cases[] = {{"pw", "status", true},
                 {"pw", "quit", false},
                 {"pw", "QUIT", false},
                 {"quitter", "status", false},
                 {"pw", "say qu it", true}};
    for (const Case& c : cases)
        EXPECT_EQ(rconExpectsReply(RconDatagram(c.password, c.command)), c.waits)
            << c.password << " " << c.command;
}

TEST(RconRequest, OnlyExactClearWordsEmptyTheConsole)
{
    EXPECT_TRUE(rconClearsConsole("clr"));
    EXPECT_TRUE(rconClearsConsole("clear"));
    for (const char* other : {"CLR", "Clear", "clr ", " clear", "cls", ""})
        EXPECT_FALSE(rconClearsConsole(other)) << other;
}

TEST(RconRequest, ReplyLines)
{
    using Lines = std::vector<std::string>;
    struct Case
    {
        const char* what;
        std::string reply;
        Lines lines;
    } cases[] = {
        {"one line of text", "\xFF\xFF\xFF\xFF\x01print\nmap: dm/mohdm1\n", {"", "map: dm/mohdm1"}},
        {"print in capitals", "\xFF\xFF\xFF\xFF\x01PRINT\nok\n", {"", "ok"}},
        {"nothing", "", {RconNoResponseLine}},
        {"only the header", "\xFF\xFF\xFF\xFF\x01print", {RconNoResponseLine}},
        {"header and line feed", "\xFF\xFF\xFF\xFF\x01print\n", {""}},
        {"last piece without line feed", "\x01printa\nb", {"a", "b"}},
        {"carriage return stays", "a\r\nb\r\n", {"a\r", "b\r"}},
        {"empty lines between", "a\n\n\nb\n", {"a", "", "", "b"}},
        {"FF bytes inside text",
         "a\xFF"
         "b\n",
         {"ab"}},
        {"01 without print stays", "\x01hello\n", {"\x01hello"}},
        {"FF splits print only before cleaning", "\x01pr\xFFint\n", {""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rconReplyLines(c.reply), c.lines) << c.what;
}
