#pragma once
// The zip package of a workbook: every part in its order. Parts that are not
// replaced are written back as they were read, compressed bytes included.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace kv::xlsx {

class TXlsxPackage {
public:
    // False with *error set when the file is not a zip package.
    bool Read(const QString &file, QString *error);
    // Writes every part to file (replaced parts compressed anew).
    bool Write(const QString &file, QString *error) const;

    bool Has(const QString &part) const;
    QByteArray Part(const QString &part) const; // the uncompressed bytes
    void SetPart(const QString &part, const QByteArray &bytes); // adds when missing
    void RemovePart(const QString &part);
    QStringList Parts() const;

private:
    struct TEntry {
        QString Name;
        QByteArray Data;      // uncompressed
        QByteArray Raw;       // compressed as read (empty once replaced)
        int Method = 8;
        int Level = 6;
        quint32 Crc = 0;
        bool Replaced = false;
        QByteArray Extra;     // local extra field
        QString Comment;
        QDateTime Time;
    };
    const TEntry *Find(const QString &part) const;
    QList<TEntry> FEntries;
};

} // namespace kv::xlsx
