#pragma once
// A stand-in for a game executable: a shell script that writes its working
// directory and then its arguments, one per line, to a record file, counts its
// runs, can wait for a gate file to appear, and exits with a chosen code.

#include <QFile>

#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace korvane::test {

struct FakeGame
{
    std::string path;
    std::string record;
    std::string gate;
    std::string runsFile;

    // folder must exist; name may be "MOHAA.exe", "moh_spearhead.exe", "wine"...
    static FakeGame write(const std::string& folder, const std::string& name, int exitCode,
                          bool executable = true, bool waitForGate = false)
    {
        FakeGame game{folder + "/" + name, folder + "/" + name + ".record", folder + "/" + name + ".gate",
                      folder + "/" + name + ".runs"};
        std::ofstream out(game.path, std::ios::trunc);
        // Tests may start it with a PATH of their own; it needs sleep.
        out << "#!/bin/sh\nPATH=/usr/bin:/bin\n"
            << "{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" << game.record << "'\n"
            << "echo run >> '" << game.runsFile << "'\n";
        // The gate wait gives up after a while so a broken test cannot leave it behind.
        if (waitForGate)
            out << "n=0; while [ ! -e '" << game.gate
                << "' ] && [ $n -lt 600 ]; do sleep 0.05; n=$((n+1)); done\n"
                << "[ -e '" << game.gate << "' ] && echo released >> '" << game.record << "'\n";
        out << "exit " << exitCode << "\n";
        out.close();
        ::chmod(game.path.c_str(), executable ? 0755 : 0644);
        return game;
    }

    bool ran() const { return QFile::exists(QString::fromStdString(record)); }

    // Working directory first, then one line per argument.
    std::vector<std::string> recorded() const
    {
        std::ifstream in(record);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    // How often it was started.
    int runs() const
    {
        std::ifstream in(runsFile);
        int count = 0;
        for (std::string line; std::getline(in, line);)
            ++count;
        return count;
    }

    void release() const { std::ofstream(gate).put('\n'); }
};

} // namespace korvane::test
