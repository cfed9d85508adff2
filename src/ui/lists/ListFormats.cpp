#include "ui/lists/ListFormats.h"
namespace korvane {
std::string importedListName(const std::string& p, const std::string&)
{
    return p;
}
void importSslf(const std::string&, const std::string&) {}
void exportSslf(const std::string&, const std::string&) {}
void importAse(const std::string&, const std::string&) {}
} // namespace korvane
