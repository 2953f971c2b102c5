// The module ConFlex: concrete flexural strength.
#include "ConFlexTest.h"
#include "TestModule.h"

using kv::con::TConFlexTest;
KV_TEST_MODULE(TConFlexTest)
