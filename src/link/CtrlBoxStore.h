#pragma once
// The port number and settings string of each model in CtrlBoxSaveItems
// (rows "CommPort" and "Settings" under the model key).
#include "link/UnitCtrlBox.h"

namespace kv {

// Takes a stored port (exactly one row, value above 0) and a stored settings
// string (exactly one row, not empty); anything else leaves the values as
// they are. Without a data module nothing is read.
void LoadPortSettings(const TBoxProfile &profile, int &commPort, QString &settings);
// Edits each row when exactly one exists, otherwise appends one. False on
// any database failure or without a data module.
bool StorePortSettings(const TBoxProfile &profile, int commPort, const QString &settings);

} // namespace kv
