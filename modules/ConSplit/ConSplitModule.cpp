// The module ConSplit: concrete splitting tensile strength.
#include "ConSplitTest.h"
#include "TestModule.h"

using kv::con::TConSplitTest;
KV_TEST_MODULE(TConSplitTest)
