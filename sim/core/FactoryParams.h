#pragma once
// Factory parameter sets of the simulated controller box, one table per
// parameter family:
//   family 300 (KVD300, KVD300_DJ): a 2000 kN single-frame compression press;
//   family 510 (compression side of KVD510 / KVD510_DJ): a 300 kN frame;
//   family 520 (flexure side of KVD520 / KVD520_DJ): a 10 kN frame.
// Each row carries the program-side value (newtons, force codes, seconds ...)
// and the scale that turns it into the word the box keeps at its address.
// The installed database of the program carries the same set, so a fresh
// installation and a fresh box agree parameter by parameter.
//
// Rows follow the order of the program's parameter table and use each
// family's own stored names. Rows with stored = false are box words that the
// program writes at every run (the loading speeds) but does not store.

namespace kvdsim {

struct TFactoryParam {
    const char *name;   // stored name in this family's spelling
    int address;        // low (or only) box address; -1 = kept by the program only
    int highAddress;    // high-word address of a two-word value; -1 = one word
    long value;         // value in the program's units
    double boxScale;    // box word = round(value x boxScale)
    bool stored;        // part of the program's stored parameter set
};

// ---------------------------------------------------------------------------
// Family 300: 2000 kN compression frame (forces in kN on the wire).
inline constexpr TFactoryParam kFactory300[] = {
    {"FmaxLoad",            36, -1, 2000000, 0.001, true},
    {"FctrlEntry",          39, -1,    1206, 1,     true},   // code of about 20 kN
    {"FForcedLoad",         -1, -1,   40000, 1,     true},
    {"FCantLoadTime",       -1, -1,      30, 1,     true},
    {"FunloadDelay",        60, -1,       3, 1,     true},
    {"FStartJudge",         -1, -1,   60000, 1,     true},
    {"FexistHand",          -1, -1,       0, 1,     true},
    {"FValveInit",          38, -1,   24000, 1,     true},
    {"FValveMiddle",        75, -1,   12000, 1,     true},
    {"FValveBreak",         55, -1,    3000, 1,     true},
    {"FPIDSect1",           40, -1,     300, 1,     true},
    {"FPIDSect2",           41, -1,    1000, 1,     true},
    {"FPIDLoadKP1",         42, -1,     120, 1,     true},
    {"FPIDLoadKI1",         43, -1,      12, 1,     true},
    {"FPIDLoadKP2",         44, -1,     150, 1,     true},
    {"FPIDLoadKI2",         45, -1,      15, 1,     true},
    {"FPIDLoadKP3",         46, -1,     180, 1,     true},
    {"FPIDLoadKI3",         47, -1,      18, 1,     true},
    {"FPIDKeepKP1",         48, -1,      80, 1,     true},
    {"FPIDKeepKI1",         49, -1,       6, 1,     true},
    {"FPIDKeepKP2",         50, -1,     100, 1,     true},
    {"FPIDKeepKI2",         51, -1,       8, 1,     true},
    {"FPIDKeepKP3",         52, -1,     120, 1,     true},
    {"FPIDKeepKI3",         53, -1,      10, 1,     true},
    {"FPIDMaxOunt",         54, -1,    1000, 1,     true},
    {"FPIDMinOut",          -1, -1,       0, 1,     true},
    {"FLoadValue1",          0, -1,       0, 0.001, true},
    {"FLoadCode1",           2,  1,       0, 1,     true},
    {"FLoadCValue2",         3, -1,  200000, 0.001, true},
    {"FLoadCode2",           5,  4,   12060, 1,     true},
    {"FLoadValue3",          6, -1,  400000, 0.001, true},
    {"FLoadCode3",           8,  7,   24090, 1,     true},
    {"FloadValue4",          9, -1,  600000, 0.001, true},
    {"FLoadCode4",          11, 10,   36100, 1,     true},
    {"FLoadValue5",         12, -1,  800000, 0.001, true},
    {"FLoadCode5",          14, 13,   48080, 1,     true},
    {"FLoadValue6",         15, -1, 1000000, 0.001, true},
    {"FLoadCode6",          17, 16,   60050, 1,     true},
    {"FLoadValue7",         18, -1, 1200000, 0.001, true},
    {"FLoadCode7",          20, 19,   72000, 1,     true},
    {"FLoadValue8",         21, -1, 1400000, 0.001, true},
    {"FLoadCode8",          23, 22,   83940, 1,     true},
    {"FLoadValue9",         24, -1, 1600000, 0.001, true},
    {"FLoadCode9",          26, 25,   95870, 1,     true},
    {"FLoadValue10",        27, -1, 1800000, 0.001, true},
    {"FLoadCode10",         29, 28,  107790, 1,     true},
    {"FLoadValue11",        30, -1, 2000000, 0.001, true},
    {"FLoadCode11",         32, 31,  119700, 1,     true},
    {"FLoadLoadValue12",    33, -1, 2200000, 0.001, true},
    {"FLoadCode12",         35, 34,  131610, 1,     true},   // extrapolated from points 10 and 11
    {"FColdMaxTime",        -1, -1,      60, 1,     true},
    {"FColMaxSub",          -1, -1,       0, 1,     true},
    {"FColdEdEachSub",      -1, -1,       0, 1,     true},
    {"FColdCurrSub",        -1, -1,       0, 1,     true},
    {"FColWaitMitme",       -1, -1,       0, 1,     true},
    {"FColdCurrWait",       -1, -1,       0, 1,     true},
    {"FIsViewSpeed",        -1, -1,       0, 1,     true},
    {"FViewSpeedTime",      -1, -1,      10, 1,     true},
    {"FAutoLoad",           -1, -1,       0, 1,     true},
    {"FSpaceJudge",         -1, -1,       0, 1,     true},
    {"FProtectLoad",        -1, -1,     100, 1,     true},   // display units
    {"FUseProtect",         -1, -1,       1, 1,     true},
    {"FProtectTime",        -1, -1,      30, 1,     true},
    {"FJudgeMethod",        -1, -1,       4, 1,     true},
    {"FBreakValue",         -1, -1,   40000, 1,     true},
    {"FdotCount",           -1, -1,       3, 1,     true},
    {"FJudgeLoadPointType", -1, -1,       1, 1,     true},
    {"FJudgeLoadType",      -1, -1,       1, 1,     true},
    {"FJudgeSpeedTime",     -1, -1,      10, 1,     true},
    {"FJudgeSpeedK",        -1, -1,      30, 1,     true},
    {"FJudgeFaTime",        -1, -1,       5, 1,     true},
    {"FJudgeFaK",           -1, -1,      50, 1,     true},
    {"FastSpeed",           37, -1,   10000, 1,     false},  // N/s
    {"SlowSpeed",           56, -1,    2000, 1,     false},  // N/s
};

// ---------------------------------------------------------------------------
// Family 510: 300 kN compression frame (forces in kN on the wire).
inline constexpr TFactoryParam kFactory510[] = {
    {"FMaxLoad",            36, -1,  300000, 0.001, true},
    {"FCtrlEntry",          39, -1,    2115, 1,     true},   // code of about 3 kN
    {"FForcedLoad",         -1, -1,    5000, 1,     true},
    {"FCantLoadTime",       -1, -1,      30, 1,     true},
    {"FunloadDelay",        60, -1,       3, 1,     true},
    {"FStartJudge",         -1, -1,    8000, 1,     true},
    {"FCheckKZ",            -1, -1,       1, 1,     true},
    {"FKZThreshold",        -1, -1,    5000, 1,     true},
    {"FExistHand",          -1, -1,       0, 1,     true},
    {"FValveInit",          38, -1,   24000, 1,     true},
    {"FValveMiddle",        75, -1,   12000, 1,     true},   // shared with family 520
    {"FValveBack",          55, -1,    3000, 1,     true},
    {"FPIDSect1",           40, -1,      45, 1,     true},
    {"FPIDSect2",           41, -1,     150, 1,     true},
    {"FPIDLoadKP1",         42, -1,     120, 1,     true},
    {"FPIDLoadKI1",         43, -1,      12, 1,     true},
    {"FPIDLoadKP2",         44, -1,     150, 1,     true},
    {"FPIDLoadKI2",         45, -1,      15, 1,     true},
    {"FPIDLoadKP3",         46, -1,     180, 1,     true},
    {"FPIDLoadKI3",         47, -1,      18, 1,     true},
    {"FPIDKeepKP1",         48, -1,      80, 1,     true},
    {"FPIDKeepKI1",         49, -1,       6, 1,     true},
    {"FPIDKeepKP2",         50, -1,     100, 1,     true},
    {"FPIDKeepKI2",         51, -1,       8, 1,     true},
    {"FPIDKeepKP3",         52, -1,     120, 1,     true},
    {"FPIDKeepKI3",         53, -1,      10, 1,     true},
    {"FPIDMaxOut",          54, -1,    1000, 1,     true},
    {"FPIDMinOut",          -1, -1,       0, 1,     true},
    {"FLoadValue1",          0, -1,       0, 0.001, true},
    {"FLoadCode1",           2,  1,       0, 1,     true},
    {"FLoadValue2",          3, -1,   30000, 0.001, true},
    {"FLoadCode2",           5,  4,   21150, 1,     true},
    {"FLoadValue3",          6, -1,   60000, 0.001, true},
    {"FLoadCode3",           8,  7,   42240, 1,     true},
    {"FLoadValue4",          9, -1,   90000, 0.001, true},
    {"FLoadCode4",          11, 10,   63290, 1,     true},
    {"FLoadValue5",         12, -1,  120000, 0.001, true},
    {"FLoadCode5",          14, 13,   84300, 1,     true},
    {"FLoadValue6",         15, -1,  150000, 0.001, true},
    {"FLoadCode6",          17, 16,  105270, 1,     true},
    {"FLoadValue7",         18, -1,  180000, 0.001, true},
    {"FLoadCode7",          20, 19,  126200, 1,     true},
    {"FLoadValue8",         21, -1,  210000, 0.001, true},
    {"FLoadCode8",          23, 22,  147090, 1,     true},
    {"FLoadValue9",         24, -1,  240000, 0.001, true},
    {"FLoadCode9",          26, 25,  167950, 1,     true},
    {"FLoadValue10",        27, -1,  270000, 0.001, true},
    {"FLoadCode10",         29, 28,  188780, 1,     true},
    {"FLoadValue11",        30, -1,  300000, 0.001, true},
    {"FLoadCode11",         32, 31,  209590, 1,     true},
    {"FLoadValue12",        33, -1,  330000, 0.001, true},
    {"FLoadCode12",         35, 34,  230400, 1,     true},   // extrapolated from points 10 and 11
    {"FColdMaxTime",        -1, -1,      60, 1,     true},
    {"FColdMaxSub",         -1, -1,       0, 1,     true},
    {"FColdEachSub",        -1, -1,       0, 1,     true},
    {"FColdCurrSub",        -1, -1,       0, 1,     true},
    {"FColdWaitTime",       -1, -1,       0, 1,     true},
    {"FColdCurrWait",       -1, -1,       0, 1,     true},
    {"FIsViewSpeed",        -1, -1,       0, 1,     true},
    {"FViewSpeedTime",      -1, -1,      10, 1,     true},
    {"FAutoLoad",           -1, -1,       0, 1,     true},
    {"FSpaceJudge",         -1, -1,       0, 1,     true},
    {"FProtectLoad",        -1, -1,      15, 1,     true},   // display units
    {"FUseProtect",         -1, -1,       1, 1,     true},
    {"FProtectTime",        -1, -1,      30, 1,     true},
    {"FJudgeMethod",        -1, -1,       4, 1,     true},
    {"FBreakValue",         -1, -1,    3000, 1,     true},
    {"FdotCount",           -1, -1,       3, 1,     true},
    {"FJudgeLoadPointType", -1, -1,       1, 1,     true},
    {"FJudgeLoadType",      -1, -1,       1, 1,     true},
    {"FJudgeSpeedTime",     -1, -1,      10, 1,     true},
    {"FJudgeSpeedK",        -1, -1,      30, 1,     true},
    {"FJudgeFaTime",        -1, -1,       5, 1,     true},
    {"FJudgeFaK",           -1, -1,      50, 1,     true},
    {"FastSpeed",           37, -1,    2400, 1,     false},  // N/s
    {"SlowSpeed",           56, -1,     500, 1,     false},  // N/s
};

// ---------------------------------------------------------------------------
// Family 520: 10 kN flexure frame (forces in N on the wire, speeds x 100).
inline constexpr TFactoryParam kFactory520[] = {
    {"FMaxLoad",           136, -1,   10000, 1,     true},
    {"FCtrlEntry",         139, -1,    2008, 1,     true},   // code of about 100 N
    {"FForcedLoad",         -1, -1,     200, 1,     true},
    {"FCantLoadTime",       -1, -1,      30, 1,     true},
    {"FUnloadDelay",       160, -1,       3, 1,     true},
    {"FStartJudge",         -1, -1,     300, 1,     true},
    {"FCheckKY",            -1, -1,       1, 1,     true},
    {"FKYTHreshold",        -1, -1,    5000, 1,     true},
    {"FExistHand",          -1, -1,       0, 1,     true},
    {"FValveInit",         138, -1,   20000, 1,     true},
    {"FValveMiddle",        75, -1,   12000, 1,     true},   // shared with family 510
    {"FValveBack",         155, -1,    2000, 1,     true},
    {"FPIDSect1",          140, -1,    1500, 1,     true},
    {"FPIDSect2",          141, -1,    5000, 1,     true},
    {"FPIDLoadKP1",        142, -1,     120, 1,     true},
    {"FPIDLoadKI1",        143, -1,      12, 1,     true},
    {"FPIDLoadKP2",        144, -1,     150, 1,     true},
    {"FPIDLoadKI2",        145, -1,      15, 1,     true},
    {"FPIDLoadKP3",        146, -1,     180, 1,     true},
    {"FPIDLoadKI3",        147, -1,      18, 1,     true},
    {"FPIDKeepKP1",        148, -1,      80, 1,     true},
    {"FPIDKeepKI1",        149, -1,       6, 1,     true},
    {"FPIDKeepKP2",        150, -1,     100, 1,     true},
    {"FPIDKeepKI2",        151, -1,       8, 1,     true},
    {"FPIDKeepKP3",        152, -1,     120, 1,     true},
    {"FPIDKeepKI3",        153, -1,      10, 1,     true},
    {"FPIDMaxOut",         154, -1,    1000, 1,     true},
    {"FPIDMinOut",          -1, -1,       0, 1,     true},
    {"FLoadValue1",        100, -1,       0, 1,     true},
    {"FLoadCode1",         102, 101,      0, 1,     true},
    {"FLoadValue2",        103, -1,    1000, 1,     true},
    {"FLoadCode2",         105, 104,  20080, 1,     true},
    {"FLoadValue3",        106, -1,    2000, 1,     true},
    {"FLoadCode3",         108, 107,  40130, 1,     true},
    {"FLoadValue4",        109, -1,    3000, 1,     true},
    {"FLoadCode4",         111, 110,  60150, 1,     true},
    {"FLoadValue5",        112, -1,    4000, 1,     true},
    {"FLoadCode5",         114, 113,  80140, 1,     true},
    {"FLoadValue6",        115, -1,    5000, 1,     true},
    {"FLoadCode6",         117, 116, 100100, 1,     true},
    {"FLoadValue7",        118, -1,    6000, 1,     true},
    {"FLoadCode7",         120, 119, 120040, 1,     true},
    {"FLoadValue8",        121, -1,    7000, 1,     true},
    {"FLoadCode8",         123, 122, 139960, 1,     true},
    {"FLoadValue9",        124, -1,    8000, 1,     true},
    {"FLoadCode9",         126, 125, 159860, 1,     true},
    {"FLoadValue10",       127, -1,    9000, 1,     true},
    {"FLoadCode10",        129, 128, 179750, 1,     true},
    {"FLoadValue11",       130, -1,   10000, 1,     true},
    {"FLoadCode11",        132, 131, 199630, 1,     true},
    {"FLoadValue12",       133, -1,   11000, 1,     true},
    {"FLoadCode12",        135, 134, 219510, 1,     true},   // extrapolated from points 10 and 11
    {"FColdMaxTime",        -1, -1,      60, 1,     true},
    {"FColdMaxSub",         -1, -1,       0, 1,     true},
    {"FColEachSub",         -1, -1,       0, 1,     true},
    {"FColdCurrSub",        -1, -1,       0, 1,     true},
    {"FColdWaitTime",       -1, -1,       0, 1,     true},
    {"FColdCurrWait",       -1, -1,       0, 1,     true},
    {"FISViewSpeed",        -1, -1,       0, 1,     true},
    {"FViewSpeedTime",      -1, -1,      10, 1,     true},
    {"FAutoLoad",           -1, -1,       0, 1,     true},
    {"FSpaceJudge",         -1, -1,       0, 1,     true},
    {"FProtectLoad",        -1, -1,     500, 1,     true},   // display units
    {"FUseProtect",         -1, -1,       1, 1,     true},
    {"FProtectTime",        -1, -1,      30, 1,     true},
    {"FJudgeMethod",        -1, -1,       4, 1,     true},
    {"FBreakValue",         -1, -1,     150, 1,     true},
    {"FdotCount",           -1, -1,       3, 1,     true},
    {"FJudgeLoadPointType", -1, -1,       1, 1,     true},
    {"FJudgeLoadType",      -1, -1,       1, 1,     true},
    {"FJudgeSpeedTime",     -1, -1,      10, 1,     true},
    {"FJudgeSpeedK",        -1, -1,      30, 1,     true},
    {"FJudgeFaTime",        -1, -1,       5, 1,     true},
    {"FJudgeFaK",           -1, -1,      50, 1,     true},
    {"FastSpeed",          137, -1,      50, 100,   false},  // N/s, box word x 100
    {"SlowSpeed",          156, -1,      10, 100,   false},  // N/s, box word x 100
};

enum class TFamily { F300, F510, F520 };

struct TFactoryTable {
    const TFactoryParam *rows;
    int count;
};

TFactoryTable FactoryTable(TFamily family);

// Box word of a row (both words combined for a two-word value).
long FactoryWireValue(const TFactoryParam &p);

} // namespace kvdsim
