#include "ParamForm.h"

#include "FrameworkTest.h"
#include "ui/WholeCharacters.h"

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

    FGroupNoEdit = new QLineEdit(top);
    FGroupNoEdit->setMaxLength(30);
    KeepWholeCharacters(FGroupNoEdit);
    AddRow(ModuleText(FData.GroupNoField.Caption), FGroupNoEdit);
    FInputs << FGroupNoEdit;
    connect(FGroupNoEdit, &QLineEdit::textChanged, this, &TParamForm::Changed);
    FVarietyBox = AddCombo(FData.VarietyField);
    FGradeBox = AddCombo(FData.GradeField);
    FAgeBox = AddCombo(FData.AgeField);
    FSizeBox = AddCombo(FData.SizeField);
    FInputs.removeAll(FSizeBox);
    FRateBox = AddCombo(FData.RateField);
    FCountBox = AddCombo(FData.CountField);
    FModeBox = AddCombo({QT_TRANSLATE_NOOP("TModuleText", "是否连续加载"), {T("单独试验"), T("连续试验")}, false});
    FDelayBox = AddCombo({QT_TRANSLATE_NOOP("TModuleText", "延时时间(s)"), FData.DelayChoices, true}, FModeBox);
    FDelayLabel = qobject_cast<QLabel *>(FControls->labelForField(FDelayBox));
    // Named, so that tools and tests find the controls of any module's form.
    FGroupNoEdit->setObjectName(QStringLiteral("edtGroupNo"));
    const std::pair<QComboBox *, const char *> names[] = {{FVarietyBox, "cbVariety"}, {FGradeBox, "cbGrade"},
                                                          {FAgeBox, "cbAge"},         {FSizeBox, "cbSize"},
                                                          {FRateBox, "cbRate"},       {FCountBox, "cbCount"},
                                                          {FModeBox, "cbMode"},       {FDelayBox, "cbDelay"}};
    for (const auto &n : names)
        if (n.first)
            n.first->setObjectName(QLatin1String(n.second));
    connect(FModeBox, &QComboBox::currentIndexChanged, this, [this](int i) { ShowContinuous(i == 1); });

    FResultGrid = new QTableWidget(split);
    FResultGrid->setObjectName(QStringLiteral("sgResult"));
    FResultGrid->setColumnCount(3);
    FResultGrid->horizontalHeader()->hide();
    FResultGrid->verticalHeader()->hide();
    FResultGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FResultGrid->setSelectionMode(QAbstractItemView::NoSelection);
    FResultGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    connect(FCountBox, &QComboBox::currentTextChanged, this, [this](const QString &t) {
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
    } else if (FModeBox) {
        QFormLayout::ItemRole role;
        FControls->getWidgetPosition(FModeBox, &row, &role);
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
    v.GroupNo = FGroupNoEdit->text();
    v.Variety = ComboText(FVarietyBox);
    v.Grade = ComboText(FGradeBox);
    v.Age = ComboText(FAgeBox);
    v.Size = ComboText(FSizeBox);
    v.SizeIndex = FSizeBox ? FSizeBox->findText(FSizeBox->currentText()) : -1;
    v.Rate = ComboText(FRateBox);
    v.Count = ComboText(FCountBox);
    v.Continuous = FModeBox->currentIndex() == 1;
    v.Delay = ComboText(FDelayBox);
    for (auto it = FExtra.begin(); it != FExtra.end(); ++it)
        v.Extra.insert(it.key(), it.value()->currentText());
    return v;
}

void TParamForm::SetValues(const TParamValues &v)
{
    FGroupNoEdit->setText(v.GroupNo);
    SetComboText(FVarietyBox, v.Variety);
    SetComboText(FGradeBox, v.Grade);
    SetComboText(FAgeBox, v.Age);
    if (FSizeBox && v.SizeIndex >= 0 && v.SizeIndex < FSizeBox->count() && v.Size.isEmpty())
        FSizeBox->setCurrentIndex(v.SizeIndex);
    else
        SetComboText(FSizeBox, v.Size);
    SetComboText(FRateBox, v.Rate);
    SetComboText(FCountBox, v.Count);
    SetComboText(FDelayBox, v.Delay);
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
    if (FSizeBox)
        FSizeBox->setEnabled(enabled);
}

void TParamForm::ShowContinuous(bool continuous)
{
    if (FModeBox->currentIndex() != (continuous ? 1 : 0))
        FModeBox->setCurrentIndex(continuous ? 1 : 0);
    FDelayBox->setVisible(continuous);
    if (FDelayLabel)
        FDelayLabel->setVisible(continuous);
}

void TParamForm::SetGridCount(int n)
{
    if (n < 1 || n > 10)
        return;
    FGridCount = n;
    FResultGrid->clearContents();
    FResultGrid->setRowCount(n + 3);
    for (int r = 0; r < n + 3; ++r) {
        const QStringList cells = GridRowHeader(r, n, FData.ForceUnit());
        for (int c = 0; c < 3; ++c)
            SetCell(r, c, cells.value(c));
    }
}

void TParamForm::ClearResults()
{
    for (int r = 1; r < FResultGrid->rowCount(); ++r)
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
    const QTableWidgetItem *item = FResultGrid->item(row, column);
    return item ? item->text() : QString();
}

void TParamForm::SetCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= FResultGrid->rowCount())
        return;
    QTableWidgetItem *item = FResultGrid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        FResultGrid->setItem(row, column, item);
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
        FResultGrid->setColumnWidth(c, w > 10 ? w : 10);
}

} // namespace kv::fw
