#pragma once
// What a run works with: the driver and the test that are current, the
// settings it reads and keeps, the display unit, the clock, the message
// service and the observer of its reports.
#include <QString>
#include <functional>

namespace kv {

class TBaseTest;
class TClock;
class TCtrlBox;
class TMessageService;
class TRunObserver;
struct TGlobalSettings;

struct TRunContext {
    // The current driver (null without a controller link) and test (null
    // when none is selected); asked at every use, they change with the side
    // and the selection.
    std::function<TCtrlBox *()> Box;
    std::function<TBaseTest *()> Test;
    // Re-initialises a silent box between runs (the link's service), on the
    // n-th status tick since the off-line warning (n = 1, 2, ...).
    std::function<void(int silentTick)> Reinitialise;
    // The refresh rate and speed display of the global settings (a run
    // replaces a stored 0 there, kept at exit).
    TGlobalSettings *Settings = nullptr;
    // Newtons per shown force unit.
    std::function<double()> LoadCoe;
    // Folder of the groups' curve files.
    QString OutFileDir;
    // Null: the clock and the message service in force.
    TClock *Clock = nullptr;
    TMessageService *Messages = nullptr;
    TRunObserver *Observer = nullptr;
    // A run refused for differing parameters first lets the operator settle
    // them (the difference dialog); the run starts when the count became 0.
    std::function<void()> ResolveDifferences;
};

} // namespace kv
