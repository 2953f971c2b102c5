#pragma once
// TfrmExamCaptions ("记录表表头"): the lab's header lines of the force
// verification record, up to eight lines of two name/content pairs, kept in
// the database for every later record.
#include "verify/ExamCaptions.h"

#include <QDialog>
#include <vector>

class QTableWidget;

namespace kv {

class TZovData;

class TfrmExamCaptions : public QDialog {
    Q_OBJECT
public:
    TfrmExamCaptions(TZovData &data, QWidget *parent = nullptr);

    // The lines as the grid holds them (empty lines left out).
    std::vector<TExamCaption> Lines() const;

public slots:
    void btnOKClick();

private:
    void SetLines(const std::vector<TExamCaption> &lines);

    TZovData &FData;
    QTableWidget *FGrid = nullptr; // sgCaptions
};

} // namespace kv
