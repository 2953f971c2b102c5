#pragma once
// The calibration parameters of a verification run: the checkpoint list,
// the fast and slow loading speed, automatic or manual fast/slow switching
// and the slow-speed advance. Where each family keeps them in SavNum, the
// speeds it offers, the default advance, the checks of the dialog's OK and
// what OK does with the box and the database. TfrmCheckParam only shows and
// forwards.
#include "store/Settings.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <vector>

namespace kv {

struct TBoxModel;
class TCtrlBox;
class TMyGlbParam;
class TZovData;

// What one side of the machine keeps and offers: the KVD520 family (the
// flexure side) and every other model.
struct TCheckFamily {
    bool Flexural;             // the KVD520 family
    TSavNum FastSpeed;         // SavNum rows of the speeds and the advance
    TSavNum SlowSpeed;
    TSavNum Advance;
    const char *FastChoices;   // the speeds offered, '|' separated, display units
    const char *SlowChoices;
    int FastAdvanceFactor;     // default advance: max(10 x slow, factor x fast)

    QStringList FastList() const { return QString::fromLatin1(FastChoices).split(QLatin1Char('|')); }
    QStringList SlowList() const { return QString::fromLatin1(SlowChoices).split(QLatin1Char('|')); }
};
const TCheckFamily &CheckFamily(const TBoxModel &model);

// What the dialog holds, in display units.
struct TCheckEntry {
    QStringList Points;  // the checkpoint cells
    QString Fast;
    QString Slow;
    bool Automatic = false;
    QString Advance;
};

// The same, checked and in internal units (N, N/s).
struct TCheckValues {
    std::vector<float> Points;
    float Fast = 0;
    float Slow = 0;
    bool Automatic = false;
    float Advance = 0;
};

// What was stored: the speeds (a missing row reads as 0), the advance when
// its row exists.
struct TCheckSettings {
    float Fast = 0;
    float Slow = 0;
    bool HasAdvance = false;
    float Advance = 0;
};

// How OK ended after the checks passed.
enum class TCheckApply {
    SpeedRefused, // the box did not take a speed: not confirmed
    StoreFailed,  // confirmed and sent, but a row could not be stored
    Done,
};

class TCheckParams {
    Q_DECLARE_TR_FUNCTIONS(kv::TfrmCheckParam)
public:
    TCheckParams(const TCheckFamily &family, double coe, int maxLoad)
        : FFamily(family), FCoe(coe), FMaxLoad(maxLoad) {}

    // The default advance for the two speed texts ("%.1f"); null when either
    // is not a number (the box is then left as it is).
    QString DefaultAdvance(const QString &fast, const QString &slow) const;

    // The checks of OK in their order; the first failure's message, empty
    // when everything is valid and values is filled.
    QString Validate(const TCheckEntry &entry, TCheckValues &values) const;

    TCheckSettings Load(TZovData &data) const;

    // OK after the checks: the values into the global parameters, the two
    // speeds to the box (100 ms after each), confirmed set once the box took
    // both, then the switching byte, the advance and the speeds stored.
    TCheckApply Apply(const TCheckValues &values, TCtrlBox &box, TZovData *data, TMyGlbParam &glb,
                      bool &confirmed) const;

    const TCheckFamily &Family() const { return FFamily; }

private:
    const TCheckFamily &FFamily;
    double FCoe;
    int FMaxLoad;
};

} // namespace kv
