#include "ConAxialTest.h"

namespace kv::con {

const fw::TModuleData &ConAxialData()
{
    static const fw::TModuleData d = ConcreteData(TConKind::Axial);
    return d;
}

} // namespace kv::con
