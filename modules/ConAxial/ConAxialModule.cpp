// The module ConAxial: concrete axial compressive strength.
#include "ConAxialTest.h"
#include "TestModule.h"

using kv::con::TConAxialTest;
KV_TEST_MODULE(TConAxialTest)
