#pragma once

#include <QString>

namespace kvd {

// Where a data file of the program is: the program folder first, then the installed data
// folder beside it (../share/kvd-manager). Empty when neither has it.
QString findDataFile(const QString& programFolder, const QString& name);

constexpr const char* kHelpFile = "KVD help.html";

} // namespace kvd
