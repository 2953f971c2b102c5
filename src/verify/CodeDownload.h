#pragma once
// TCodeDownload: a new force-code table into the box, the driver and the
// database, with the box's work on a worker thread (TBoxTask) so the window's
// progress keeps moving. In order: stop, streaming off, each of the box's 12
// calibration points written (WriteParam, WriteParam32) and then read back
// and compared, streaming on; only a table the box holds as sent is stored
// (the 24 rows of the model in one transaction) and taken into the driver.
//
// When the box does not take the table, or the database does not take it,
// the old table is written back into the box, so box, program and database
// agree on the old one. When that fails too, the message says which side
// holds what and the calibration items count as differing parameters, so no
// run starts before the two sides are reconciled.
#include "verify/CodeTable.h"

#include <QObject>
#include <QString>
#include <array>

namespace kv {

namespace db { class TDbConnection; }
class TBoxTask;
class TCtrlBox;

class TCodeDownload : public QObject {
    Q_OBJECT
public:
    enum class TOutcome {
        Done,        // box, program and database hold the new table
        Offline,     // the serial line could not be had: nothing was sent
        SendFailed,  // the box did not take the new table
        StoreFailed, // the box took it, the database did not
    };
    // Progress steps of one pass: every point written, then every point read back.
    static constexpr int Steps = 2 * TCodeTable::BoxEntries;

    // connection: where the table is stored; null stores nothing (a failure).
    TCodeDownload(TCtrlBox &box, db::TDbConnection *connection, QObject *parent = nullptr);
    ~TCodeDownload() override;

    // Starts the download of table over the driver's present table. False
    // when a download runs, or the table holds a force the box cannot keep;
    // a line that cannot be had ends with Offline through finished().
    bool Start(const TCodeTable &table);
    bool Running() const { return FPhase != TPhase::Idle; }

    TOutcome Outcome() const { return FOutcome; }
    // After a failure: the old table is back in the box (box, program and
    // database agree on it).
    bool BoxRestored() const { return FRestored; }
    // What the operator is told (empty after Done).
    QString Message() const;

signals:
    // A pass's progress: done of total steps (a write-back after a failure
    // is a second pass).
    void progress(int done, int total);
    void finished();

private:
    enum class TPhase { Idle, Sending, Restoring };
    // The words of entries 0..11 as the box keeps them.
    struct TWords {
        std::array<qint64, TCodeTable::BoxEntries> Force{};
        std::array<qint64, TCodeTable::BoxEntries> Code{};
    };
    TWords WordsOf(const TCodeTable &table) const;
    void Sent(int result);
    void Restored(int result);
    bool Store(const TCodeTable &table);
    void Finish(TOutcome outcome);
    // The calibration items' box-side copies and differs flags after the end.
    void MarkBoxSide(const TCodeTable *boxHolds);

    TCtrlBox &FBox;
    db::TDbConnection *FConnection;
    TBoxTask *FTask = nullptr;
    TPhase FPhase = TPhase::Idle;
    TCodeTable FNew;
    TCodeTable FOld;
    TOutcome FOutcome = TOutcome::Done;
    bool FRestored = false;
    bool FRestoreInSend = false; // the write-back of a failed send (set by the worker)
};

} // namespace kv
