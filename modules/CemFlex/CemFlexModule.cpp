// The module CemFlex: cement mortar flexural strength on the flexure side.
#include "CemFlexTest.h"
#include "TestModule.h"

using kv::cem::TCemFlexTest;
KV_TEST_MODULE(TCemFlexTest)
