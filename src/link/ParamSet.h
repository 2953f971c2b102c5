#pragma once
// TBaseParams: the controller parameter set of one driver. It holds the item
// table of the driver's family, loads and saves the driver's parameter fields
// in CtrlBoxSaveItems, reads and writes the box parameters, keeps the
// box-side copy of every box parameter and compares the two sides. It also
// converts values for display and entry and validates entries, so the
// parameter windows only show what it holds and forward the operator's
// actions.
//
// The set works on the driver's own fields (the software values); the
// box-side copies live here. Box traffic goes through the driver's
// ReadParamRaw / WriteParamRaw; callers switch streaming off around a read
// (SetADState(2) before, SetADState(0) after).
#include "link/ParamTable.h"
#include "link/CtrlBox.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace kv {

namespace db { class TDbConnection; }

// One parameter of the set: its row of the family table and its state.
struct TParamItem {
    const TParamDef *Def = nullptr;
    QString Caption;        // shown caption (translated; motor models' own where it differs)
    QString StoredCaption;  // the caption as in the string table (backup file keys)
    double Upper = 0;       // upper limit of this model
    int BoxValue = 0;       // box-side copy, driver units
    bool Differs = false;   // box value and software value differ
    bool BoxUnknown = true; // box value not known: never read, or the last read failed
};

class TBaseParams : public TCtrlParamSet {
    Q_DECLARE_TR_FUNCTIONS(kv::TBaseParams)
public:
    // connection: the database of the set; null = the data module's
    // connection (ZovData()->conZovDb) at the time of each use.
    explicit TBaseParams(TCtrlBox &box, db::TDbConnection *connection = nullptr);
    ~TBaseParams() override;

    TCtrlBox &Box() const { return FBox; }
    QString Key() const;            // CtrlBox column: "KVD510"
    QString DisplayName() const;    // section of the backup files: "KVD-510"

    // ---- item table ----
    int Count() const { return int(FItems.size()); }
    const TParamItem &Item(int index) const { return FItems[size_t(index)]; }
    // Index of the item with that stored name (case as in the table), -1 none.
    int IndexOf(const QString &name) const;
    // Index of the first item whose stored caption is caption, -1 none.
    int IndexOfCaption(const QString &caption) const;
    // Software value (the driver's field).
    int Value(int index) const;
    void SetValue(int index, int value);
    int BoxValue(int index) const { return Item(index).BoxValue; }
    void SetBoxValue(int index, int value) { FItems[size_t(index)].BoxValue = value; }
    bool Differs(int index) const { return Item(index).Differs; }
    void SetDiffers(int index, bool differs) { FItems[size_t(index)].Differs = differs; }
    void ClearDiffers();
    // Number of box parameters.
    int BoxItemCount() const;
    // All software values in table order, and back (the restore's snapshot).
    std::vector<int> Snapshot() const;
    void RestoreSnapshot(const std::vector<int> &values);
    // Texts of a Choice / Radio item, index = value (translated).
    QStringList ChoiceTexts(int index) const;

    // ---- database (CtrlBoxSaveItems) ----
    // First run of a model: "IsInit" and the three defaults; then every item
    // from its row; the break-judgement flags rebuilt. Items without a row
    // keep their value (FJudgeMethod becomes 4); an unreadable value is 0.
    void LoadParams() override;
    // Every item into its row (edited or inserted). Returns the number of
    // items that could not be stored (0: all stored); they are skipped.
    int SaveToDatabase();
    void SaveParams() override { SaveToDatabase(); }

    // ---- box exchange ----
    using TProgress = std::function<void(int done, int total)>;
    // Reads every box parameter into its box-side copy. A word that cannot be
    // read counts as 0 and marks the item BoxUnknown. Returns the number of
    // items that failed.
    int ReadBox(const TProgress &progress = {});
    // Writes every box parameter whose differs flag is set from its box-side
    // copy, then sets ParamDiffCount to the number of items that could not be
    // sent (0 normally); those keep their differs flag. A value that does not
    // fit the box's word(s) is not sent. Returns that number.
    int WriteBox(const TProgress &progress = {});
    // Number of items that failed in the last ReadBox.
    int ReadFailures() const { return FReadFailures; }
    // Counts the box parameters whose box-side copy differs from the software
    // value (or could not be read), sets their differs flags, stores the count
    // in ParamDiffCount and returns it. mode: 1 start-up / side switch, 0 the
    // read button; a positive count is handed to the differences handler.
    int Compare(int mode);
    // Read box, then compare (mode 1): the start-up comparison.
    int CompareParams() override;
    // Software -> box side, differing items written to the box.
    void UseSoftwareParams() override;
    // Software -> box side only.
    void RevertParams() override;
    // Box side -> software for every box item that was read; ParamDiffCount :=
    // the number of items that could not be taken (0 normally).
    void UseBoxParams() override;

    // Called with the count and the mode when a comparison finds differences
    // (the difference dialog); none set: the count is only kept.
    using TDiffHandler = std::function<void(int count, int mode)>;
    void SetDifferencesHandler(TDiffHandler handler) { FOnDifferences = std::move(handler); }

    // ---- display and entry ----
    // Text of a value for the window (software or box column).
    QString FormatValue(int index, int value) const;
    QString ShowValue(int index) const { return FormatValue(index, Value(index)); }
    QString ShowBoxValue(int index) const { return FormatValue(index, BoxValue(index)); }
    // Driver value of an entered text; false when the text is not a number of
    // the item's kind (decimal for force items, integer otherwise).
    bool EnterValue(int index, const QString &text, int &value) const;
    // Whether two texts of the item show the same number (decimal compare for
    // force items, integer otherwise); a text that is not a number differs.
    bool SameText(int index, const QString &a, const QString &b) const;
    // Validation of an entry: empty when valid, else the message. maxForce is
    // the maximum force as entered (display units), used by relative limits.
    // withLimits false: only "a number not below 0" is checked.
    QString Validate(int index, const QString &text, double maxForce, bool withLimits = true) const;
    // Validates a whole column (one text per item, table order); the maximum
    // force is taken from the column's own FMaxLoad text. Returns the first
    // message, empty when every entry is valid.
    QString ValidateColumn(const QStringList &texts, bool withLimits = true) const;

    // Break-judgement flags <-> FJudgeMethod of the driver.
    void FlagsFromMethod();
    void MethodFromFlags();

private:
    db::TDbConnection *Connection() const;
    bool ParseEntry(int index, const QString &text, double &number) const;
    void SetDbDefault(db::TDbConnection &conn, const QString &name, int value);

    TCtrlBox &FBox;
    db::TDbConnection *FConnection;
    std::vector<TParamItem> FItems;
    int FMaxLoadIndex = -1;
    int FReadFailures = 0;
    TDiffHandler FOnDifferences;
};

// The parameter set every driver's Init creates (registered with
// TCtrlBox::SetParamSetFactory).
std::unique_ptr<TCtrlParamSet> CreateBaseParams(TCtrlBox &box);
void InstallBaseParamsFactory();

} // namespace kv
