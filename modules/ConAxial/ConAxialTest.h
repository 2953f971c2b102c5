#pragma once
// TConAxialTest: axial compressive strength of concrete prisms and
// cylinders ("普通混凝土轴心抗压") by "GB/T 50081-2002".
#include "ConcreteTest.h"

namespace kv::con {

const TConcreteKind &ConAxialKind();
const fw::TModuleData &ConAxialData();

class TConAxialTest : public TConcreteTest {
public:
    TConAxialTest() : TConcreteTest(ConAxialKind(), ConAxialData()) {}
};

} // namespace kv::con
