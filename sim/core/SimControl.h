#pragma once
// Text commands of the simulator's control channel (fault injection and
// inspection), one command per line. Every reply ends with a line "ok" or a
// line starting with "error:".
#include "SimBox.h"

#include <QString>

#include <functional>

namespace kvdsim {

struct TControlReply {
    QString text;       // reply lines, the last one "ok" or "error: ..."
    bool quit = false;  // the command asked the simulator to end
    // A waiting command (waitload, waitbreak, waitstop) whose answer is not
    // there yet: asked again as box time goes on until it returns true with
    // the reply in *text. Empty for every other command.
    std::function<bool(TSimBox &box, QString *text)> until;
};

TControlReply ExecuteControl(TSimBox &box, const QString &line);

// Summary of the commands for --help and the "help" command.
QString ControlHelp();

} // namespace kvdsim
