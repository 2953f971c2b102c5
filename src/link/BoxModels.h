#pragma once
// The six controller models as data, in two levels. A family row holds what
// the parameter layout and the box's side decide: force channel, parameter
// address offset, speed addresses and scale, command bytes, the sensor check
// of the other channel and the parameter table. A model row holds what tells
// one machine from another: its stored type number, key and names, default
// line settings, status frame, machine kind and drive. Start-up, the driver,
// the parameter set and the side switch of a two-frame machine all read
// these rows; a seventh model is one more row.
#include <QtGlobal>
#include <stdexcept>
#include <string>
#include <vector>

namespace kv {

struct TParamDef;

// A programming error inside the controller link (a byte above 255 in a
// frame, a valve step count above 65535, the reserved slot, a machine type
// outside the table). The text names the source unit.
class EAssertion : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// Parameter families: 300 (KVD300, KVD300_DJ), 510, 520.
enum class TBoxFamily { F300 = 300, F510 = 510, F520 = 520 };
// The channel of a status frame that carries the force code (a seven-byte
// frame has channel A only).
enum class TForceChannel { A, B };
// The sensor check of the other channel in CheckOverload.
enum class TOtherCheck { None, Flexural /*FCheckKZ*/, Compressive /*FCheckKY*/ };

// Machine-kind bits: which tests a machine offers (a test's FMachineMask).
enum TMachineKind : int {
    mkSingleFrame = 1, // KVD300 family: one compression frame
    mkCompressive = 2, // KVD510 family: compression side of a two-frame machine
    mkFlexural = 4,    // KVD520 family: flexure side
};

struct TBoxFamilyRow {
    TBoxFamily Family;
    TForceChannel ForceChannel;
    int ParamOffset;           // numbered parameters: 3n + offset (0 or 100)
    int FastSpeedAddress;      // SetFastSpeed: 37 or 137
    int SlowSpeedAddress;      // SetSlowSpeed: 56 or 156
    int SpeedScale;            // speed value on the wire = value x scale
    int KeepLoadDivisor;       // keep-load force on the wire = N / divisor
    quint8 RunByte;            // Command(1): 0xF0 or 0xE0
    quint8 ClearZeroByte;      // 0xF2 or 0xE2
    int ActivateByte;          // sent after 0xF1 by Activate; -1 none
    int DeactivateByte;        // Deactivate; -1 none
    int CompareResult;         // result of CompareParams (unused by callers)
    TOtherCheck OtherCheck;
    const char *OtherCheckMessage; // CheckOverload text of the other channel
    const std::vector<TParamDef> &(*ParamTable)();
};

struct TBoxModel {
    int MachineType;           // SavString 103: 0..5
    const char *ClassName;     // "TKVD510_DJ"
    const char *Key;           // CtrlBox column of CtrlBoxSaveItems: "KVD510_DJ"
    const char *DisplayName;   // parameter windows and backups: "KVD-510_DJ"
    int Kind;                  // TMachineKind
    bool Motor;                // a _DJ (motor-driven) model
    const char *DefaultSettings;
    int FrameLength;           // status frame: 7 (the old KVD300 box) or 12
    const TBoxFamilyRow &Family;

    // A two-frame machine: the side buttons are shown.
    bool TwoSides() const { return Kind != mkSingleFrame; }
    // The flexure side keeps its own remembered test and settings rows.
    bool FlexuralSide() const { return Kind == mkFlexural; }
};

inline constexpr int BoxModelCount = 6;

// The row of a machine type 0..5; throws EAssertion for other numbers.
const TBoxModel &BoxModel(int machineType);
// The row of a stored machine type: anything outside 0..5 is type 0.
const TBoxModel &StoredBoxModel(int machineType);
// The machine type of the same drive on the side of kind; -1 when the
// model has no such side.
int SideModel(int machineType, int kind);

} // namespace kv
