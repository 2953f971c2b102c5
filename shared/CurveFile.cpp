#include "CurveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <array>
#include <cstring>
#include <limits>

namespace kv {

namespace {

constexpr char kMagic[16] = {'H', 'e', 'a', 'd', '_', 'H', 'e', 'a', 'd', '_', 'H', 'e', 'a', 'd', 0, 0};
constexpr int kLastOffset = 16;
constexpr int kStartsOffset = 20;
constexpr int kEndsOffset = kStartsOffset + 4 * MaxCurveSpecimens;
static_assert(kEndsOffset + 4 * MaxCurveSpecimens == CurveHeaderSize, "header layout");

struct THeader {
    qint32 Last = 0;
    std::array<qint32, MaxCurveSpecimens> Starts{};
    std::array<qint32, MaxCurveSpecimens> Ends{};
};

qint32 Int32At(const char *p) { return qFromLittleEndian<qint32>(p); }

void PutInt32(QByteArray &bytes, int offset, qint32 value) { qToLittleEndian<qint32>(value, bytes.data() + offset); }

bool ParseHeader(const QByteArray &bytes, THeader &header)
{
    if (bytes.size() < CurveHeaderSize || std::memcmp(bytes.constData(), kMagic, sizeof kMagic) != 0)
        return false;
    const char *p = bytes.constData();
    header.Last = Int32At(p + kLastOffset);
    for (int k = 0; k < MaxCurveSpecimens; ++k) {
        header.Starts[k] = Int32At(p + kStartsOffset + 4 * k);
        header.Ends[k] = Int32At(p + kEndsOffset + 4 * k);
    }
    return true;
}

// True when entry k names a byte range after the header, inside the file,
// long enough for a point count.
bool CurveFits(const THeader &h, int k, qint64 fileSize)
{
    const qint64 start = h.Starts[k], end = h.Ends[k];
    return start >= CurveHeaderSize && end >= start + 4 && end <= fileSize;
}

void WritePoints(QByteArray &bytes, const TCurvePoints &points)
{
    const int at = bytes.size();
    bytes.resize(at + 4 + 8 * static_cast<int>(points.size()));
    char *p = bytes.data() + at;
    qToLittleEndian<qint32>(static_cast<qint32>(points.size()), p);
    p += 4;
    for (const TCurvePoint &pt : points) {
        qToLittleEndian<float>(pt.X, p);
        qToLittleEndian<float>(pt.Force, p + 4);
        p += 8;
    }
}

} // namespace

bool WriteCurveFile(const QString &path, int specimen, const TCurvePoints &points)
{
    if (specimen < 1 || specimen > MaxCurveSpecimens)
        return false;
    if (qint64(points.size()) * 8 + 4 > std::numeric_limits<qint32>::max() / 2)
        return false;

    // The earlier curves of the group, when the file holds a valid header.
    QByteArray old;
    THeader header;
    bool keep = false;
    if (specimen > 1) {
        QFile in(path);
        if (in.open(QIODevice::ReadOnly)) {
            old = in.readAll();
            keep = ParseHeader(old, header);
        }
    }
    if (!keep)
        header = THeader();

    // Specimen k goes where the curves before it end; entries from k on are
    // replaced (a group resumed at k may have left a stale curve behind).
    qint64 appendAt = CurveHeaderSize;
    for (int k = 0; k < specimen - 1; ++k) {
        if (CurveFits(header, k, old.size()))
            appendAt = qMax<qint64>(appendAt, header.Ends[k]);
        else
            header.Starts[k] = header.Ends[k] = 0;
    }
    for (int k = specimen - 1; k < MaxCurveSpecimens; ++k)
        header.Starts[k] = header.Ends[k] = 0;

    QByteArray bytes(CurveHeaderSize, '\0');
    if (keep && appendAt > CurveHeaderSize)
        bytes.append(old.constData() + CurveHeaderSize, static_cast<int>(appendAt - CurveHeaderSize));
    const qint64 start = bytes.size();
    WritePoints(bytes, points);
    if (bytes.size() > std::numeric_limits<qint32>::max() / 2)
        return false;

    header.Last = specimen;
    header.Starts[specimen - 1] = static_cast<qint32>(start);
    header.Ends[specimen - 1] = static_cast<qint32>(bytes.size());
    std::memcpy(bytes.data(), kMagic, sizeof kMagic);
    PutInt32(bytes, kLastOffset, header.Last);
    for (int k = 0; k < MaxCurveSpecimens; ++k) {
        PutInt32(bytes, kStartsOffset + 4 * k, header.Starts[k]);
        PutInt32(bytes, kEndsOffset + 4 * k, header.Ends[k]);
    }

    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

TCurvePoints ReadCurveFile(const QString &path, int index)
{
    if (index < 0 || index >= MaxCurveSpecimens)
        return {};
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = in.size();
    THeader header;
    if (!ParseHeader(in.read(CurveHeaderSize), header) || !CurveFits(header, index, size))
        return {};
    const qint64 start = header.Starts[index];
    const qint64 length = header.Ends[index] - start;
    if (!in.seek(start))
        return {};
    const QByteArray curve = in.read(length);
    if (curve.size() != length)
        return {};
    // The point count must fit in the curve's own byte range.
    const qint32 n = Int32At(curve.constData());
    if (n < 0 || qint64(n) > (length - 4) / 8)
        return {};
    TCurvePoints points(static_cast<size_t>(n));
    const char *p = curve.constData() + 4;
    for (qint32 i = 0; i < n; ++i, p += 8) {
        points[i].X = qFromLittleEndian<float>(p);
        points[i].Force = qFromLittleEndian<float>(p + 4);
    }
    return points;
}

} // namespace kv
