// The module CemDuo: cement mortar compressive strength on the compression
// side of the dual machine.
#include "CemDuoTest.h"
#include "TestModule.h"

using kv::cem::TCemDuoTest;
KV_TEST_MODULE(TCemDuoTest)
