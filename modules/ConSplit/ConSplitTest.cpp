#include "ConSplitTest.h"

namespace kv::con {

const fw::TModuleData &ConSplitData()
{
    static const fw::TModuleData d = ConcreteData(TConKind::Split);
    return d;
}

} // namespace kv::con
