#pragma once

#include <QStringList>

#include <optional>

#include "app/OrvaneApplication.h"

namespace orvane {

// The trial tables named after "--progress" on the command line (perhaps none), or nothing when
// the program is to run the experiment.
std::optional<QStringList> ProgressFiles(const QStringList& arguments);

// The program as a viewer of past runs: the "Progress" window alone, showing the runs of these
// trial tables, until it is closed. The acquisition device is not touched. Returns the exit code,
// which is 0.
int RunProgress(OrvaneApplication& app, const QStringList& files);

}  // namespace orvane
