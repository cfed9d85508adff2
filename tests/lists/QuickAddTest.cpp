// The name quick add stores for a server: what its status reply says.

#include "lists/QuickAdd.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(QuickAddRules, ServerNameOfAReply)
{
    const std::string header = "\xFF\xFF\xFF\xFF\x01statusResponse\n",
                      players = "0 50 \"Bob\"\n3 40 \"Ann\"\n";
    const std::string cut = header + "\\sv_hostname\\Alpha Clan\\mapname\\x";
    struct Case
    {
        const char* why;
        std::string reply;
        std::string name;
    };
    const std::vector<Case> cases = {
        {"up to the next key", header + "\\sv_hostname\\Alpha Clan\\mapname\\x\n" + players, "Alpha Clan"},
        {"last key: the line end ends it, not the players",
         header + "\\mapname\\x\\sv_hostname\\Zulu Clan\n" + players, "Zulu Clan"},
        {"a CR ends it too", header + "\\mapname\\x\\sv_hostname\\Zulu\r\n" + players, "Zulu"},
        {"up to the end of the reply", header + "\\mapname\\obj/obj_team2\\sv_hostname\\Zulu", "Zulu"},
        {"40 characters are no answer", cut.substr(0, 40), ""},
        {"41 are", cut.substr(0, 41), "Alpha Cl"},
        {"no host name", header + "\\mapname\\obj/obj_team2\\sv_maxclients\\16\n" + players, ""},
        {"another letter case passes the test but is not the key",
         header + "\\SV_HOSTNAME\\Alpha\\mapname\\obj/obj_team2\n" + players, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(serverNameOf(c.reply), c.name) << c.why;
}
