#pragma once
// One pass of the search window over a column of the server table: every row
// whose text contains the wanted text, ignoring case, is shown in turn until
// the user stops.

#include <functional>
#include <optional>
#include <string>

namespace korvane {

// The table as the pass sees it. A running scan rewrites rows meanwhile, so
// the pass asks for the row count before every row and for each row's text
// only when it reaches that row.
struct SearchTable
{
    std::function<int()> rowCount;
    // Nothing for a row that is gone or has no such column; such rows are passed over.
    std::function<std::optional<std::string>(int row)> text;
    // Shows a matching row and asks whether to go on.
    std::function<bool(int row)> showMatch;
};

enum class SearchEnd { NothingToFind, Found, NoMatch };

// An empty wanted text ends the pass at once.
SearchEnd searchPass(const std::string& wanted, const SearchTable& table);

} // namespace korvane
