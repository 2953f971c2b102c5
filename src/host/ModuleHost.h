#pragma once
// The program's side of the test modules: loading them (the implementation
// of TMyFunction::LoadTestModules) and the order of the test menu in its
// three sections. The main window's menu and selection use them.
#include "BaseTest.h"

#include <QString>
#include <vector>

namespace kv {

class TMyFunction;

// File-name suffix of a test module on this platform (".so").
QString TestModuleSuffix();

struct TTestMenuEntry {
    int ListIndex;  // position in the test list (the menu item's tag)
    QString Caption;
};
// The items of the test-list menu for a kind mask: section 1, then 2, then 3,
// each in list order; tests of no section 1..3 get none. Sets each listed
// test's FModuleIndex to its menu position.
std::vector<TTestMenuEntry> TestMenuEntries(const TMyFunction &tests, int mask);

} // namespace kv
