#pragma once
// What a test module is, as data: its names, menu place, tables, parameter
// form and validation order. The framework (TFrameworkTest) does everything
// else the same way for every module; a module fills one TModuleData and
// overrides the few rule hooks of TFrameworkTest.
#include <QCoreApplication>
#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

namespace kv::fw {

// The values of the parameter form, as the operator entered them (texts are
// untrimmed; validation trims). Extra holds the module's own controls by key.
struct TParamValues {
    QString GroupNo;
    QString Variety;
    QString Grade;        // QDDJ, strength grade
    QString Age;
    QString Size;         // size text ("40*40")
    int SizeIndex = -1;   // index of the size in its list, -1 when typed
    QString Rate;         // loading rate as entered
    QString Count;        // specimen count
    int Created = 0;      // specimens created (SelectGroNum of the parameter table)
    bool Continuous = true;
    QString Delay;        // seconds between specimens
    QMap<QString, QString> Extra;
};

// Steps of the parameter validation; each module lists them in its order.
enum class TCheck {
    GroupNo,  // "试验组号不能为空", and no character a file name may not hold
    Variety,  // "试验品种不能为空"
    Age,      // "试样龄期不能为空"
    Size,     // "规格不正确" (SizeParts numbers joined by "*", no blank)
    Rate,     // "速度输入出错"
    Count,    // TModuleData::CountMessage
    Delay,    // "延时时间错误" (continuous mode only)
    Module,   // TFrameworkTest::CheckModuleValues
};

// What a column of the parameter table holds.
enum class TParamField { GroupNo, Variety, Grade, Age, Size, SizeIndex, Rate, Count, Continuous, Delay, Created, Extra };
struct TParamColumn {
    QString Name;        // column name
    QString Type;        // column type as created ("varchar(30)", "int")
    TParamField Field;
    QString ExtraKey;    // key in TParamValues::Extra for TParamField::Extra
};

// The columns of a parameter table: ZuHao, PingZhong, LingQi, the module's
// size columns, Speed, GroNum, LoadType, YanShi, SelectGroNum, then tail.
std::vector<TParamColumn> ParamTableColumns(const std::vector<TParamColumn> &sizeColumns,
                                            const std::vector<TParamColumn> &tail = {});

// A text control of the form: caption (empty = the control is absent),
// choices, whether it may be typed into.
struct TFormField {
    QString Caption;
    QStringList Choices;
    bool Editable = true;
};

struct TModuleData {
    // ---- identity (the table of module settings) ----
    const char *NameSource = "";       // resource text of the name (translated in context "TFrameworkTest")
    QString Standard;                  // "GB/T 17671-1999"
    quint32 MachineMask = 0;
    quint8 MenuGroup = 0;
    QString TableWord;                 // prefix of the four tables
    QString SpecimenSuffix = QStringLiteral("One"); // "GROne" for the cement compressive tables
    QString CurveWord;                 // prefix of the curve-file name
    QString CaptionSuffix = QStringLiteral("CaptionInfo");

    // ---- tables (column definitions after the common ones) ----
    // Group table: columns between ExpCop and SelectGroNum ("SpecialShape int").
    QStringList GroupExtraColumns;
    // Specimen table: size columns after ShunXu, e.g. {"LenAv varchar(5)", "WidAv varchar(5)"}.
    QStringList SpecimenColumns;
    // Parameter table: every column in order.
    std::vector<TParamColumn> ParamColumns;

    // ---- parameter form ----
    TFormField GroupNoField{QT_TRANSLATE_NOOP("TModuleText", "试件编号"), {}, true};
    TFormField VarietyField;
    TFormField GradeField;              // Caption empty: no grade box
    TFormField AgeField;
    TFormField SizeField;
    TFormField RateField;
    TFormField CountField;
    QStringList DelayChoices{QStringLiteral("8"), QStringLiteral("12"), QStringLiteral("16"), QStringLiteral("20"),
                             QStringLiteral("24"), QStringLiteral("28"), QStringLiteral("32")};
    TParamValues Defaults;              // the last parameters when the table is empty

    // ---- validation ----
    std::vector<TCheck> Checks{TCheck::GroupNo, TCheck::Variety, TCheck::Age,   TCheck::Size,
                               TCheck::Rate,    TCheck::Count,   TCheck::Delay};
    int SizeParts = 2;                  // numbers in a size text
    QString CountMessage = QT_TRANSLATE_NOOP("TModuleText", "试件块数出错");

    // ---- units ----
    double RateToController = 1000.0;   // entered rate × this = N/s
    QString RateUnit = QStringLiteral("(kN/s)"); // unit of the rate box, for the loading-rate columns
    int RateDecimals = 2;               // decimals of a rate shown in that unit
    bool ForceInKN = true;              // false: forces held, shown and stored in N
    QString SizeCaption = QT_TRANSLATE_NOOP("TModuleText", "规格");  // results window / report size column
    QString SizeUnit = QStringLiteral("(mm*mm)");

    // ---- results window ----
    QString SavedMessage = QT_TRANSLATE_NOOP("TModuleText", "保存成功。");
    QString SaveErrorMessage = QT_TRANSLATE_NOOP("TModuleText", "保存数据出错!");

    // ---- report ----
    QString ReportHeading;              // heading of the specimen block ("水泥抗压结果数据：")
    // Titles of the specimen block: sequence, size, variety, age, force, strength.
    QStringList ReportColumns{QT_TRANSLATE_NOOP("TModuleText", "序号"), QT_TRANSLATE_NOOP("TModuleText", "规格(mm*mm)"),
                              QT_TRANSLATE_NOOP("TModuleText", "品种"), QT_TRANSLATE_NOOP("TModuleText", "龄期"),
                              QT_TRANSLATE_NOOP("TModuleText", "力值(kN)"), QT_TRANSLATE_NOOP("TModuleText", "强度(MPa)")};

    // ---- derived names ----
    QString GroupTable() const { return TableWord + QStringLiteral("Group"); }
    QString SpecimenTable() const { return TableWord + SpecimenSuffix; }
    QString ParamTable() const { return TableWord + QStringLiteral("PARAM"); }
    QString CaptionTable() const { return TableWord + CaptionSuffix; }
    double ForceDivisor() const { return ForceInKN ? 1000.0 : 1.0; }
    QString ForceUnit() const { return ForceInKN ? QStringLiteral("(kN)") : QStringLiteral("(N)"); }
};

} // namespace kv::fw
