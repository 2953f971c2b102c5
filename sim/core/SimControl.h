#pragma once
// Text commands of the simulator's control channel (fault injection and
// inspection), one command per line. Every reply ends with a line "ok" or a
// line starting with "error:".
#include "SimBox.h"

#include <QString>

namespace kvdsim {

struct TControlReply {
    QString text;       // reply lines, the last one "ok" or "error: ..."
    bool quit = false;  // the command asked the simulator to end
};

TControlReply ExecuteControl(TSimBox &box, const QString &line);

// Summary of the commands for --help and the "help" command.
QString ControlHelp();

} // namespace kvdsim
