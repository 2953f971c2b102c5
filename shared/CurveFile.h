#pragma once
// The curve file of a group: the program appends the curve of every broken
// specimen, a module reads any of them back. Layout (little-endian):
//   0    16 bytes "Head_Head_Head" and two zero bytes
//   16   Int32 number of the specimen written last (1-based)
//   20   63 x Int32 offset where the curve of specimen k begins (entry k-1)
//   272  63 x Int32 offset where the curve of specimen k ends (entry k-1)
//   524  curves: Int32 point count n, then n x TCurvePoint (two singles)
#include "ContractExport.h"
#include "BaseTest.h"

#include <QString>

namespace kv {

inline constexpr int MaxCurveSpecimens = 63;
inline constexpr int CurveHeaderSize = 524;

// Stores the curve of specimen (1..63). Specimen 1 creates the file anew;
// a later one is written where the previous curves end, keeping every
// earlier curve, and the header is rewritten. The new file replaces the old
// one only once it is complete. A missing or unreadable file is started
// anew. False when specimen lies outside 1..63 (nothing is written) or the
// file cannot be written (the old file stays as it was).
KVCONTRACT_EXPORT bool WriteCurveFile(const QString &path, int specimen, const TCurvePoints &points);

// The curve of specimen index + 1 (index 0..62). Empty when the file is
// missing, too short, not a curve file, the index is out of range, or the
// header points outside the file or at a curve that does not fit.
KVCONTRACT_EXPORT TCurvePoints ReadCurveFile(const QString &path, int index);

} // namespace kv
