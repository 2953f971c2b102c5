#include "verify/CodeDownload.h"

#include "link/BoxTask.h"
#include "link/CtrlBox.h"
#include "link/ParamSet.h"
#include "store/BoxSaveItems.h"
#include "db/DbEngine.h"
#include "SqlText.h"

#include <QSqlDatabase>

#include <algorithm>

namespace kv {

namespace {

// Writes the 12 points, then reads each back: 0 when the box holds them all,
// else 1 + the first point it did not take. A word the box cannot keep is
// not sent.
template <class Words>
int WriteAndCheck(TCtrlBox &box, const Words &w, const TBoxTask::TProgress &report)
{
    const int n = TCodeTable::BoxEntries;
    for (int p = 0; p < n; ++p)
        if (w.Force[size_t(p)] < 0 || w.Force[size_t(p)] > 0xFFFF || w.Code[size_t(p)] < 0 ||
            w.Code[size_t(p)] > 0x7FFFFFFF)
            return p + 1;
    for (int p = 0; p < n; ++p) {
        const bool ok = box.WriteParam(p, int(w.Force[size_t(p)])) && box.WriteParam32(p, qint32(w.Code[size_t(p)]));
        if (report)
            report(p + 1, TCodeDownload::Steps);
        if (!ok)
            return p + 1;
    }
    const int off = box.Model().Family.ParamOffset;
    // A point counts as kept when it reads back as sent; a late or lost reply
    // gets a second read before the point counts as refused.
    const auto kept = [&box, &w, off](int p) {
        const qint64 code = w.Code[size_t(p)];
        int value = -1, high = -1, low = -1;
        return box.ReadParamRaw(3 * p + off, value) && value == w.Force[size_t(p)] &&
               box.ReadParamRaw(3 * p + off + 1, high) && high == ((code >> 16) & 0xFFFF) &&
               box.ReadParamRaw(3 * p + off + 2, low) && low == (code & 0xFFFF);
    };
    for (int p = 0; p < n; ++p) {
        const bool ok = kept(p) || kept(p);
        if (report)
            report(n + p + 1, TCodeDownload::Steps);
        if (!ok)
            return p + 1;
    }
    return 0;
}

} // namespace

TCodeDownload::TCodeDownload(TCtrlBox &box, db::TDbConnection *connection, QObject *parent)
    : QObject(parent), FBox(box), FConnection(connection), FTask(new TBoxTask(box, this))
{
    connect(FTask, &TBoxTask::progress, this, &TCodeDownload::progress);
    connect(FTask, &TBoxTask::finished, this, [this](int result) {
        if (FPhase == TPhase::Sending)
            Sent(result);
        else
            Restored(result);
    });
}

// The task goes first: its worker may still write the members below.
TCodeDownload::~TCodeDownload() { delete FTask; }

TCodeDownload::TWords TCodeDownload::WordsOf(const TCodeTable &table) const
{
    const double scale = CalibrationBoxScale(FBox.Model());
    TWords w;
    for (int p = 0; p < TCodeTable::BoxEntries; ++p) {
        w.Force[size_t(p)] = CalibrationBoxWord(table.Entry(p).Force, scale);
        w.Code[size_t(p)] = table.Entry(p).Code;
    }
    return w;
}

bool TCodeDownload::Start(const TCodeTable &table)
{
    if (Running())
        return false;
    const TWords fresh = WordsOf(table);
    for (int p = 0; p < TCodeTable::BoxEntries; ++p)
        if (fresh.Force[size_t(p)] < 0 || fresh.Force[size_t(p)] > 0xFFFF || fresh.Code[size_t(p)] < 0)
            return false;
    FNew = table;
    FOld = TCodeTable::FromBox(FBox);
    FRestored = false;
    FRestoreInSend = false;
    FPhase = TPhase::Sending;
    const TWords old = WordsOf(FOld);
    bool *restored = &FRestoreInSend;
    FTask->Start([fresh, old, restored](TCtrlBox &box, const TBoxTask::TProgress &report) {
        box.Command(bcStop);
        box.SetADState(adOff);
        const int failed = WriteAndCheck(box, fresh, report);
        // The box did not take the new table: the old one goes back.
        if (failed != 0)
            *restored = WriteAndCheck(box, old, report) == 0;
        box.SetADState(adRelative);
        return failed;
    });
    return true;
}

void TCodeDownload::Sent(int result)
{
    if (result == TBoxTask::LineUnavailable) {
        FRestored = true; // nothing was sent
        Finish(TOutcome::Offline);
        return;
    }
    if (result != 0) {
        FRestored = FRestoreInSend;
        MarkBoxSide(FRestored ? &FOld : nullptr);
        Finish(TOutcome::SendFailed);
        return;
    }
    if (Store(FNew)) {
        FNew.ToBox(FBox);
        MarkBoxSide(&FNew);
        Finish(TOutcome::Done);
        return;
    }
    // The database keeps the old table: so does the box again.
    FPhase = TPhase::Restoring;
    const TWords old = WordsOf(FOld);
    if (!FTask->Start([old](TCtrlBox &box, const TBoxTask::TProgress &report) {
            box.SetADState(adOff);
            const int failed = WriteAndCheck(box, old, report);
            box.SetADState(adRelative);
            return failed;
        }))
        return; // finished(LineUnavailable) comes: Restored sees a failure
}

void TCodeDownload::Restored(int result)
{
    FRestored = result == 0;
    MarkBoxSide(FRestored ? &FOld : &FNew);
    Finish(TOutcome::StoreFailed);
}

void TCodeDownload::Finish(TOutcome outcome)
{
    FOutcome = outcome;
    FPhase = TPhase::Idle;
    emit finished();
}

bool TCodeDownload::Store(const TCodeTable &table)
{
    if (!FConnection)
        return false;
    const QString key = QString::fromLatin1(FBox.Model().Key);
    const QStringList names = CalibrationItemNames(FBox.Model());
    QSqlDatabase sqlDb = FConnection->database();
    if (!sqlDb.transaction())
        return false;
    try {
        for (int k = 0; k < TCodeTable::BoxEntries && 2 * k + 1 < names.size(); ++k) {
            const TCodePoint e = table.Entry(k);
            const QString values[] = {SqlNum(qint64(e.Force)), SqlNum(qint64(e.Code))};
            for (int c = 0; c < 2; ++c) {
                const QString &name = names[2 * k + c];
                if (FConnection->execute(BoxItemUpdateSql(key, name, values[c])) == 0)
                    FConnection->execute(BoxItemInsertSql(key, name, values[c]));
            }
        }
        if (sqlDb.commit())
            return true;
    } catch (const db::EDatabaseError &) {
    }
    sqlDb.rollback();
    return false;
}

void TCodeDownload::MarkBoxSide(const TCodeTable *boxHolds)
{
    auto *params = dynamic_cast<TBaseParams *>(FBox.ParamSet());
    if (!params)
        return;
    const QStringList names = CalibrationItemNames(FBox.Model());
    int before = 0, after = 0;
    for (int i = 0; i < names.size(); ++i) {
        const int index = params->IndexOf(names[i]);
        if (index < 0)
            continue;
        before += params->Differs(index) ? 1 : 0;
        // Unknown box contents differ; known ones where they are not the program's.
        bool differs = true;
        if (boxHolds) {
            const TCodePoint e = boxHolds->Entry(i / 2);
            params->SetBoxValue(index, i % 2 == 0 ? e.Force : e.Code);
            differs = params->BoxValue(index) != params->Value(index);
        }
        params->SetDiffers(index, differs);
        after += differs ? 1 : 0;
    }
    // A count never taken (-1) stays so unless something now differs.
    if (FBox.ParamDiffCount >= 0 || after > 0)
        FBox.ParamDiffCount = std::max(0, std::max(FBox.ParamDiffCount, 0) + after - before);
}

QString TCodeDownload::Message() const
{
    switch (FOutcome) {
    case TOutcome::Done:
        return QString();
    case TOutcome::Offline:
        return tr("无法联系控制器,系统无法正常运行,请检查控制器是否打开!");
    case TOutcome::SendFailed:
        return tr("发送数据到控制器出错") + QLatin1Char('\n') +
               (FRestored ? tr("控制箱已恢复原来的力码表,控制箱、软件和数据库仍是原来的力码表。")
                          : tr("控制箱中的力码表可能已部分改写,软件和数据库仍是原来的力码表。"
                               "请在控制器恢复联系后重新下发,或在高级参数中核对。"));
    case TOutcome::StoreFailed:
        return tr("保存到数据库出错") + QLatin1Char('\n') +
               (FRestored ? tr("控制箱已恢复原来的力码表,控制箱、软件和数据库仍是原来的力码表。")
                          : tr("控制箱中已是新的力码表(或其一部分),软件和数据库仍是原来的力码表。"
                               "请在控制器恢复联系后重新下发,或在高级参数中核对。"));
    }
    return QString();
}

} // namespace kv
