// The module CemComp: cement mortar compressive strength on single-frame machines.
#include "CemCompTest.h"
#include "TestModule.h"

using kv::cem::TCemCompTest;
KV_TEST_MODULE(TCemCompTest)
