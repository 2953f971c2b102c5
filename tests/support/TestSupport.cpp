#include "TestSupport.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <algorithm>

#include <QFile>
#include <stdexcept>

namespace kvtest {

QString StageDir() { return QStringLiteral(KV_STAGE_DIR); }

bool HasChinese(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; });
}

QStringList ChineseCaptions(const QWidget &window)
{
    QStringList texts{window.windowTitle()};
    for (const auto *l : window.findChildren<QLabel *>())
        texts << l->text();
    for (const auto *b : window.findChildren<QAbstractButton *>())
        texts << b->text();
    for (const auto *g : window.findChildren<QGroupBox *>())
        texts << g->title();
    QStringList chinese;
    for (const QString &t : texts)
        if (HasChinese(t))
            chinese << t;
    return chinese;
}
QString SourceDir() { return QStringLiteral(KV_SOURCE_DIR); }

TFreshDb FreshDatabase()
{
    TFreshDb db;
    db.dir = std::make_unique<QTemporaryDir>();
    db.path = db.dir->filePath(QStringLiteral("MeasDB.sqlite"));
    const QString installed = StageDir() + QStringLiteral("/MeasDB.sqlite");
    if (!QFile::copy(installed, db.path))
        throw std::runtime_error("cannot copy the installed database " + installed.toStdString());
    QFile::setPermissions(db.path, QFile::ReadOwner | QFile::WriteOwner);
    return db;
}

} // namespace kvtest
