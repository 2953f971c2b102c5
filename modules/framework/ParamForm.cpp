#include "ParamForm.h"

#include "FrameworkTest.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

namespace kv::fw {

namespace {
QString T(const char *text) { return QCoreApplication::translate("TModuleText", text); }

void SetComboText(QComboBox *box, const QString &text)
{
    if (!box)
        return;
    const int i = box->findText(text);
    if (i >= 0)
        box->setCurrentIndex(i);
    else if (box->isEditable())
        box->setCurrentText(text);
    else if (box->count() > 0)
        box->setCurrentIndex(0);
}

QString ComboText(const QComboBox *box) { return box ? box->currentText() : QString(); }
} // namespace

QStringList GridRowHeader(int row, int count, const QString &forceUnit)
{
    if (row == 0)
        return {QStringLiteral(" ") + T("序号"), QStringLiteral(" ") + T("力值") + forceUnit,
                QStringLiteral(" ") + T("强度") + QStringLiteral("(MPa)")};
    if (row >= 1 && row <= count)
        return {QStringLiteral("  ") + T("第%1块").arg(row), QString(), QString()};
    if (row == count + 1)
        return {T("有效力值"), QString(), QString()};
    if (row == count + 2)
        return {T("有效强度"), QString(), QString()};
    return {};
}

TParamForm::TParamForm(const TModuleData &data, const QString &title, QWidget *parent)
    : QWidget(parent), FData(data)
{
    setObjectName(QStringLiteral("FormParam"));
    auto *col = new QVBoxLayout(this);
    col->setContentsMargins(4, 4, 4, 4);
    auto *caption = new QLabel(title, this);
    caption->setObjectName(QStringLiteral("pnlCaption"));
    caption->setAlignment(Qt::AlignCenter);
    caption->setStyleSheet(QStringLiteral(
        "QLabel { font: bold 13pt; background: #dfe8f6; border: 1px solid #9fb4d0; padding: 6px; }"));
    col->addWidget(caption);

    auto *split = new QSplitter(Qt::Vertical, this);
    col->addWidget(split, 1);
    auto *top = new QWidget(split);
    FControlsParent = top;
    FControls = new QFormLayout(top);
    FControls->setContentsMargins(2, 4, 2, 4);
    FControls->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    FControls->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    edtGroupNo = new QLineEdit(top);
    edtGroupNo->setMaxLength(30);
    AddRow(ModuleText(FData.GroupNoField.Caption), edtGroupNo);
    FInputs << edtGroupNo;
    connect(edtGroupNo, &QLineEdit::textChanged, this, &TParamForm::Changed);
    cbVariety = AddCombo(FData.VarietyField);
    cbGrade = AddCombo(FData.GradeField);
    cbAge = AddCombo(FData.AgeField);
    cbSize = AddCombo(FData.SizeField);
    FInputs.removeAll(cbSize);
    cbRate = AddCombo(FData.RateField);
    cbCount = AddCombo(FData.CountField);
    cbMode = AddCombo({QT_TRANSLATE_NOOP("TModuleText", "是否连续加载"), {T("单独试验"), T("连续试验")}, false});
    cbDelay = AddCombo({QT_TRANSLATE_NOOP("TModuleText", "延时时间(s)"), FData.DelayChoices, true}, cbMode);
    lblDelay = qobject_cast<QLabel *>(FControls->labelForField(cbDelay));
    // Named, so that tools and tests find the controls of any module's form.
    edtGroupNo->setObjectName(QStringLiteral("edtGroupNo"));
    const std::pair<QComboBox *, const char *> names[] = {{cbVariety, "cbVariety"}, {cbGrade, "cbGrade"},
                                                          {cbAge, "cbAge"},         {cbSize, "cbSize"},
                                                          {cbRate, "cbRate"},       {cbCount, "cbCount"},
                                                          {cbMode, "cbMode"},       {cbDelay, "cbDelay"}};
    for (const auto &n : names)
        if (n.first)
            n.first->setObjectName(QLatin1String(n.second));
    connect(cbMode, &QComboBox::currentIndexChanged, this, [this](int i) { ShowContinuous(i == 1); });

    sgResult = new QTableWidget(split);
    sgResult->setObjectName(QStringLiteral("sgResult"));
    sgResult->setColumnCount(3);
    sgResult->horizontalHeader()->hide();
    sgResult->verticalHeader()->hide();
    sgResult->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgResult->setSelectionMode(QAbstractItemView::NoSelection);
    sgResult->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    connect(cbCount, &QComboBox::currentTextChanged, this, [this](const QString &t) {
        bool ok = false;
        const int n = t.trimmed().toInt(&ok);
        if (ok)
            SetGridCount(n);
    });
}

QComboBox *TParamForm::AddCombo(const TFormField &field, QWidget *after)
{
    if (field.Caption.isEmpty())
        return nullptr;
    auto *box = new QComboBox(FControlsParent);
    box->setEditable(field.Editable);
    box->addItems(field.Choices);
    AddRow(ModuleText(field.Caption), box, after);
    FInputs << box;
    connect(box, &QComboBox::currentTextChanged, this, &TParamForm::Changed);
    return box;
}

void TParamForm::AddRow(const QString &caption, QWidget *control, QWidget *after, QLabel **label)
{
    auto *l = new QLabel(caption, FControlsParent);
    l->setBuddy(control);
    // Rows of the module go above the mode row unless placed after a control.
    int row = FControls->rowCount();
    if (after) {
        QFormLayout::ItemRole role;
        FControls->getWidgetPosition(after, &row, &role);
        ++row;
    } else if (cbMode) {
        QFormLayout::ItemRole role;
        FControls->getWidgetPosition(cbMode, &row, &role);
    }
    FControls->insertRow(row, l, control);
    if (label)
        *label = l;
}

QComboBox *TParamForm::AddExtraCombo(const QString &key, const QString &caption, const QStringList &choices,
                                     bool editable, QWidget *after)
{
    QComboBox *box = AddCombo({caption, choices, editable}, after);
    box->setObjectName(QStringLiteral("cb") + key);
    FExtra.insert(key, box);
    return box;
}

QLabel *TParamForm::AddInfoLabel(const QString &caption, QWidget *after)
{
    auto *value = new QLabel(FControlsParent);
    value->setFrameShape(QFrame::StyledPanel);
    AddRow(ModuleText(caption), value, after);
    return value;
}

TParamValues TParamForm::Values() const
{
    TParamValues v;
    v.GroupNo = edtGroupNo->text();
    v.Variety = ComboText(cbVariety);
    v.Grade = ComboText(cbGrade);
    v.Age = ComboText(cbAge);
    v.Size = ComboText(cbSize);
    v.SizeIndex = cbSize ? cbSize->findText(cbSize->currentText()) : -1;
    v.Rate = ComboText(cbRate);
    v.Count = ComboText(cbCount);
    v.Continuous = cbMode->currentIndex() == 1;
    v.Delay = ComboText(cbDelay);
    for (auto it = FExtra.begin(); it != FExtra.end(); ++it)
        v.Extra.insert(it.key(), it.value()->currentText());
    return v;
}

void TParamForm::SetValues(const TParamValues &v)
{
    edtGroupNo->setText(v.GroupNo);
    SetComboText(cbVariety, v.Variety);
    SetComboText(cbGrade, v.Grade);
    SetComboText(cbAge, v.Age);
    if (cbSize && v.SizeIndex >= 0 && v.SizeIndex < cbSize->count() && v.Size.isEmpty())
        cbSize->setCurrentIndex(v.SizeIndex);
    else
        SetComboText(cbSize, v.Size);
    SetComboText(cbRate, v.Rate);
    SetComboText(cbCount, v.Count);
    SetComboText(cbDelay, v.Delay);
    for (auto it = v.Extra.begin(); it != v.Extra.end(); ++it)
        SetComboText(FExtra.value(it.key()), it.value());
    ShowContinuous(v.Continuous);
}

void TParamForm::SetInputsEnabled(bool enabled)
{
    for (QWidget *w : FInputs)
        if (w)
            w->setEnabled(enabled);
}

void TParamForm::SetSizeEnabled(bool enabled)
{
    if (cbSize)
        cbSize->setEnabled(enabled);
}

void TParamForm::ShowContinuous(bool continuous)
{
    if (cbMode->currentIndex() != (continuous ? 1 : 0))
        cbMode->setCurrentIndex(continuous ? 1 : 0);
    cbDelay->setVisible(continuous);
    if (lblDelay)
        lblDelay->setVisible(continuous);
}

void TParamForm::SetGridCount(int n)
{
    if (n < 1 || n > 10)
        return;
    FGridCount = n;
    sgResult->clearContents();
    sgResult->setRowCount(n + 3);
    for (int r = 0; r < n + 3; ++r) {
        const QStringList cells = GridRowHeader(r, n, FData.ForceUnit());
        for (int c = 0; c < 3; ++c)
            SetCell(r, c, cells.value(c));
    }
}

void TParamForm::ClearResults()
{
    for (int r = 1; r < sgResult->rowCount(); ++r)
        for (int c = 1; c < 3; ++c)
            SetCell(r, c, QString());
}

void TParamForm::ShowSpecimen(int k, const QString &force, const QString &strength)
{
    if (k < 1 || k > FGridCount)
        return;
    SetCell(k, 1, force);
    SetCell(k, 2, strength);
}

void TParamForm::ShowSkipped(int k) { ShowSpecimen(k, QStringLiteral("  -"), QStringLiteral("   -")); }

void TParamForm::MarkSpecimen(int k)
{
    if (k < 1 || k > FGridCount)
        return;
    const QString t = Cell(k, 1);
    if (!t.startsWith(QLatin1Char('*')))
        SetCell(k, 1, QLatin1Char('*') + t);
}

void TParamForm::ShowGroupResult(int n, const QString &force, const QString &strength)
{
    if (n < 1 || n != FGridCount)
        return;
    SetCell(n + 1, 1, force);
    SetCell(n + 1, 2, QStringLiteral("   -"));
    SetCell(n + 2, 1, QStringLiteral("  -"));
    SetCell(n + 2, 2, strength);
}

QString TParamForm::Cell(int row, int column) const
{
    const QTableWidgetItem *item = sgResult->item(row, column);
    return item ? item->text() : QString();
}

void TParamForm::SetCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= sgResult->rowCount())
        return;
    QTableWidgetItem *item = sgResult->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        sgResult->setItem(row, column, item);
    }
    item->setText(text);
    if (row == 0 || column == 0)
        item->setBackground(palette().window());
}

void TParamForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = static_cast<int>(std::lround(width() / 3.0)) - 5;
    for (int c = 0; c < 3; ++c)
        sgResult->setColumnWidth(c, w > 10 ? w : 10);
}

} // namespace kv::fw
