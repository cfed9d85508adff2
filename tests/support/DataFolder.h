#pragma once
// A fresh temporary data folder made current for one test; the previous
// current directory comes back afterwards.

#include <QString>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace korvane::test {

class DataFolder
{
public:
    DataFolder();
    ~DataFolder();

    QString path() const { return m_dir.path(); }
    std::string file(const std::string& relative) const; // full native path

    // Writes raw bytes; lines joined with CR LF, each ended by one.
    void write(const std::string& relative, const std::string& bytes) const;
    void writeLines(const std::string& relative, const std::vector<std::string>& lines) const;
    std::string read(const std::string& relative) const;
    bool exists(const std::string& relative) const;
    std::vector<std::string> files(const std::string& folder) const; // sorted names

    // Config as the program writes it, with overrides by line number (1-based).
    static std::vector<std::string> configLines();

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

std::string crlf(const std::vector<std::string>& lines);

} // namespace korvane::test
