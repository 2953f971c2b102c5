// The fuzzer has no database: port settings are neither read nor stored.
#include "store/BoxSaveItems.h"

namespace kv {

void LoadPortSettings(const QString &, int &, QString &) {}
bool StorePortSettings(const QString &, int, const QString &) { return false; }

} // namespace kv
