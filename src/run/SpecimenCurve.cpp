#include "run/SpecimenCurve.h"

#include "CurveFile.h"

#include <QDir>

namespace kv {

QString CurveFilePath(TBaseTest &test, const QString &outFileDir)
{
    return QDir(outFileDir).filePath(test.CurveFileName());
}

bool StoreSpecimenCurve(TBaseTest &test, const QString &outFileDir, const TCurvePoints &curve)
{
    return WriteCurveFile(CurveFilePath(test, outFileDir), test.FCurrent, curve);
}

} // namespace kv
