// The values an import takes from a server's GameSpy status reply.

#include "master/GameSpyStatus.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(GameSpyStatus, ReadsHostPortAndNames)
{
    struct Row
    {
        std::string reply;
        bool answered;
        bool sent;
        int port;
        const char* hostName;
        const char* why;
    };
    const Row rows[] = {
        {"\\gamename\\mohaa\\hostname\\Omaha\\hostport\\12203\\final\\\\queryid\\7.1", true, true, 12203,
         "Omaha", "a whole reply"},
        {"\\HOSTNAME\\A\\HostPort\\12203", true, true, 12203, "A", "keys in any case, no end mark"},
        {"\\hostname\\A\\final\\\\hostport\\1", true, false, 0, "A", "nothing after the end mark counts"},
        {"\\hostport\\12x\\hostport\\5", true, true, 0, "",
         "a port that is not a number; the first key counts"},
        {"\\hostport\\0", true, true, 0, "", "port 0"},
        {"\\hostport\\65536", true, true, 0, "", "beyond the port range"},
        {"\\hostport\\-5", true, true, 0, "", "a sign"},
        {"\\hostname\\A", true, false, 0, "A", "no hostport"},
        {"\\hostport", true, true, 0, "", "a key without its value"},
        {"\\final\\", false, false, 0, "", "an end mark alone"},
        {std::string("\xFF\xFF\xFF\xFFstatusResponse\n\\hostport\\1", 25), false, false, 0, "",
         "the game's own status reply"},
        {"", false, false, 0, "", "nothing"},
    };
    for (const Row& row : rows) {
        const GameSpyStatus status = parseGameSpyStatus(row.reply);
        EXPECT_EQ(status.answered, row.answered) << row.why;
        EXPECT_EQ(status.hostPortSent, row.sent) << row.why;
        EXPECT_EQ(status.hostPort, row.port) << row.why;
        EXPECT_EQ(status.hostName, row.hostName) << row.why;
    }
}
