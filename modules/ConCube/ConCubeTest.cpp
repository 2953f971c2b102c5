#include "ConCubeTest.h"

namespace kv::con {

const TConcreteKind &ConCubeKind()
{
    static const TConcreteKind kind = [] {
        TConcreteKind k;
        k.NameSource = QT_TRANSLATE_NOOP("TModuleText", "普通混凝土抗压");
        k.Word = QStringLiteral("ConCube");
        k.MachineMask = 1;
        k.GuiGeType = QStringLiteral("integer");
        k.Sizes = WithCylinders(CubeSizes());
        k.Coefficients = {QStringLiteral("0.95"), QStringLiteral("1"), QStringLiteral("1.05")};
        k.Rates = StressRates(3, 10, 0.1, 1); // 0.3 .. 1.0
        k.CountMessage = QT_TRANSLATE_NOOP("TModuleText", "试件块数错误");
        k.Grade = QStringLiteral("C60");
        k.Coefficient = QStringLiteral("0.85");
        k.Rate = QStringLiteral("0.5");
        k.Formulas = CompressiveFormulas();
        return k;
    }();
    return kind;
}

const fw::TModuleData &ConCubeData()
{
    static const fw::TModuleData d = ConcreteData(ConCubeKind());
    return d;
}

} // namespace kv::con
