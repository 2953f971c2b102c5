#include "SimModels.h"

#include <QStringList>
#include <cmath>
#include <iterator>

namespace kvdsim {

namespace {

const TModelInfo kModels[] = {
    {TModel::KVD300,    "KVD300",    "KVD-300",    "9600,n,8,1",  TFrameFormat::Seven,  false, false, ChanA, TFamily::F300},
    {TModel::KVD510,    "KVD510",    "KVD-510",    "19200,n,8,1", TFrameFormat::Twelve, true,  false, ChanA, TFamily::F510},
    {TModel::KVD520,    "KVD520",    "KVD-520",    "19200,n,8,1", TFrameFormat::Twelve, true,  false, ChanB, TFamily::F510},
    {TModel::KVD300_DJ, "KVD300_DJ", "KVD-300_DJ", "19200,n,8,1", TFrameFormat::Twelve, false, true,  ChanA, TFamily::F300},
    {TModel::KVD510_DJ, "KVD510_DJ", "KVD-510_DJ", "19200,n,8,1", TFrameFormat::Twelve, true,  true,  ChanA, TFamily::F510},
    {TModel::KVD520_DJ, "KVD520_DJ", "KVD-520_DJ", "19200,n,8,1", TFrameFormat::Twelve, true,  true,  ChanB, TFamily::F510},
};

//                       name           stiff   gain        gap  min  ret  jog  jogT stroke mean     spread  adc   resid fail  leak
const TFrameSpec kFrames[] = {
    // family 300: 2000 kN concrete frame, hydraulic / motor-driven
    {"compression", 100000, 1.0 / 6000, 4.0, 2.0, 3.0, 1.0, 1.0, 80,  700000, 40000, 1500, 0.25, 0.20, 3.0},
    {"compression", 120000, 1.0 / 8000, 3.0, 1.5, 2.0, 0.8, 1.0, 60,  700000, 40000, 1500, 0.25, 0.20, 3.0},
    // family 510: 300 kN compression frame
    {"compression",  20000, 1.0 / 6000, 4.0, 2.0, 3.0, 1.0, 1.0, 50,   68000,  3000, 1200, 0.30, 0.15, 3.0},
    {"compression",  25000, 1.0 / 8000, 3.0, 1.5, 2.0, 0.8, 1.0, 40,   68000,  3000, 1200, 0.30, 0.15, 3.0},
    // family 520: 10 kN flexure frame
    {"flexure",       1000, 1.0 / 6000, 4.0, 2.0, 3.0, 1.0, 1.0, 50,    2800,   150,  800, 0.10, 0.10, 3.0},
    {"flexure",       1200, 1.0 / 8000, 3.0, 1.5, 2.0, 0.8, 1.0, 40,    2800,   150,  800, 0.10, 0.10, 3.0},
};

const TFamilyLayout kLayouts[] = {
    {0, 1000.0, 1.0},    // 300
    {0, 1000.0, 1.0},    // 510
    {100, 1.0, 100.0},   // 520
};

int FamilyIndex(TFamily f)
{
    switch (f) {
    case TFamily::F300: return 0;
    case TFamily::F510: return 1;
    case TFamily::F520: return 2;
    }
    return 0;
}

} // namespace

const TModelInfo &ModelInfo(TModel model)
{
    for (const TModelInfo &m : kModels)
        if (m.model == model)
            return m;
    return kModels[0];
}

bool ParseModel(const QString &text, TModel *model)
{
    QString t = text.trimmed().toUpper();
    t.remove(QLatin1Char('-'));
    for (const TModelInfo &m : kModels) {
        if (t == QLatin1String(m.key)) {
            *model = m.model;
            return true;
        }
    }
    return false;
}

QString ModelList()
{
    QStringList keys;
    for (const TModelInfo &m : kModels)
        keys << QLatin1String(m.key);
    return keys.join(QLatin1Char('|'));
}

const TFrameSpec &FrameSpec(TFamily family, bool motorDriven)
{
    return kFrames[FamilyIndex(family) * 2 + (motorDriven ? 1 : 0)];
}

const TFamilyLayout &FamilyLayout(TFamily family)
{
    return kLayouts[FamilyIndex(family)];
}

TFactoryTable FactoryTable(TFamily family)
{
    switch (family) {
    case TFamily::F300: return {kFactory300, int(std::size(kFactory300))};
    case TFamily::F510: return {kFactory510, int(std::size(kFactory510))};
    case TFamily::F520: return {kFactory520, int(std::size(kFactory520))};
    }
    return {kFactory300, int(std::size(kFactory300))};
}

long FactoryWireValue(const TFactoryParam &p)
{
    return std::lround(double(p.value) * p.boxScale);
}

} // namespace kvdsim
