#pragma once
// TfrmDbSettings: which database the program uses. SQLite (the file beside
// the program, the default) or a PostgreSQL server: host, port, database,
// user and, optionally, schema. The password typed here is used for this
// start only and never stored; the server's password file (~/.pgpass)
// spares typing it.
#include "store/DbChoice.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kv {

class TfrmDbSettings : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDbSettings(const TDbChoice &choice, QWidget *parent = nullptr);

    // The choice shown, with the password typed (for this start only).
    TDbChoice Choice() const;

private:
    void UpdateEnabled();

    QRadioButton *rbSqlite;
    QRadioButton *rbServer;
    QLineEdit *edtHost;
    QSpinBox *sePort;
    QLineEdit *edtDatabase;
    QLineEdit *edtUser;
    QLineEdit *edtPassword;
    QLineEdit *edtSchema;
    QPushButton *m_ok;
};

} // namespace kv
