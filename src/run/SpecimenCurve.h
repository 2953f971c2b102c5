#pragma once
// Where the curve of a broken specimen goes: the group's curve file in the
// folder of curve files, named by the test.
#include "BaseTest.h"

#include <QString>

namespace kv {

// The group's curve file: outFileDir + "/" + GetCurveFileName.
QString CurveFilePath(TBaseTest &test, const QString &outFileDir);
// Writes curve as specimen FCurrent of the test's curve file (at most 63 per
// group); false when nothing was written.
bool StoreSpecimenCurve(TBaseTest &test, const QString &outFileDir, const TCurvePoints &curve);

} // namespace kv
