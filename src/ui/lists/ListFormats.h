#pragma once
// TEMPORARY STUB
#include "app/ServerListFile.h"
#include <optional>
#include <string>
#include <vector>
namespace korvane {
std::string importedListName(const std::string& chosenPath, const std::string& extension);
void importSslf(const std::string& chosenPath, const std::string& listName);
void exportSslf(const std::string& listName, const std::string& chosenPath);
void importAse(const std::string& chosenPath, const std::string& listName);
} // namespace korvane
