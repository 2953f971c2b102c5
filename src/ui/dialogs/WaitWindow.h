#pragma once
// TfrmWait: the borderless splash window shown while the program starts.
#include <QWidget>

namespace kv {

class TfrmWait : public QWidget {
    Q_OBJECT
public:
    explicit TfrmWait(QWidget *parent = nullptr);

    QString HintText() const { return m_hint; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void PaintPress(class QPainter &p, const QRectF &area);
    QString m_hint;
};

} // namespace kv
