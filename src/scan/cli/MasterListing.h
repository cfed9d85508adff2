#pragma once
// korvane-scan --master: the public servers of one game from the masters,
// each with its game port, and what each master answered.

#include <string>
#include <vector>

namespace korvane {

struct MasterAddress;

// Prints the servers and the masters' results; the exit status: 0 when at
// least one master gave a list, 1 otherwise.
int printMasterListing(const std::string& gameName, const std::vector<MasterAddress>& masters);

// The masters of the data folder's file, or the community masters when it
// has none; problems with its lines go to standard error.
std::vector<MasterAddress> dataFolderMasters();

} // namespace korvane
