#pragma once
// The six machine types stored in SavString 103 and what each one means for
// the controller driver and the buttons of the main window. Start-up, the
// machine-type menu and the side switch all read this one table.
#include <QString>

namespace kv {

enum class TPressedSide { None, Compressive, Flexural };

struct TMachineType {
    int Type;              // SavString 103: 0..5
    const char *Model;     // controller model / driver name ("KVD510_DJ")
    int KindBit;           // 1 single frame, 2 compressive side, 4 flexural side
    bool SideButtons;      // btnKY / btnKZ shown (two-frame machine)
    bool Hydraulic;        // btnReset shown; otherwise bitUp / BitDown (motor)
    TPressedSide Pressed;  // which side button is down
};

inline constexpr int MachineTypeCount = 6;

// The row of a stored type; anything outside 0..5 is treated as type 0.
const TMachineType &MachineType(int type);
// Parses the text of SavString 103; an empty or unreadable text is type 0.
int MachineTypeFromText(const QString &text);

inline int MachineKindBit(int type) { return MachineType(type).KindBit; }
// The flexure-side models (KVD520, KVD520_DJ) keep their own settings rows.
inline bool IsKvd520Family(int type) { return MachineType(type).KindBit == 4; }

} // namespace kv
