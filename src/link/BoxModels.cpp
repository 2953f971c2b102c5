#include "link/BoxModels.h"

#include "link/BoxFrames.h"
#include "link/ParamTable.h"

#include <QCoreApplication>
#include <iterator>

namespace kv {

using namespace box;

namespace {

const char *const kKZMessage = QT_TRANSLATE_NOOP("kv::TCtrlBox", "超过抗折保护力码阈值，请检查抗折、抗压传感器线有无插反!");
const char *const kKYMessage = QT_TRANSLATE_NOOP("kv::TCtrlBox", "超过抗压保护力码阈值，请检查抗折、抗压传感器线有无插反!");

const std::vector<TParamDef> &Table300() { return ParamTable(TBoxFamily::F300); }
const std::vector<TParamDef> &Table510() { return ParamTable(TBoxFamily::F510); }
const std::vector<TParamDef> &Table520() { return ParamTable(TBoxFamily::F520); }

// clang-format off
//                                   family            channel            off fast slow scale div   run         zero              activate       deactivate     cmp check                     message     parameters
const TBoxFamilyRow kFamily300 = {TBoxFamily::F300, TForceChannel::A, 0,   37,  56,  1,   1000, CmdRun,     CmdClearZero,     -1,            -1,            0, TOtherCheck::None,        nullptr,    &Table300};
const TBoxFamilyRow kFamily510 = {TBoxFamily::F510, TForceChannel::A, 0,   37,  56,  1,   1000, CmdRun,     CmdClearZero,     CmdProtectOff, CmdProtectOff, 1, TOtherCheck::Flexural,    kKZMessage, &Table510};
const TBoxFamilyRow kFamily520 = {TBoxFamily::F520, TForceChannel::B, 100, 137, 156, 100, 1,    CmdRunFlex, CmdClearZeroFlex, CmdProtectOn,  CmdProtectOff, 0, TOtherCheck::Compressive, kKYMessage, &Table520};

const TBoxModel kModels[] = {
//   type class         key          display       kind           motor  settings       frame family
    {0, "TKVD300",    "KVD300",    "KVD-300",    mkSingleFrame, false, "9600,n,8,1",  7,    kFamily300},
    {1, "TKVD510",    "KVD510",    "KVD-510",    mkCompressive, false, "19200,n,8,1", 12,   kFamily510},
    {2, "TKVD520",    "KVD520",    "KVD-520",    mkFlexural,    false, "19200,n,8,1", 12,   kFamily520},
    {3, "TKVD300_DJ", "KVD300_DJ", "KVD-300_DJ", mkSingleFrame, true,  "19200,n,8,1", 12,   kFamily300},
    {4, "TKVD510_DJ", "KVD510_DJ", "KVD-510_DJ", mkCompressive, true,  "19200,n,8,1", 12,   kFamily510},
    {5, "TKVD520_DJ", "KVD520_DJ", "KVD-520_DJ", mkFlexural,    true,  "19200,n,8,1", 12,   kFamily520},
};
// clang-format on
static_assert(std::size(kModels) == BoxModelCount, "BoxModelCount counts the rows of the model table");

} // namespace

const TBoxModel &BoxModel(int machineType)
{
    if (machineType < 0 || machineType >= BoxModelCount)
        throw EAssertion("BoxModels: machine type out of range");
    return kModels[machineType];
}

const TBoxModel &StoredBoxModel(int machineType)
{
    return kModels[machineType >= 0 && machineType < BoxModelCount ? machineType : 0];
}

int SideModel(int machineType, int kind)
{
    const TBoxModel &from = StoredBoxModel(machineType);
    if (!from.TwoSides())
        return -1;
    for (const TBoxModel &m : kModels)
        if (m.Motor == from.Motor && m.Kind == kind)
            return m.MachineType;
    return -1;
}

} // namespace kv
