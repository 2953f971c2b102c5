// The module ConCube: concrete cube compressive strength.
#include "ConCubeTest.h"
#include "TestModule.h"

using kv::con::TConCubeTest;
KV_TEST_MODULE(TConCubeTest)
