#include "xlsx/XlsxPackage.h"

#include <QCoreApplication>
#include <QFile>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/quazipnewinfo.h>

namespace kv::xlsx {

namespace {
QString Tr(const char *text) { return QCoreApplication::translate("TXlsxBook", text); }
} // namespace

bool TXlsxPackage::Read(const QString &file, QString *error)
{
    FEntries.clear();
    QuaZip zip(file);
    if (!zip.open(QuaZip::mdUnzip)) {
        if (error)
            *error = QFile::exists(file) ? Tr("文件%1不是有效的Excel(.xlsx)文件").arg(file)
                                         : Tr("文件%1不存在").arg(file);
        return false;
    }
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFileInfo64 info;
        zip.getCurrentFileInfo(&info);
        TEntry e;
        e.Name = info.name;
        e.Crc = info.crc;
        e.Extra = info.extra;
        e.Comment = info.comment;
        e.Time = info.dateTime;
        QuaZipFile raw(&zip);
        int method = 0, level = 0;
        if (!raw.open(QIODevice::ReadOnly, &method, &level, true)) {
            if (error)
                *error = Tr("文件%1已损坏").arg(file);
            return false;
        }
        e.Raw = raw.readAll();
        raw.close();
        e.Method = method;
        e.Level = level;
        QuaZipFile plain(&zip);
        if (!plain.open(QIODevice::ReadOnly)) {
            if (error)
                *error = Tr("文件%1已损坏").arg(file);
            return false;
        }
        e.Data = plain.readAll();
        plain.close();
        if (plain.getZipError() != UNZ_OK) {
            if (error)
                *error = Tr("文件%1已损坏").arg(file);
            return false;
        }
        FEntries.append(e);
    }
    if (zip.getZipError() != UNZ_OK || FEntries.isEmpty()) {
        if (error)
            *error = Tr("文件%1已损坏").arg(file);
        return false;
    }
    return true;
}

bool TXlsxPackage::Write(const QString &file, QString *error) const
{
    // The package goes to a file beside the target first: a failed write
    // leaves no half-written workbook under the target's name.
    const QString part = file + QStringLiteral(".part");
    bool ok = true;
    {
        QuaZip zip(part);
        ok = zip.open(QuaZip::mdCreate);
        for (int i = 0; ok && i < FEntries.size(); ++i) {
            const TEntry &e = FEntries[i];
            QuaZipNewInfo info(e.Name);
            info.extraLocal = e.Extra;
            info.comment = e.Comment;
            if (e.Time.isValid())
                info.dateTime = e.Time;
            info.uncompressedSize = ulong(e.Data.size());
            QuaZipFile f(&zip);
            if (!e.Replaced && !e.Raw.isEmpty()) {
                ok = f.open(QIODevice::WriteOnly, info, nullptr, e.Crc, e.Method, e.Level, true);
                ok = ok && f.write(e.Raw) == e.Raw.size();
            } else {
                ok = f.open(QIODevice::WriteOnly, info, nullptr, 0, Z_DEFLATED, 6);
                ok = ok && f.write(e.Data) == e.Data.size();
            }
            f.close();
            ok = ok && f.getZipError() == ZIP_OK;
        }
        if (zip.isOpen())
            zip.close();
        ok = ok && zip.getZipError() == ZIP_OK;
    }
    if (ok && QFile::exists(file))
        ok = QFile::remove(file);
    ok = ok && QFile::rename(part, file);
    if (!ok) {
        QFile::remove(part);
        if (error)
            *error = Tr("文件%1无法写入").arg(file);
    }
    return ok;
}

const TXlsxPackage::TEntry *TXlsxPackage::Find(const QString &part) const
{
    for (const TEntry &e : FEntries)
        if (e.Name.compare(part, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

bool TXlsxPackage::Has(const QString &part) const { return Find(part) != nullptr; }

QByteArray TXlsxPackage::Part(const QString &part) const
{
    const TEntry *e = Find(part);
    return e ? e->Data : QByteArray();
}

void TXlsxPackage::SetPart(const QString &part, const QByteArray &bytes)
{
    for (TEntry &e : FEntries)
        if (e.Name.compare(part, Qt::CaseInsensitive) == 0) {
            if (e.Data != bytes) {
                e.Data = bytes;
                e.Replaced = true;
            }
            return;
        }
    TEntry e;
    e.Name = part;
    e.Data = bytes;
    e.Replaced = true;
    FEntries.append(e);
}

void TXlsxPackage::RemovePart(const QString &part)
{
    for (int i = 0; i < FEntries.size(); ++i)
        if (FEntries[i].Name.compare(part, Qt::CaseInsensitive) == 0) {
            FEntries.removeAt(i);
            return;
        }
}

QStringList TXlsxPackage::Parts() const
{
    QStringList names;
    for (const TEntry &e : FEntries)
        names << e.Name;
    return names;
}

} // namespace kv::xlsx
