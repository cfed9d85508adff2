// Reading rules, appends and the reset of Passwords.txt.
#include "admin/PasswordFile.h"
#include "platform/Errors.h"
#include "support/DataFolder.h"
#include "support/ErrorText.h"
#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace korvane;
using korvane::test::crlf;
using korvane::test::DataFolder;

namespace {

const std::vector<std::string> Header = {"// Korvane 1.11 password list", "//", ""};

std::vector<std::string> withHeader(std::vector<std::string> records)
{
    std::vector<std::string> lines = Header;
    lines.insert(lines.end(), records.begin(), records.end());
    return lines;
}

} // namespace

TEST(PasswordFile, KeyIsIpThenPortWithoutSeparator)
{
    EXPECT_EQ(PasswordKey("10.0.0.5", "203"), "10.0.0.5203");
    EXPECT_EQ(PasswordKey("1.2.3.4", "123"), PasswordKey("1.2.3.41", "23"));
}

TEST(PasswordFile, LookupRules)
{
    struct Case
    {
        const char* name;
        std::string bytes;
        std::string key;
        std::optional<std::string> server;
        std::optional<std::string> rcon;
    };
    const std::string k = "10.0.0.5203";
    const Case cases[] = {
        {"header only", crlf(Header), k, std::nullopt, std::nullopt},
        {"one of each", crlf(withHeader({k, "join", k, "rcon:admin"})), k, "join", "admin"},
        {"last of each kind wins",
         crlf(withHeader({k, "old", k, "rcon:r1", k, "new", k, "rcon:r2", "1.1.1.1", "other"})), k, "new",
         "r2"},
        {"an older server record survives a later rcon record", crlf(withHeader({k, "join", k, "rcon:r"})), k,
         "join", "r"},
        {"last record with empty value", crlf(withHeader({k, "join", k, ""})), k, "", std::nullopt},
        {"key must equal the whole line", crlf(withHeader({k + " ", "a", " " + k, "b", "X" + k, "c"})), k,
         std::nullopt, std::nullopt},
        {"key compare is case-sensitive", crlf(withHeader({"host.example5", "a"})), "HOST.example5",
         std::nullopt, std::nullopt},
        {"colliding keys share records", crlf(withHeader({PasswordKey("1.2.3.4", "123"), "shared"})),
         PasswordKey("1.2.3.41", "23"), "shared", std::nullopt},
        {"key on the last line with line end", crlf(withHeader({k, "join", k})), k, "", std::nullopt},
        {"key on the last line without line end", crlf(withHeader({k, "join"})) + k, k, "", std::nullopt},
        {"value line equal to the key is read as a key", crlf(withHeader({"1.1.1.11", k, "taken"})), k,
         "taken", std::nullopt},
        {"scan goes on after the value line", crlf(withHeader({k, k, k, "third"})), k, "third", std::nullopt},
        {"RCON: inside a server password", crlf(withHeader({k, "abcRCON:def"})), k, std::nullopt, "abcdef"},
        {"every rcon: removed in any case", crlf(withHeader({k, "rcon:aRcOn:b rcon:"})), k, std::nullopt,
         "ab "},
        {"LF-only and CR-only files", "x\n" + k + "\njoin\r" + k + "\rrcon:r", k, "join", "r"},
    };
    DataFolder folder;
    for (const Case& c : cases) {
        folder.write(PasswordFileName, c.bytes);
        const StoredPasswords found = findPasswords(c.key);
        EXPECT_EQ(found.server, c.server) << c.name;
        EXPECT_EQ(found.rcon, c.rcon) << c.name;
        EXPECT_EQ(FindServerPassword(c.key), c.server) << c.name;
        EXPECT_EQ(FindRconPassword(c.key), c.rcon) << c.name;
    }
}

TEST(PasswordFile, AppendsRecordsAndReadsBackTheLatest)
{
    DataFolder folder;
    folder.writeLines(PasswordFileName, Header);
    const std::string k = PasswordKey("10.0.0.5", "203");
    AddServerPassword(k, "first");
    AddRconPassword(k, "secret");
    AddServerPassword(k, "second");
    EXPECT_EQ(folder.read(PasswordFileName), crlf(withHeader({k, "first", k, "rcon:secret", k, "second"})));
    EXPECT_EQ(FindServerPassword(k), "second");
    EXPECT_EQ(FindRconPassword(k), "secret");
}

TEST(PasswordFile, AppendAfterUnterminatedLastLineStartsANewLine)
{
    DataFolder folder;
    folder.write(PasswordFileName, crlf(Header) + "1.1.1.11\r\nkeep");
    AddServerPassword("k1", "p");
    const std::string written = crlf(Header) + crlf({"1.1.1.11", "keep", "k1", "p"});
    EXPECT_EQ(folder.read(PasswordFileName), written);
    EXPECT_EQ(FindServerPassword("1.1.1.11"), "keep");

    // On a full disk a record goes in whole or not at all.
    {
        test::FileSizeLimit limit(written.size() + 14);
        EXPECT_THROW(AddServerPassword("127.0.0.112203", "MyNewPassword"), IoError);
    }
    EXPECT_EQ(folder.read(PasswordFileName), written);
}

TEST(PasswordFile, EveryOperationButTheResetNeedsTheFile)
{
    DataFolder folder;
    const std::function<void()> operations[] = {
        [] { findPasswords("k"); },          [] { FindServerPassword("k"); },   [] { FindRconPassword("k"); },
        [] { AddServerPassword("k", "p"); }, [] { AddRconPassword("k", "p"); },
    };
    for (const auto& operation : operations) {
        EXPECT_EQ(test::errorText(operation), "File not found");
        EXPECT_FALSE(folder.exists(PasswordFileName));
    }
}

TEST(PasswordFile, ResetCreatesOrEmptiesTheFile)
{
    DataFolder folder;
    ResetPasswords();
    EXPECT_EQ(folder.read(PasswordFileName), crlf(Header));
    struct stat info
    {};
    ASSERT_EQ(::stat(folder.file(PasswordFileName).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    AddServerPassword("k", "p");
    AddRconPassword("k", "r");
    ResetPasswords();
    EXPECT_EQ(folder.read(PasswordFileName), crlf(Header));
    EXPECT_EQ(FindServerPassword("k"), std::nullopt);
    EXPECT_EQ(FindRconPassword("k"), std::nullopt);
    // An empty key matches the header's empty line, whose next line is the end.
    EXPECT_EQ(FindServerPassword(""), "");
}
