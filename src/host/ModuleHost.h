#pragma once
// The program's side of the test modules: loading them (the implementation
// of TMyFunction::LoadTestModules), the test-list menu of the main window in
// its three sections, the selection of a test, and the curve file written
// after each broken specimen. The menu order and the loading are plain
// functions; the window steps use them.
#include "BaseTest.h"

#include <QString>
#include <vector>

class QAction;

namespace kv {

class TfrmMeasure;
class TMyFunction;
struct TMeasureSteps;

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

// Window steps: fill pmTestList; make the test of an item current.
void BuildTestMenu(TfrmMeasure &window, int mask);
void SelectTest(TfrmMeasure &window, QAction *item);
// Puts the steps above, the loading and the continuous-mode query into steps.
void InstallTestModuleHost(TMeasureSteps &steps);

// The group's curve file: outFileDir + "/" + GetCurveFileName.
QString CurveFilePath(TBaseTest &test, const QString &outFileDir);
// Writes curve as specimen FCurrent of the test's curve file (at most 63 per
// group); false when nothing was written.
bool StoreSpecimenCurve(TBaseTest &test, const QString &outFileDir, const TCurvePoints &curve);

} // namespace kv
