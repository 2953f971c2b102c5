// The fuzzer has no database: port settings are neither read nor stored.
#include "link/CtrlBoxStore.h"

namespace kv {

void LoadPortSettings(const TBoxProfile &, int &, QString &) {}
bool StorePortSettings(const TBoxProfile &, int, const QString &) { return false; }

} // namespace kv
