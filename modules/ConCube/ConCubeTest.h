#pragma once
// TConCubeTest: compressive strength of concrete cubes and cylinders
// ("普通混凝土抗压") by "GB/T 50081-2002".
#include "ConcreteTest.h"

namespace kv::con {

const TConcreteKind &ConCubeKind();
const fw::TModuleData &ConCubeData();

class TConCubeTest : public TConcreteTest {
public:
    TConCubeTest() : TConcreteTest(ConCubeKind(), ConCubeData()) {}
};

} // namespace kv::con
