#include "store/GlobalParams.h"

namespace kv {

TMyGlbParam::TMyGlbParam(const QString &programDir) : OutFileDir(programDir + QStringLiteral("/OutFile")) {}

} // namespace kv
