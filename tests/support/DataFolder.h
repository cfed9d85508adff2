#pragma once
// A fresh temporary data folder, with an empty Serverlists folder, made current
// for one test; the previous current directory comes back afterwards.

#include <QString>
#include <QTemporaryDir>

#include <map>
#include <string>
#include <vector>

namespace korvane::test {

class DataFolder
{
public:
    DataFolder();
    ~DataFolder();

    QString path() const { return m_dir.path(); }
    std::string file(const std::string& relative) const; // full path; backslashes become slashes

    // Writes raw bytes, creating missing folders; lines joined with CR LF, each ended by one.
    void write(const std::string& relative, const std::string& bytes) const;
    void writeLines(const std::string& relative, const std::vector<std::string>& lines) const;
    std::string read(const std::string& relative) const; // "" for a missing file
    bool exists(const std::string& relative) const;
    std::vector<std::string> files(const std::string& folder) const; // sorted names

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

std::string crlf(const std::vector<std::string>& lines);

// Config as the program writes it for a new user, its twelve lines replaced by
// number counted from 1: config({{8, "500"}, {4, "Nick"}}).
std::vector<std::string> config(const std::map<int, std::string>& lines = {});

} // namespace korvane::test
