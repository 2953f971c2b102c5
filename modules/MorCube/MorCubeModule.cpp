// The module MorCube: building mortar cubes.
#include "MorCubeTest.h"
#include "TestModule.h"

using kv::mor::TMorCubeTest;
KV_TEST_MODULE(TMorCubeTest)
