#include "support/DataFolder.h"

#include <QDir>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace korvane::test {

DataFolder::DataFolder() : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
    QDir(m_dir.path()).mkdir(QStringLiteral("Serverlists"));
}

DataFolder::~DataFolder()
{
    QDir::setCurrent(m_previous);
}

std::string DataFolder::file(const std::string& relative) const
{
    std::string name = relative;
    std::replace(name.begin(), name.end(), '\\', '/');
    return m_dir.path().toStdString() + "/" + name;
}

void DataFolder::write(const std::string& relative, const std::string& bytes) const
{
    std::filesystem::create_directories(std::filesystem::path(file(relative)).parent_path());
    std::ofstream out(file(relative), std::ios::binary | std::ios::trunc);
    out << bytes;
}

void DataFolder::writeLines(const std::string& relative, const std::vector<std::string>& lines) const
{
    write(relative, crlf(lines));
}

std::string DataFolder::read(const std::string& relative) const
{
    std::ifstream in(file(relative), std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

bool DataFolder::exists(const std::string& relative) const
{
    return std::filesystem::exists(file(relative));
}

std::vector<std::string> DataFolder::files(const std::string& folder) const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(file(folder)))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string crlf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::vector<std::string> config(const std::map<int, std::string>& lines)
{
    std::vector<std::string> text = {"timer off",
                                     "Serverlists\\Standard",
                                     "clantags off",
                                     "",
                                     "",
                                     "",
                                     "",
                                     "1000",
                                     "fast",
                                     "false",
                                     "0",
                                     "//Tessary Config - Dont change this file !"};
    for (const auto& [number, line] : lines)
        text.at(static_cast<std::size_t>(number - 1)) = line; // throws for a line Config does not have
    return text;
}

} // namespace korvane::test
