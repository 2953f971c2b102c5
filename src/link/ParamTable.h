#pragma once
// The controller parameter item tables, one per parameter family
// (300: KVD300 / KVD300_DJ, 510: KVD510 / KVD510_DJ, 520: KVD520 / KVD520_DJ).
// Each row says where a parameter lives in the driver, under which name it is
// stored in CtrlBoxSaveItems, where it lives in the box, how it is shown and
// entered in the parameter window and which limits an entry must keep.
// Everything in which the families differ is in these rows.
#include "link/CtrlBox.h"

#include <QtGlobal>
#include <array>
#include <vector>

namespace kv {

// Tab page of the parameter window.
enum class TParamPage {
    Basic = 0,
    Valve = 1,
    PID = 2,
    Sensor = 3,
    Cooling = 4,
    Other = 5,
    Break = 6,
};

// How the window shows the software value.
enum class TParamControl {
    Edit,        // a number
    Choice,      // a combo box: item index = value
    Radio,       // a radio group: item index = value
    JudgeChecks, // the three break-criterion check boxes (FJudgeMethod)
};

struct TParamDef {
    const char *Name = "";      // stored name (Name column), this family's spelling
    const char *Caption = "";   // caption, Chinese source text (translation context kv::TBaseParams)
    // The driver field: a plain field, or point Point (0..11) of a calibration column.
    int TCtrlBox::*Field = nullptr;
    std::array<int, 12> TCtrlBox::*Points = nullptr;
    int Point = 0;
    int Address = -1;           // low (or only) box word; -1: not in the box
    int HighAddress = -1;       // high word of a two-word value; -1: one word
    bool Force = false;         // shown with two decimals, entered as a decimal number
    bool Code = false;          // held as a force code, shown and entered as a force
    double DisplayScale = 1;    // shown value = driver value x display scale
    double BoxScale = 1;        // word(s) in the box = box value x box scale
    double Lower = 0;           // input limits, display units or fractions of the maximum force
    double Upper = 0;
    double MotorUpper = 0;      // upper limit on the motor-driven models; 0: same as Upper
    bool Relative = false;      // the limits are fractions of the maximum force
    bool Limited = true;        // false: no range check
    TParamPage Page = TParamPage::Basic;
    TParamControl Control = TParamControl::Edit;
    const char *Choices = nullptr;      // Choice / Radio texts, '|' separated, index = value
    const char *MotorCaption = nullptr; // caption of the motor-driven windows, when it differs

    bool InBox() const { return Address >= 0; }
    bool TwoWords() const { return HighAddress >= 0; }
    // The address as one number: the word's address, or (high shl 16) or low
    // for a two-word value; 0 when the parameter is not in the box.
    quint32 PackedAddress() const
    {
        if (!InBox())
            return 0;
        return TwoWords() ? (quint32(HighAddress) << 16) | quint32(Address) : quint32(Address);
    }
    int &Ref(TCtrlBox &box) const { return Field ? box.*Field : (box.*Points)[size_t(Point)]; }
    int Get(const TCtrlBox &box) const { return Field ? box.*Field : (box.*Points)[size_t(Point)]; }
};

// The item table of a family, in table order (74 rows on 510 and 520, 72 on 300).
const std::vector<TParamDef> &ParamTable(TBoxFamily family);

} // namespace kv
