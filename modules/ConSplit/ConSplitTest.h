#pragma once
// TConSplitTest: splitting tensile strength of concrete cubes and cylinders
// ("普通混凝土劈裂抗拉") by "GB/T 50081-2002".
#include "ConcreteTest.h"

namespace kv::con {

const TConcreteKind &ConSplitKind();
const fw::TModuleData &ConSplitData();

class TConSplitTest : public TConcreteTest {
public:
    TConSplitTest() : TConcreteTest(ConSplitKind(), ConSplitData()) {}
};

} // namespace kv::con
