#pragma once
// PROJ's command-line converter cs2cs (package proj-bin), which checks the
// coordinates the system computes through the projection library.

#include <QStringList>

#include <utility>
#include <vector>

namespace testsupport {

// Whether cs2cs is installed.
bool haveCs2cs();
// Runs cs2cs with the arguments ("+proj=... +to +proj=...") over points
// given as (first, second) pairs and gives back the first two numbers of
// each output line (10 decimals).
std::vector<std::pair<double, double>> cs2cs(const QStringList &args,
                                             const std::vector<std::pair<double, double>> &points);

} // namespace testsupport
