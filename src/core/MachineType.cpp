#include "core/MachineType.h"

namespace kv {

namespace {
constexpr TMachineType kTypes[MachineTypeCount] = {
    {0, "KVD300", 1, false, true, TPressedSide::None},
    {1, "KVD510", 2, true, true, TPressedSide::Compressive},
    {2, "KVD520", 4, true, true, TPressedSide::Flexural},
    {3, "KVD300_DJ", 1, false, false, TPressedSide::None},
    {4, "KVD510_DJ", 2, true, false, TPressedSide::Compressive},
    {5, "KVD520_DJ", 4, true, false, TPressedSide::Flexural},
};
} // namespace

const TMachineType &MachineType(int type)
{
    if (type < 0 || type >= MachineTypeCount)
        type = 0;
    return kTypes[type];
}

int MachineTypeFromText(const QString &text)
{
    bool ok = false;
    const int type = text.trimmed().toInt(&ok);
    return ok && type >= 0 && type < MachineTypeCount ? type : 0;
}

} // namespace kv
