#pragma once
// The force-code table as the force-code window edits and the box keeps it.
// Entry 0 is the origin, entries 1..N the points (force in N, code), entry
// N + 1 the point extrapolated from the last two (2 x entry N - entry N-1,
// force and code alike); the rest is zero. Entries 0..11 are the box's
// calibration points 1..12 (FLoadValue1..12 / FLoadCode1..12), so the
// force conversion uses every grid point as a node and extends the last
// segment. The box keeps forces in its own unit (kN on families 300 and 510,
// N on 520); a table for the box holds forces that unit can carry.
#include <QCoreApplication>
#include <QtGlobal>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace kv {

struct TBoxModel;
class TCtrlBox;
class TMyGlbParam;

struct TCodePoint {
    int Force = 0; // N
    int Code = 0;
    bool operator==(const TCodePoint &o) const { return Force == o.Force && Code == o.Code; }
};

class TCodeTable {
public:
    static constexpr int Entries = 15;   // origin, up to 12 points, the extra point, one spare
    static constexpr int BoxEntries = 12; // entries 0..11 go to the box
    static constexpr int MaxPoints = 12;

    TCodeTable() = default;
    // Origin, the points (at most 12), the extra point; the rest zero.
    static TCodeTable FromPoints(const std::vector<TCodePoint> &points);
    // The driver's table; its points counted by StoredPointCount.
    static TCodeTable FromBox(const TCtrlBox &box);
    // The calibration store of the global parameters (empty when it holds no point).
    static TCodeTable FromStore(const TMyGlbParam &glb);
    void ToStore(TMyGlbParam &glb) const;
    // Entries 0..11 into the driver's FLoadValue1..12 / FLoadCode1..12.
    void ToBox(TCtrlBox &box) const;

    int Count() const { return FCount; }
    TCodePoint Entry(int p) const;
    std::vector<TCodePoint> Points() const;
    // Entries 0..11 are the same: the box holds the same table.
    bool SameInBox(const TCodeTable &other) const;
    // Entries 0..11 the same as the driver's table.
    bool SameInBox(const TCtrlBox &box) const;

private:
    std::array<int, Entries> FForce{};
    std::array<int, Entries> FCode{};
    int FCount = 0;
};

// 2 x last - before, held to the range of an int.
int Extrapolated(int before, int last);

// The points of a box table (origin and extra point not counted): the
// entries up to the last one that is not zero; that last one does not count
// when it is the extrapolation of the two before it.
int StoredPointCount(const std::array<int, 12> &force, const std::array<int, 12> &code);

// The box's unit of the calibration forces: box word = round(force (N) x scale).
double CalibrationBoxScale(const TBoxModel &model);
// The word the box keeps for a force (N), and the force (N) that word stands for.
qint64 CalibrationBoxWord(double force, double scale);
int CalibrationForceOfWord(qint64 word, double scale);
// The stored names of the calibration rows of a model's family (CtrlBoxSaveItems):
// force k then code k, k = 1..12.
QStringList CalibrationItemNames(const TBoxModel &model);

// One row of the editable grid: texts of force (display units) and code.
struct TCodeRowText {
    QString Force;
    QString Code;
};

// The checks of the force-code grid before a save.
class TCodeGridCheck {
    Q_DECLARE_TR_FUNCTIONS(kv::TfrmSetport)
public:
    // factor: display unit -> N; maxLoad: FMaxLoad (N); model: the box whose
    // unit the forces are held in.
    TCodeGridCheck(double factor, int maxLoad, const TBoxModel &model);
    // The first failure's message, empty when valid; points then holds the
    // grid's points in N, forces as the box will keep them.
    QString Validate(const std::vector<TCodeRowText> &rows, std::vector<TCodePoint> &points) const;

private:
    double FFactor;
    int FMaxLoad;
    double FBoxScale;
};

} // namespace kv
