#pragma once
// What the template tests share: the desktop opener replaced by a recorder,
// the LibreOffice switch, and a template copied into a test kind's folder.
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QObject>
#include <QUrl>

namespace templtest {

// Takes every file the program hands to the desktop's default program.
class TOpened : public QObject {
    Q_OBJECT
public:
    TOpened() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open"); }
    ~TOpened() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QStringList Files;
    Q_INVOKABLE void Open(const QUrl &url) { Files << url.toLocalFile(); }
};

// LibreOffice as if it were not installed, for the life of the object.
struct TNoOffice {
    const bool WasSet = qEnvironmentVariableIsSet("KV_SOFFICE");
    const QByteArray Was = qgetenv("KV_SOFFICE");
    TNoOffice() { qputenv("KV_SOFFICE", ""); }
    ~TNoOffice()
    {
        if (WasSet)
            qputenv("KV_SOFFICE", Was);
        else
            qunsetenv("KV_SOFFICE");
    }
};

inline QString DataFile(const char *name) { return QStringLiteral(KV_XLSX_DATA "/") + QLatin1String(name); }

// Copies a template into <program>/Report/<test>/<name>.xlsx; its path.
inline QString InstallTemplate(const QString &program, const QString &test, const QString &source, const QString &name)
{
    const QString folder = QDir(program).filePath(QStringLiteral("Report/") + test);
    QDir().mkpath(folder);
    const QString target = QDir(folder).filePath(name);
    QFile::remove(target);
    QFile::copy(source, target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return target;
}

inline QByteArray Hash(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

} // namespace templtest
