#include "ConCubeTest.h"

namespace kv::con {

const fw::TModuleData &ConCubeData()
{
    static const fw::TModuleData d = ConcreteData(TConKind::Cube);
    return d;
}

} // namespace kv::con
