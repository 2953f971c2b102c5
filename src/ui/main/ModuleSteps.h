#pragma once
// The main window's steps of the module host: the test menu in its three
// sections and the selection of a test (units, caption, chart, parameter
// form, an unfinished group offered for continuing).
class QAction;

namespace kv {

class TfrmMeasure;
struct TMeasureSteps;

// Fills pmTestList for a kind mask.
void BuildTestMenu(TfrmMeasure &window, int mask);
// Makes the test of an item current.
void SelectTest(TfrmMeasure &window, QAction *item);
// Puts the loading, the menu and the selection into steps.
void InstallTestModuleHost(TMeasureSteps &steps);

} // namespace kv
