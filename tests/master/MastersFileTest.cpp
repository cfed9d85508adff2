// The masters file in a data folder of its own.

#include "master/MastersFile.h"
#include "platform/Paths.h"
#include "support/DataFolder.h"

#include <gtest/gtest.h>

using namespace korvane;
using namespace korvane::test;

TEST(MastersFile, FirstUseWritesTheCommunityMasters)
{
    DataFolder folder;
    const MastersList list = loadMasters();
    EXPECT_EQ(list.masters, defaultMasters());
    EXPECT_TRUE(list.problems.empty());
    EXPECT_EQ(folder.read(MastersFileName),
              "master.333networks.com:28900\r\nmaster.errorist.eu:28900\r\n"
              "master.gonespy.com:28900\r\nmaster.newbiesplayground.net:28900\r\n"
              "master.gametir.com:28900\r\n");

    // The user's own file is never rewritten.
    folder.write(MastersFileName, "127.0.0.1:28900\n");
    EXPECT_EQ(loadMasters().masters, (std::vector<MasterAddress>{{"127.0.0.1", 28900}}));
    EXPECT_EQ(folder.read(MastersFileName), "127.0.0.1:28900\n");
}

TEST(MastersFile, BadLinesAreNamedAndSkipped)
{
    DataFolder folder;
    folder.write(MastersFileName, "# mine\r\n  a.example:1 \r\n\r\nb.example\r\n[::1]:2\r\na.example:1\r\n"
                                  "c.example:0\r\nc example:5\r\n[zz]:5\r\nd.example:70000\r\n"
                                  "e.example:12x\r\n\x01:5\r\n");
    const MastersList list = readMasters(dataPath(MastersFileName));
    EXPECT_EQ(list.masters, (std::vector<MasterAddress>{{"a.example", 1}, {"b.example", 28900}, {"::1", 2}}));
    EXPECT_EQ(list.masters[2].text(), "[::1]:2");
    EXPECT_EQ(list.problems, (std::vector<std::string>{
                                 "Masters.txt line 7: 'c.example:0' is not HOST:PORT",
                                 "Masters.txt line 8: 'c example:5' is not HOST:PORT",
                                 "Masters.txt line 9: '[zz]:5' is not HOST:PORT",
                                 "Masters.txt line 10: 'd.example:70000' is not HOST:PORT",
                                 "Masters.txt line 11: 'e.example:12x' is not HOST:PORT",
                                 "Masters.txt line 12: '?:5' is not HOST:PORT",
                             }));
}
