#pragma once
// The six controller-box models the simulator can be, and the machine data of
// the press frames behind them. Model differences are data in these tables.
#include "FactoryParams.h"

#include <QString>

namespace kvdsim {

enum class TModel { KVD300, KVD510, KVD520, KVD300_DJ, KVD510_DJ, KVD520_DJ };

enum class TFrameFormat { Seven, Twelve };

// Sensor channels of the box. A is the compressive (pressure) sensor, B the
// flexural load cell; a single-channel box has only A.
enum TChannel { ChanA = 0, ChanB = 1 };

struct TModelInfo {
    TModel model;
    const char *key;          // "KVD300" ...
    const char *displayName;  // "KVD-300" ...
    const char *settings;     // serial settings the program uses for this model
    TFrameFormat format;
    bool dualFrame;           // a compression frame on A and a flexure frame on B
    bool motorDriven;         // motor-driven (DJ) rather than hydraulic
    TChannel forceChannel;    // channel the program reads as its force code
    TFamily familyA;          // parameter family of the frame on channel A
};

const TModelInfo &ModelInfo(TModel model);
// Parses "KVD300", "KVD510_DJ", "kvd-520" ...; false when unknown.
bool ParseModel(const QString &text, TModel *model);
QString ModelList();   // "KVD300|KVD510|..."

// Machine data of one press frame (not in the box memory: the hardware).
struct TFrameSpec {
    const char *name;          // "compression" / "flexure"
    double stiffness;          // N per mm of platen travel once in contact
    double noLoadGain;         // mm/s of platen speed per valve step above the middle
    double contactGap;         // mm from the start position to a fresh specimen
    double minGap;             // mm of free travel left when a specimen is placed
    double returnSpeed;        // mm/s while unloading or returning
    double jogSpeed;           // mm/s of a manual up/down move
    double jogTime;            // s one up/down command moves
    double stroke;             // mm of travel
    double strengthMean;       // default specimen strength, N
    double strengthSpread;     // standard deviation of the strength, N
    int adcOffset;             // absolute code of the unloaded sensor
    double residual;           // fraction of the peak a broken specimen still carries
    double failTime;           // s over which the force collapses after the break
    double leakSpeed;          // mm/s a leaking return valve loses
};

// Frame data for a parameter family, hydraulic or motor-driven.
const TFrameSpec &FrameSpec(TFamily family, bool motorDriven);

// Box address layout of a family: family 520 lives 100 words higher (except
// the shared valve middle) and carries forces in N and speeds x 100.
struct TFamilyLayout {
    int offset;           // 0 or 100
    double forceUnit;     // newtons per unit of a force word (1000 or 1)
    double speedScale;    // box word per N/s (1 or 100)
};
const TFamilyLayout &FamilyLayout(TFamily family);

// Addresses (without the family offset).
enum TAddress {
    AddrTable = 0,        // 3(k-1): value k, 3(k-1)+1 / +2: code k high / low
    AddrMaxLoad = 36,
    AddrFastSpeed = 37,
    AddrValveInit = 38,
    AddrCtrlEntry = 39,
    AddrPidSect1 = 40,
    AddrPidSect2 = 41,
    AddrPidMaxOut = 54,
    AddrValveBack = 55,
    AddrSlowSpeed = 56,
    AddrUnloadDelay = 60,
    AddrValveMiddle = 75  // shared by both families of a two-channel box
};

} // namespace kvdsim
