#include "link/ParamTable.h"

#include <QCoreApplication>

namespace kv {

namespace {

using B = TCtrlBox;
using P = TParamPage;

// Display and box scale of the forces on families 300 and 510: the driver
// holds newtons, the window and the box use kN. Family 520 uses N throughout.
constexpr double kKilo = 0.001;
// Marks a scale that each family sets to its own (kKilo or 1).
constexpr double kFamilyScale = -1;

// Texts of the choice controls, index = value.
const char *const kNoYes = QT_TRANSLATE_NOOP("kv::TBaseParams", "否|是");
const char *const kYesNo = QT_TRANSLATE_NOOP("kv::TBaseParams", "是|否");
const char *const kAutoManual = QT_TRANSLATE_NOOP("kv::TBaseParams", "自动|手动");
const char *const kPointModes = QT_TRANSLATE_NOOP("kv::TBaseParams", "多点判断|一点判断");
const char *const kCompareModes = QT_TRANSLATE_NOOP("kv::TBaseParams", "与上一点比较|与最大点比较");

// One row, written as name, caption, field and then only what differs from
// a plain integer on page 0 that is not in the box.
struct D : TParamDef {
    D(const char *name, const char *caption, int B::*field)
    {
        Name = name;
        Caption = caption;
        Field = field;
    }
    D(const char *name, const char *caption, std::array<int, 12> B::*points, int point)
    {
        Name = name;
        Caption = caption;
        Points = points;
        Point = point;
    }
    D &At(int address, int high = -1) { Address = address; HighAddress = high; return *this; }
    D &Scale(double display, double box) { DisplayScale = display; BoxScale = box; return *this; }
    D &AsForce(double display) { Force = true; DisplayScale = display; return *this; }
    D &AsCode(double display) { Force = true; Code = true; DisplayScale = display; return *this; }
    D &Range(double lower, double upper, double motorUpper = 0)
    {
        Lower = lower;
        Upper = upper;
        MotorUpper = motorUpper;
        return *this;
    }
    D &Rel(double lower, double upper) { Lower = lower; Upper = upper; Relative = true; return *this; }
    D &OnPage(TParamPage page) { Page = page; return *this; }
    D &Choice(const char *texts) { Control = TParamControl::Choice; Choices = texts; Upper = 1; return *this; }
    D &Radio(const char *texts) { Control = TParamControl::Radio; Choices = texts; Upper = 1; return *this; }
    D &JudgeChecks() { Control = TParamControl::JudgeChecks; Limited = false; return *this; }
    D &Motor(const char *caption) { MotorCaption = caption; return *this; }
    // The same box word on both sides of a two-channel box.
    D &Shared() { SharedAddress = true; return *this; }
    bool SharedAddress = false;
};


// The rows every family has, in table order, with the stored names of family
// 510; each family's differences follow.
const std::vector<D> kBase = {
    D("FMaxLoad", QT_TRANSLATE_NOOP("kv::TBaseParams", "系统最大力"), &B::FMaxLoad).At(36).Scale(kFamilyScale, kFamilyScale),
    D("FCtrlEntry", QT_TRANSLATE_NOOP("kv::TBaseParams", "控制入口力值"), &B::FCtrlEntry).At(39).AsCode(kFamilyScale).Rel(0.001, 0.05),
    D("FForcedLoad", QT_TRANSLATE_NOOP("kv::TBaseParams", "起始力值"), &B::FForcedLoad).AsForce(kFamilyScale).Rel(0, 0.5),
    D("FCantLoadTime", QT_TRANSLATE_NOOP("kv::TBaseParams", "运行等待时间"), &B::FCantLoadTime).Range(0, 255),
    D("FunloadDelay", QT_TRANSLATE_NOOP("kv::TBaseParams", "卸载延时"), &B::FUnloadDelay).At(60).Range(0, 120),
    D("FStartJudge", QT_TRANSLATE_NOOP("kv::TBaseParams", "破碎起判力值"), &B::FStartJudge).AsForce(kFamilyScale).Rel(0, 0.5),
    D("FExistHand", QT_TRANSLATE_NOOP("kv::TBaseParams", "带手动控制"), &B::FExistHand).Choice(kNoYes),
    D("FValveInit", QT_TRANSLATE_NOOP("kv::TBaseParams", "阀口初始开度"), &B::FValveInit).At(38).Range(5000, 65000).OnPage(P::Valve).Motor(QT_TRANSLATE_NOOP("kv::TBaseParams", "初始开度")),
    D("FValveMiddle", QT_TRANSLATE_NOOP("kv::TBaseParams", "阀口中位"), &B::FValveMiddle).At(75).Shared().Range(0, 30000).OnPage(P::Valve),
    D("FValveBack", QT_TRANSLATE_NOOP("kv::TBaseParams", "刚接触时的回退量"), &B::FValveBack).At(55).Range(500, 10000).OnPage(P::Valve),
    D("FPIDSect1", QT_TRANSLATE_NOOP("kv::TBaseParams", "区别12段的力值"), &B::FPIDSect1).At(40).Rel(0.05, 0.3).OnPage(P::PID),
    D("FPIDSect2", QT_TRANSLATE_NOOP("kv::TBaseParams", "区别23段的力值"), &B::FPIDSect2).At(41).Rel(0.3, 0.8).OnPage(P::PID),
    D("FPIDLoadKP1", QT_TRANSLATE_NOOP("kv::TBaseParams", "正常控制的第一段KP"), &B::FPIDLoadKP1).At(42).Range(1, 2000, 65535).OnPage(P::PID),
    D("FPIDLoadKI1", QT_TRANSLATE_NOOP("kv::TBaseParams", "正常控制的第一段KI"), &B::FPIDLoadKI1).At(43).Range(1, 2000, 65535).OnPage(P::PID),
    D("FPIDLoadKP2", QT_TRANSLATE_NOOP("kv::TBaseParams", "正常控制的第二段KP"), &B::FPIDLoadKP2).At(44).Range(1, 2000, 65535).OnPage(P::PID),
    D("FPIDLoadKI2", QT_TRANSLATE_NOOP("kv::TBaseParams", "正常控制的第二段KI"), &B::FPIDLoadKI2).At(45).Range(1, 2000, 65535).OnPage(P::PID),
    D("FPIDLoadKP3", QT_TRANSLATE_NOOP("kv::TBaseParams", "正常控制的第三段KP"), &B::FPIDLoadKP3).At(46).Range(1, 2000, 65535).OnPage(P::PID),
    D("FPIDLoadKI3", QT_TRANSLATE_NOOP("kv::TBaseParams", "正常控制的第三段KI"), &B::FPIDLoadKI3).At(47).Range(1, 2000, 65535).OnPage(P::PID),
    D("FPIDKeepKP1", QT_TRANSLATE_NOOP("kv::TBaseParams", "定荷控制的第一段KP"), &B::FPIDKeepKP1).At(48).Range(1, 5000, 65535).OnPage(P::PID),
    D("FPIDKeepKI1", QT_TRANSLATE_NOOP("kv::TBaseParams", "定荷控制的第一段KI"), &B::FPIDKeepKI1).At(49).Range(1, 1000, 65535).OnPage(P::PID),
    D("FPIDKeepKP2", QT_TRANSLATE_NOOP("kv::TBaseParams", "定荷控制的第二段KP"), &B::FPIDKeepKP2).At(50).Range(1, 5000, 65535).OnPage(P::PID),
    D("FPIDKeepKI2", QT_TRANSLATE_NOOP("kv::TBaseParams", "定荷控制的第二段KI"), &B::FPIDKeepKI2).At(51).Range(1, 1000, 65535).OnPage(P::PID),
    D("FPIDKeepKP3", QT_TRANSLATE_NOOP("kv::TBaseParams", "定荷控制的第三段KP"), &B::FPIDKeepKP3).At(52).Range(1, 5000, 65535).OnPage(P::PID),
    D("FPIDKeepKI3", QT_TRANSLATE_NOOP("kv::TBaseParams", "定荷控制的第三段KI"), &B::FPIDKeepKI3).At(53).Range(1, 1000, 65535).OnPage(P::PID),
    D("FPIDMaxOut", QT_TRANSLATE_NOOP("kv::TBaseParams", "最大输出控制量"), &B::FPIDMaxOut).At(54).Range(10, 1000, 65535).OnPage(P::PID),
    D("FPIDMinOut", QT_TRANSLATE_NOOP("kv::TBaseParams", "最小输出控制量"), &B::FPIDMinOut).Range(0, 20000, 65535).OnPage(P::PID),
    D("FLoadValue1", QT_TRANSLATE_NOOP("kv::TBaseParams", "第1点力值"), &B::FLoadValue, 0).At(0).Scale(kFamilyScale, kFamilyScale).Rel(0, 2).OnPage(P::Sensor),
    D("FLoadCode1", QT_TRANSLATE_NOOP("kv::TBaseParams", "第1点力码"), &B::FLoadCode, 0).At(2, 1).Range(0, 262144).OnPage(P::Sensor),
    D("FLoadValue2", QT_TRANSLATE_NOOP("kv::TBaseParams", "第2点力值"), &B::FLoadValue, 1).At(3).Scale(kFamilyScale, kFamilyScale).Rel(0, 2).OnPage(P::Sensor),
    D("FLoadCode2", QT_TRANSLATE_NOOP("kv::TBaseParams", "第2点力码"), &B::FLoadCode, 1).At(5, 4).Range(0, 262144).OnPage(P::Sensor),
    D("FLoadValue3", QT_TRANSLATE_NOOP("kv::TBaseParams", "第3点力值"), &B::FLoadValue, 2).At(6).Scale(kFamilyScale, kFamilyScale).Rel(0, 2).OnPage(P::Sensor),
    D("FLoadCode3", QT_TRANSLATE_NOOP("kv::TBaseParams", "第3点力码"), &B::FLoadCode, 2).At(8, 7).Range(0, 262144).OnPage(P::Sensor),
    D("FLoadValue4", QT_TRANSLATE_NOOP("kv::TBaseParams", "第4点力值"), &B::FLoadValue, 3).At(9).Scale(kFamilyScale, kFamilyScale).Rel(0, 2).OnPage(P::Sensor),
    D("FLoadCode4", QT_TRANSLATE_NOOP("kv::TBaseParams", "第4点力码"), &B::FLoadCode, 3).At(11, 10).Range(0, 262144).OnPage(P::Sensor),
    D("FLoadValue5", QT_TRANSLATE_NOOP("kv::TBaseParams", "第5点力值"), &B::FLoadValue, 4).At(12).Scale(kFamilyScale, kFamilyScale).Rel(0, 2).OnPage(P::Sensor),
    D("FLoadCode5", QT_TRANSLATE_NOOP("kv::TBaseParams", "第5点力码"), &B::FLoadCode, 4).At(14, 13).Range(0, 262144).OnPage(P::Sensor),
    D("FLoadValue6", QT_TRANSLATE_NOOP("kv::TBaseParams", "第6点力值"), &B::FLoadValue, 5).At(15).Scale(kFamilyScale, kFamilyScale).Rel(0, 2).OnPage(P::Sensor),
    D("FLoadCode6", QT_TRANSLATE_NOOP("kv::TBaseParams", "第6点力码"), &B::FLoadCode, 5).At(17, 16).Range(0, 262144).OnPage(P::Sensor),
    D("FLoadValue7", QT_TRANSLATE_NOOP("kv::TBaseParams", "第7点力值"), &B::FLoadValue, 6).At(18).Scale(kFamilyScale, kFamilyScale).Rel(0, 2).OnPage(P::Sensor),
    D("FLoadCode7", QT_TRANSLATE_NOOP("kv::TBaseParams", "第7点力码"), &B::FLoadCode, 6).At(20, 19).Range(0, 262144).OnPage(P::Sensor),
    D("FLoadValue8", QT_TRANSLATE_NOOP("kv::TBaseParams", "第8点力值"), &B::FLoadValue, 7).At(21).Scale(kFamilyScale, kFamilyScale).Rel(0, 2).OnPage(P::Sensor),
    D("FLoadCode8", QT_TRANSLATE_NOOP("kv::TBaseParams", "第8点力码"), &B::FLoadCode, 7).At(23, 22).Range(0, 262144).OnPage(P::Sensor),
    D("FLoadValue9", QT_TRANSLATE_NOOP("kv::TBaseParams", "第9点力值"), &B::FLoadValue, 8).At(24).Scale(kFamilyScale, kFamilyScale).Rel(0, 2).OnPage(P::Sensor),
    D("FLoadCode9", QT_TRANSLATE_NOOP("kv::TBaseParams", "第9点力码"), &B::FLoadCode, 8).At(26, 25).Range(0, 262144).OnPage(P::Sensor),
    D("FLoadValue10", QT_TRANSLATE_NOOP("kv::TBaseParams", "第10点力值"), &B::FLoadValue, 9).At(27).Scale(kFamilyScale, kFamilyScale).Rel(0, 2).OnPage(P::Sensor),
    D("FLoadCode10", QT_TRANSLATE_NOOP("kv::TBaseParams", "第10点力码"), &B::FLoadCode, 9).At(29, 28).Range(0, 262144).OnPage(P::Sensor),
    D("FLoadValue11", QT_TRANSLATE_NOOP("kv::TBaseParams", "第11点力值"), &B::FLoadValue, 10).At(30).Scale(kFamilyScale, kFamilyScale).Rel(0, 2).OnPage(P::Sensor),
    D("FLoadCode11", QT_TRANSLATE_NOOP("kv::TBaseParams", "第11点力码"), &B::FLoadCode, 10).At(32, 31).Range(0, 262144).OnPage(P::Sensor),
    D("FLoadValue12", QT_TRANSLATE_NOOP("kv::TBaseParams", "第12点力值"), &B::FLoadValue, 11).At(33).Scale(kFamilyScale, kFamilyScale).Rel(0, 2).OnPage(P::Sensor),
    D("FLoadCode12", QT_TRANSLATE_NOOP("kv::TBaseParams", "第12点力码"), &B::FLoadCode, 11).At(35, 34).Range(0, 262144).OnPage(P::Sensor),
    D("FColdMaxTime", QT_TRANSLATE_NOOP("kv::TBaseParams", "冷却的最大时间"), &B::FColdMaxTime).Range(0, 600).OnPage(P::Cooling),
    D("FColdMaxSub", QT_TRANSLATE_NOOP("kv::TBaseParams", "最大减少量"), &B::FColdMaxSub).Range(0, 300).OnPage(P::Cooling),
    D("FColdEachSub", QT_TRANSLATE_NOOP("kv::TBaseParams", "每次减少量"), &B::FColdEachSub).Range(0, 300).OnPage(P::Cooling),
    D("FColdCurrSub", QT_TRANSLATE_NOOP("kv::TBaseParams", "当前减少量"), &B::FColdCurrSub).Range(0, 300).OnPage(P::Cooling),
    D("FColdWaitTime", QT_TRANSLATE_NOOP("kv::TBaseParams", "空等待延时时间"), &B::FColdWaitTime).Range(0, 300).OnPage(P::Cooling),
    D("FColdCurrWait", QT_TRANSLATE_NOOP("kv::TBaseParams", "当前等待时间"), &B::FColdCurrWait).Range(0, 300).OnPage(P::Cooling),
    D("FIsViewSpeed", QT_TRANSLATE_NOOP("kv::TBaseParams", "是否显示实时速度"), &B::FIsViewSpeed).Choice(kYesNo).OnPage(P::Other),
    D("FViewSpeedTime", QT_TRANSLATE_NOOP("kv::TBaseParams", "速度显示周期"), &B::FViewSpeedTime).Range(0, 1000).OnPage(P::Other),
    D("FAutoLoad", QT_TRANSLATE_NOOP("kv::TBaseParams", "手动自动加载"), &B::FAutoLoad).Choice(kAutoManual).OnPage(P::Other),
    D("FSpaceJudge", QT_TRANSLATE_NOOP("kv::TBaseParams", "空格键判破"), &B::FSpaceJudge).Choice(kYesNo).OnPage(P::Other),
    D("FProtectLoad", QT_TRANSLATE_NOOP("kv::TBaseParams", "空闲保护力值"), &B::FProtectLoad).AsForce(1).Rel(0, 1),
    D("FUseProtect", QT_TRANSLATE_NOOP("kv::TBaseParams", "是否启用空闲保护"), &B::FUseProtect).Choice(kYesNo),
    D("FProtectTime", QT_TRANSLATE_NOOP("kv::TBaseParams", "空闲延时保护时间"), &B::FProtectTime).Range(0, 180),
    D("FJudgeMethod", QT_TRANSLATE_NOOP("kv::TBaseParams", "破碎判断方法"), &B::FJudgeMethod).JudgeChecks().OnPage(P::Break),
    D("FBreakValue", QT_TRANSLATE_NOOP("kv::TBaseParams", "破碎判断条件"), &B::FBreakValue).AsForce(kFamilyScale).Rel(0.001, 0.2).OnPage(P::Break),
    D("FdotCount", QT_TRANSLATE_NOOP("kv::TBaseParams", "多点判断的点数"), &B::FdotCount).Range(1, 10).OnPage(P::Break),
    D("FJudgeLoadPointType", QT_TRANSLATE_NOOP("kv::TBaseParams", "判断模式"), &B::FJudgeLoadPointType).Radio(kPointModes).OnPage(P::Break),
    D("FJudgeLoadType", QT_TRANSLATE_NOOP("kv::TBaseParams", "比较模式"), &B::FJudgeLoadType).Radio(kCompareModes).OnPage(P::Break),
    D("FJudgeSpeedTime", QT_TRANSLATE_NOOP("kv::TBaseParams", "速度时间段"), &B::FJudgeSpeedTime).Range(1, 100).OnPage(P::Break),
    D("FJudgeSpeedK", QT_TRANSLATE_NOOP("kv::TBaseParams", "速度衰减率"), &B::FJudgeSpeedK).Range(1, 100).OnPage(P::Break),
    D("FJudgeFaTime", QT_TRANSLATE_NOOP("kv::TBaseParams", "阀口时间段"), &B::FJudgeFaTime).Range(1, 100).OnPage(P::Break),
    D("FJudgeFaK", QT_TRANSLATE_NOOP("kv::TBaseParams", "阀口衰减率"), &B::FJudgeFaK).Range(1, 100).OnPage(P::Break),
};

// What tells one family's table from the base.
struct TFamilyDiff {
    TBoxFamily Family;
    double ForceScale;       // kN (kKilo) or N (1) in the window and the box
    int AddressOffset;       // added to every box word that is not shared
    double MaxLoadLower, MaxLoadUpper, MaxLoadMotorUpper;
    std::vector<D> SideRows; // the other channel's check, after FStartJudge
    std::vector<std::pair<const char *, const char *>> Spellings; // base name -> this family's
};

const TFamilyDiff &DiffOf(TBoxFamily family)
{
    // Family KVD300 and KVD300_DJ: forces in kN; several names stored with
    // spellings of their own.
    static const TFamilyDiff k300{TBoxFamily::F300, kKilo, 0, 5, 10000, 0, {},
        {{"FMaxLoad", "FmaxLoad"}, {"FCtrlEntry", "FctrlEntry"}, {"FExistHand", "FexistHand"},
         {"FValveBack", "FValveBreak"}, {"FPIDMaxOut", "FPIDMaxOunt"}, {"FLoadValue2", "FLoadCValue2"},
         {"FLoadValue4", "FloadValue4"}, {"FLoadValue12", "FLoadLoadValue12"}, {"FColdMaxSub", "FColMaxSub"},
         {"FColdEachSub", "FColdEdEachSub"}, {"FColdWaitTime", "FColWaitMitme"}}};
    // Family KVD510 and KVD510_DJ (compression side): forces in kN, the
    // flexural channel checked.
    static const TFamilyDiff k510{TBoxFamily::F510, kKilo, 0, 5, 650, 500,
        {D("FCheckKZ", QT_TRANSLATE_NOOP("kv::TBaseParams", "是否进行抗折保护"), &B::FCheckKZ).Choice(kNoYes),
         D("FKZThreshold", QT_TRANSLATE_NOOP("kv::TBaseParams", "抗折保护力码阈值"), &B::FKZThreshold).Range(2000, 20000)},
        {}};
    // Family KVD520 and KVD520_DJ (flexure side): forces in N, box words 100
    // higher except the valve middle, which both sides share; the
    // compressive channel checked.
    static const TFamilyDiff k520{TBoxFamily::F520, 1, 100, 1000, 50000, 20000,
        {D("FCheckKY", QT_TRANSLATE_NOOP("kv::TBaseParams", "是否进行抗压保护"), &B::FCheckKY).Choice(kNoYes),
         D("FKYTHreshold", QT_TRANSLATE_NOOP("kv::TBaseParams", "抗压保护力码阈值"), &B::FKYTHreshold).Range(2000, 20000)},
        {{"FunloadDelay", "FUnloadDelay"}, {"FColdEachSub", "FColEachSub"}, {"FIsViewSpeed", "FISViewSpeed"}}};
    switch (family) {
    case TBoxFamily::F300: return k300;
    case TBoxFamily::F520: return k520;
    case TBoxFamily::F510: break;
    }
    return k510;
}

// A row of the base made into a row of the family.
TParamDef ForFamily(D row, const TFamilyDiff &diff)
{
    for (const auto &[base, own] : diff.Spellings)
        if (qstrcmp(row.Name, base) == 0)
            row.Name = own;
    if (row.InBox() && !row.SharedAddress) {
        row.Address += diff.AddressOffset;
        if (row.TwoWords())
            row.HighAddress += diff.AddressOffset;
    }
    if (row.DisplayScale == kFamilyScale)
        row.DisplayScale = diff.ForceScale;
    if (row.BoxScale == kFamilyScale)
        row.BoxScale = diff.ForceScale;
    if (row.Field == &B::FMaxLoad)
        row.Range(diff.MaxLoadLower, diff.MaxLoadUpper, diff.MaxLoadMotorUpper);
    return row;
}

std::vector<TParamDef> BuildTable(TBoxFamily family)
{
    const TFamilyDiff &diff = DiffOf(family);
    std::vector<TParamDef> table;
    for (const D &row : kBase) {
        table.push_back(ForFamily(row, diff));
        if (row.Field == &B::FStartJudge)
            for (const D &side : diff.SideRows)
                table.push_back(ForFamily(side, diff));
    }
    return table;
}

} // namespace

const std::vector<TParamDef> &ParamTable(TBoxFamily family)
{
    static const std::vector<TParamDef> t300 = BuildTable(TBoxFamily::F300);
    static const std::vector<TParamDef> t510 = BuildTable(TBoxFamily::F510);
    static const std::vector<TParamDef> t520 = BuildTable(TBoxFamily::F520);
    switch (family) {
    case TBoxFamily::F300: return t300;
    case TBoxFamily::F520: return t520;
    case TBoxFamily::F510: break;
    }
    return t510;
}

} // namespace kv
