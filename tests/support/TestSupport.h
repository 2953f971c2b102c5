#pragma once
// Helpers shared by the test groups.
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace kvtest {

// The staged program folder of this build (build/Kalvio6).
QString StageDir();
// The source tree.
QString SourceDir();

// A private copy of the installed database in a temporary folder that lives
// as long as the returned object.
struct TFreshDb {
    std::unique_ptr<QTemporaryDir> dir;
    QString path;   // the database file
};
TFreshDb FreshDatabase();

} // namespace kvtest
