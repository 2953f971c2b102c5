#pragma once
// BaseTest: the contract between the main program and its test modules.
// One copy of it lives in the shared library kvcontract, which the program
// and every module load, so both sides see the same class, virtual table and
// type information, and either side may free what the other allocated.
//
// A module derives its test class from TBaseTest and exports, with C linkage,
// "Init", "GetBaseTests" and "DeInit" (see TestModule.h). The program calls a
// test only through the virtual operations below; their order is the order
// of the virtual table and stays fixed.
#include "ContractExport.h"

#include <QDateTime>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

class QApplication;
class QDialog;
class QLibrary;
class QScreen;
class QWidget;

namespace kv::db {
class TDbConnection;
class TDbQuery;
} // namespace kv::db

namespace kv {

// One point of a stored curve: the chart's abscissa, then the force in N.
struct TCurvePoint {
    float X = 0.0f;
    float Force = 0.0f;
};
static_assert(sizeof(TCurvePoint) == 8, "a curve point is two singles on disk");
using TCurvePoints = std::vector<TCurvePoint>;

// Values that travel with a group: the operator and the test date (written
// by the program when the test is selected) and the standard text (written
// by the module in GetTestName, stored in ExpCop, printed under "检测依据").
class KVCONTRACT_EXPORT GroData {
public:
    QString FOperator;
    QDateTime FTestDate;
    QString FStandard;
};

// One specimen. A module may keep its own subclass in the list (a beam
// with its fracture position), so it is deleted through this class.
class KVCONTRACT_EXPORT TSpecial {
public:
    virtual ~TSpecial() = default;
    double FArea = 0.0;     // mm²: divisor from force (N) to strength (MPa)
    double FForce = 0.0;    // peak force, N (stored rounded to one decimal)
    double FStrength = 0.0; // MPa
    int FShape = 0;         // concrete: 0 square section, 1 round section
    float FLength = 0.0f;   // LenAv, mm
    float FWidth = 0.0f;    // WidAv, mm
    float FHeight = 0.0f;   // HeiAv, mm
    float FDiameter = 0.0f; // DiameterAv, mm
};

// The specimens of a test: each entry a text (the specimen's 0-based index
// in decimal) with its TSpecial, owned by the list.
class KVCONTRACT_EXPORT TSpecialList {
public:
    TSpecialList() = default;
    TSpecialList(const TSpecialList &) = delete;
    TSpecialList &operator=(const TSpecialList &) = delete;

    int Count() const { return static_cast<int>(m_items.size()); }
    QString Strings(int index) const;
    TSpecial *Objects(int index) const; // null outside the list
    void AddObject(const QString &text, std::unique_ptr<TSpecial> special);
    void Clear() { m_items.clear(); }

private:
    std::vector<std::pair<QString, std::unique_ptr<TSpecial>>> m_items;
};

class TBaseTest;
// What GetBaseTests returns; the caller owns the objects.
using TBaseTests = std::vector<TBaseTest *>;

class KVCONTRACT_EXPORT TBaseTest {
public:
    TBaseTest();
    TBaseTest(const TBaseTest &) = delete;
    TBaseTest &operator=(const TBaseTest &) = delete;

    // ---- fields, in declaration order ----
    QString FTestName;            // menu name; expobj in shared tables; report folder
    QString FGroupNo;             // zuhao
    float FSpeed = 0.0f;          // rate as entered; N/s after BeginSpecimen
    quint8 FContinuous = 0;       // 0 single test, 1 continuous test
    quint16 FDelay = 0;           // s between specimens in continuous mode (YanShi)
    QLibrary *FModuleHandle = nullptr;         // the library that delivered the test (not owned)
    db::TDbConnection *FConnection = nullptr;  // the program's connection (not owned)
    QString FGroupResultForce;    // filled at EndGroup
    QString FGroupResultStrength; // filled at EndGroup
    QString FAge;                 // lingqi, days
    QString FVariety;             // pingzhong
    GroData FGroupData;
    int FCurrent = 1;             // 1-based specimen under test or next to test
    quint32 FMachineMask = 0;     // machine kinds (1, 2, 4) on which the test runs
    quint8 FModuleIndex = 0;      // set by the program
    quint8 FMenuGroup = 0;        // section of the test menu, 1..3
    TSpecialList FSpecials;
    int FGroupSize = 0;           // specimens planned for the group
    int FSpecimenCount = 0;       // specimens created for the stored group
    QString FCurveFile;           // full path read by ReadCurve

    // ---- virtual operations, in slot order ----
    virtual void GetTestName(QString &Name);                                  // 0
    virtual void SetConnection(db::TDbConnection *Conn);                      // 1
    virtual bool InitTables();                                                // 2
    virtual QWidget *CreateParamForm(QWidget *Owner);                         // 3
    // 0 not stored, 1 stored and complete, 2 stored and unfinished.
    virtual int CheckGroupState();                                            // 4
    virtual bool ResumeGroup();                                               // 5
    virtual bool CloseUnfinishedGroup();                                      // 6
    virtual void BeginGroup(QString &ErrMsg);                                 // 7
    virtual void BeginSpecimen(QString &ErrMsg);                              // 8
    virtual void EndSpecimen(bool Valid);                                     // 9
    virtual void EndGroup();                                                  // 10
    // Kind 0 by group number, 1 by test date.
    virtual void BuildSearchSQL(int Kind, const QString &From, QString &SQL,
                                const QString &UpTo);                         // 11
    virtual bool PrintReport(const QString &Spec);                            // 12
    virtual QDialog *CreateResultForm(const QString &GroupNo, QWidget *Owner); // 13
    virtual void BuildRecordSQL(const QString &GroupNo, quint8 Kind, QString &SQL, int Row,
                                const QString &Name1, const QString &Data1,
                                const QString &Name2, const QString &Data2);  // 14
    // Kind 0: row of the force unit, 1: row of the strength unit.
    virtual int GetDefaultUnit(int Kind);                                     // 15
    virtual void SelectRecord(db::TDbQuery *Source, QString &Text);           // 16
    virtual void GetCurveFileName(QString &Name);                             // 17
    virtual void SetSpecimenCount(int N);                                     // 18
    virtual void CreateSpecimens(int N);                                      // 19
    virtual void SetContinuous(quint8 Value);                                 // 20
    // The curve of specimen Index + 1 (Index 0..62) from FCurveFile; empty
    // when the file is missing or unreadable, or Index is out of range.
    virtual void ReadCurve(int Index, TCurvePoints &Points);                  // 21

    // Frees the specimens and the group record; a module's override frees its
    // forms. Declared after the operations so their slots stay 0..21.
    virtual ~TBaseTest();

    // Entry Index (0-based) of FSpecials; null outside the list.
    TSpecial *GetSpecial(int Index) const;

    // Convenience for callers: the results of the out-parameter operations.
    QString TestName();
    QString CurveFileName();
};

// The exports of a test module, bound by name.
using TInitProc = bool (*)(QApplication *App, QScreen *Scr);
using TGetBaseTestsProc = void (*)(TBaseTests &Tests);
using TDeInitProc = void (*)();
inline constexpr const char InitExportName[] = "Init";
inline constexpr const char GetBaseTestsExportName[] = "GetBaseTests";
inline constexpr const char DeInitExportName[] = "DeInit";

} // namespace kv
