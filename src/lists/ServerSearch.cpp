#include "lists/ServerSearch.h"

#include "platform/Convert.h"

namespace korvane {

SearchEnd searchPass(const std::string& wanted, const SearchTable& table)
{
    if (wanted.empty()) return SearchEnd::NothingToFind;
    bool found = false;
    for (int row = 0; row < table.rowCount(); ++row) {
        const std::optional<std::string> text = table.text(row);
        if (!text || !containsNoCase(*text, wanted)) continue;
        found = true;
        if (!table.showMatch(row)) break;
    }
    return found ? SearchEnd::Found : SearchEnd::NoMatch;
}

} // namespace korvane
