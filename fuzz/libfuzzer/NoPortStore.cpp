// The fuzzers have no database: port settings are neither read nor stored,
// and a parameter set finds no connection.
#include "store/BoxSaveItems.h"
#include "store/DataModule.h"

namespace kv {

void LoadPortSettings(const QString &, int &, QString &) {}
bool StorePortSettings(const QString &, int, const QString &) { return false; }
QString BoxItemSql(const QString &, const QString &) { return {}; }
QString BoxItemInsertSql(const QString &, const QString &, const QString &) { return {}; }
TZovData *ZovData() { return nullptr; }

} // namespace kv
