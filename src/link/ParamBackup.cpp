#include "link/ParamBackup.h"
#include "link/ParamSet.h"

#include <QByteArray>
#include <QDir>
#include <QIODevice>
#include <QSettings>
#include <QStringList>

namespace kv {

namespace {

// QSettings' own INI writer escapes Chinese keys (%U7CFB...); backup files
// carry the captions as plain UTF-8, so they are written by this format.
// It reads nothing: a backup replaces the whole file.
bool ReadNothing(QIODevice &, QSettings::SettingsMap &) { return true; }

bool WriteUtf8Ini(QIODevice &device, const QSettings::SettingsMap &map)
{
    QString section;
    QByteArray text;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const int slash = int(it.key().indexOf(QLatin1Char('/')));
        const QString group = slash < 0 ? QStringLiteral("General") : it.key().left(slash);
        if (text.isEmpty() || group != section) {
            if (!text.isEmpty())
                text += '\n';
            text += '[' + group.toUtf8() + "]\n";
            section = group;
        }
        text += it.key().mid(slash + 1).toUtf8() + '=' + it.value().toString().toUtf8() + '\n';
    }
    return device.write(text) == text.size();
}

QSettings::Format BackupFormat()
{
    static const QSettings::Format format = QSettings::registerFormat(QStringLiteral("ini"), ReadNothing, WriteUtf8Ini);
    return format;
}

// Writes the model's section as the whole file. boxSide: box-side copies of
// the known box items instead of the software values.
bool WriteSection(const TBaseParams &params, const QString &fileName, bool boxSide)
{
    QSettings ini(fileName, BackupFormat());
    ini.clear(); // keys QSettings still caches for this file
    ini.beginGroup(params.DisplayName());
    for (int i = 0; i < params.Count(); ++i) {
        const TParamItem &item = params.Item(i);
        if (boxSide && item.BoxUnknown)
            continue;
        const int value = boxSide ? item.BoxValue : params.Value(i);
        ini.setValue(item.StoredCaption, QString::number(value));
    }
    ini.endGroup();
    ini.sync();
    return ini.status() == QSettings::NoError;
}

} // namespace

bool TParamBackup::Backup(const TBaseParams &params, const QString &fileName)
{
    return WriteSection(params, fileName, false);
}

bool TParamBackup::BackupBox(const TBaseParams &params, const QString &fileName)
{
    return WriteSection(params, fileName, true);
}

TParamBackup::TRestoreResult TParamBackup::Restore(TBaseParams &params, const QString &fileName)
{
    TRestoreResult result;
    // Qt's INI reader takes plain UTF-8 keys as well as its own escapes.
    QSettings ini(fileName, QSettings::IniFormat);
    ini.beginGroup(params.DisplayName());
    const QStringList keys = ini.childKeys();
    if (keys.isEmpty()) {
        result.Message = tr("该文件没有包含%1的信息,可能不是正确的文件。").arg(params.DisplayName());
        return result;
    }
    result.Snapshot = params.Snapshot();
    for (const QString &key : keys) {
        const int index = params.IndexOfCaption(key);
        if (index < 0)
            continue;
        bool ok = false;
        const int value = ini.value(key).toString().trimmed().toInt(&ok);
        params.SetValue(index, ok ? value : 0);
    }
    // The break-judgement flags follow the restored judgement method.
    params.FlagsFromMethod();
    result.Ok = true;
    result.Message = tr("还原成功!");
    return result;
}

QString TParamBackup::AutoBackupFileName(const QDateTime &now, const QString &programFolder)
{
    const QString base = programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder;
    const QString folder = QDir(base).filePath(QStringLiteral("BackUp"));
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + now.toString(QStringLiteral("yy-MM-dd hh.mm.ss")) + QStringLiteral(".ini");
}

} // namespace kv
