#include "ConAxialTest.h"

namespace kv::con {

const TConcreteKind &ConAxialKind()
{
    static const TConcreteKind kind = [] {
        TConcreteKind k;
        k.NameSource = QT_TRANSLATE_NOOP("TModuleText", "普通混凝土轴心抗压");
        k.Word = QStringLiteral("ConAxial");
        k.MachineMask = 1;
        k.GuiGeType = QStringLiteral("varchar(30)");
        // Prisms: the 150 mm section is the standard one.
        k.Sizes = WithCylinders({{QStringLiteral("150*150*300"), -1},
                                 {QStringLiteral("100*100*300"), 0},
                                 {QStringLiteral("200*200*400"), 2}});
        k.Coefficients = {QStringLiteral("0.95"), QStringLiteral("1"), QStringLiteral("1.05")};
        k.Rates = StressRates(3, 10, 0.1, 1); // 0.3 .. 1.0
        k.MaxCount = 6;
        k.Grade = QStringLiteral("C5");
        k.Coefficient = QStringLiteral("0.95");
        k.Rate = QStringLiteral("0.5");
        k.Formulas = CompressiveFormulas();
        return k;
    }();
    return kind;
}

const fw::TModuleData &ConAxialData()
{
    static const fw::TModuleData d = ConcreteData(ConAxialKind());
    return d;
}

} // namespace kv::con
