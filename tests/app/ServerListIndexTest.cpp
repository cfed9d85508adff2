// Indexed look-ups give what the plain file walk gives, and see every change.
#include "app/ServerListIndex.h"
#include "platform/TextFile.h"
#include "support/DataFolder.h"
#include "support/ErrorText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <set>

using namespace korvane;
using korvane::test::DataFolder;
using korvane::test::errorText;

namespace {

std::string describe(const ServerAddress& a)
{
    return (a.found ? "found " : "missing ") + a.ip + "|" + a.port;
}

// Every line of the file, the empty name and a stranger, looked up both ways.
void expectSameLookups(ServerListIndex& index, const std::string& path, const std::string& why)
{
    std::set<std::string> names = {"", "absent"};
    for (const std::string& line : readAllLines(path))
        names.insert(line);
    for (const std::string& name : names)
        EXPECT_EQ(describe(index.lookup(path, name)), describe(lookupServer(path, name)))
            << why << ", name '" << name << "'";
}

} // namespace

TEST(ServerListIndex, LooksUpExactlyAsTheFileWalk)
{
    DataFolder folder;
    const std::string path = listFilePath("Standard");
    std::vector<std::pair<const char*, std::string>> files = {
        {"empty file", ""},
        {"plain records", "A\r\n1.1.1.1\r\n1\r\nB\r\n2.2.2.2\r\n2\r\n"},
        {"duplicates, the last wins", "A\r\n1\r\n1\r\nB\r\n2\r\n2\r\nA\r\n3\r\n3\r\n"},
        {"names equal to IP and port lines", "A\r\nB\r\nC\r\nB\r\nC\r\nA\r\nC\r\nA\r\nB\r\n"},
        {"a name on the line right after a match", "A\nA\nA\nA\nA\nA\nA\n"},
        {"a match inside the taken lines is skipped", "A\r\nx\r\nA\r\nA\r\ny\r\nz\r\n"},
        {"missing port line", "A\r\n1.1.1.1\r\n1\r\nB\r\n2.2.2.2"},
        {"missing IP and port lines", "A\r\n1\r\n1\r\nB\r\n"},
        {"no line end at all", "A"},
        {"CR, LF and CR LF mixed", "A\r1\n2\r\nA\r\r\n3\n\nB\r\n\r4"},
        {"empty lines", "\r\n\r\nA\r\n\r\n\r\n\r\n"},
        {"blanks are text", " A\r\nA \r\n A \r\nA\r\n"},
    };
    // Small alphabets make every kind of overlap; the seed keeps them the same each run.
    std::mt19937 random(20240611);
    const char* pieces[] = {"A", "B", "", "1", "\r\n", "\n", "\r"};
    for (int k = 0; k < 40; ++k) {
        std::string bytes;
        for (int n = static_cast<int>(random() % 60); n > 0; --n)
            bytes += pieces[random() % std::size(pieces)];
        files.emplace_back("generated", bytes);
    }

    ServerListIndex index;
    for (const auto& [why, bytes] : files) {
        folder.write("Serverlists/Standard", bytes);
        expectSameLookups(index, path, why);
    }
}

TEST(ServerListIndex, SeesEveryChangeAndFailsInTheSameWords)
{
    DataFolder folder;
    const std::string path = listFilePath("Standard");
    const std::string other = listFilePath("Other");
    const std::string standard = "Serverlists/Standard";
    ServerListIndex index;
    struct Step
    {
        const char* why;
        std::function<void()> change;
        std::string file, name, ip; // ip empty: the look-up fails
    };
    const Step steps[] = {
        {"first read",
         [&] {
             replaceFileLines(path, {"A", "1.1.1.1", "1"});
         },
         path, "A", "1.1.1.1"},
        {"atomic replace",
         [&] {
             replaceFileLines(path, {"A", "2.2.2.2", "2"});
         },
         path, "A", "2.2.2.2"},
        {"append",
         [&] {
             appendFileLines(path, {"A", "3.3.3.3", "3"});
         },
         path, "A", "3.3.3.3"},
        {"same-size rewrite in place",
         [&] { folder.write(standard, "A\r\n2.2.2.2\r\n2\r\nA\r\n4.4.4.4\r\n4\r\n"); }, path, "A", "4.4.4.4"},
        {"another list",
         [&] {
             replaceFileLines(other, {"B", "5.5.5.5", "5"});
         },
         other, "B", "5.5.5.5"},
        {"back to the first", [] {}, path, "A", "4.4.4.4"},
        {"list gone", [&] { std::filesystem::remove(folder.file(standard)); }, path, "B", ""},
        {"list back",
         [&] {
             replaceFileLines(path, {"B", "6.6.6.6", "6"});
         },
         path, "B", "6.6.6.6"},
        {"a folder in its place",
         [&] {
             std::filesystem::remove(folder.file(standard));
             std::filesystem::create_directory(folder.file(standard));
         },
         path, "B", ""},
    };
    for (const Step& step : steps) {
        step.change();
        ServerAddress indexed, walked;
        const std::string indexError = errorText([&] { indexed = index.lookup(step.file, step.name); });
        const std::string walkError = errorText([&] { walked = lookupServer(step.file, step.name); });
        EXPECT_EQ(indexError, walkError) << step.why;
        EXPECT_EQ(indexError.empty(), !step.ip.empty()) << step.why << ": " << indexError;
        EXPECT_EQ(indexed.ip, step.ip) << step.why;
        EXPECT_EQ(describe(indexed), describe(walked)) << step.why;
    }
}
