#include "xlsx/OfficeConvert.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <unistd.h>

namespace kv::xlsx {

namespace {
QString Tr(const char *text) { return QCoreApplication::translate("TXlsxBook", text); }
constexpr int kConvertMs = 180000;
} // namespace

QString OfficeProgram()
{
    if (qEnvironmentVariableIsSet("KV_SOFFICE"))
        return qEnvironmentVariable("KV_SOFFICE");
    for (const char *name : {"soffice", "libreoffice"}) {
        const QString p = QStandardPaths::findExecutable(QLatin1String(name));
        if (!p.isEmpty())
            return p;
    }
    return {};
}

bool ConvertWithOffice(const QString &file, const QString &format, const QString &outDir, QString *outFile,
                       QString *error)
{
    const QString office = OfficeProgram();
    if (office.isEmpty() || !QFileInfo(office).isExecutable()) {
        if (error)
            *error = Tr("没有安装LibreOffice");
        return false;
    }
    const QString filter = format == QLatin1String("xlsx") ? QStringLiteral("xlsx:Calc MS Excel 2007 XML") : format;
    // A profile of its own: an office the operator has open does not take the
    // job. It lies in the user's own cache: another user's profile cannot be used.
    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        cache = QDir::tempPath();
    const QString profile = QDir(cache).filePath(QStringLiteral("kv-office-profile-") + QString::number(getuid()));
    const QString result = QDir(outDir).filePath(QFileInfo(file).completeBaseName() + QLatin1Char('.') + format);
    // LibreOffice ends with 0 when it cannot load the file: only a new result counts.
    const QDateTime before = QFileInfo(result).lastModified();
    QProcess p;
    p.start(office, {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                     QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
                     QStringLiteral("--convert-to"), filter, QStringLiteral("--outdir"), outDir, file});
    const bool finished = p.waitForFinished(kConvertMs);
    const QFileInfo made(result);
    if (!finished || p.exitCode() != 0 || !made.exists() || (before.isValid() && made.lastModified() == before)) {
        if (!finished)
            p.kill();
        if (error)
            *error = Tr("LibreOffice无法转换文件%1").arg(QDir::toNativeSeparators(file));
        return false;
    }
    if (outFile)
        *outFile = result;
    return true;
}

} // namespace kv::xlsx
