#pragma once
// The lab's header lines above the force verification record: the default
// captions kept in DefaultCaptionInfo under the report's own name. A
// database without such rows gives none, and the record prints no lines.
#include <QString>
#include <vector>

namespace kv {

class TZovData;

// Two name/content pairs of one header line.
struct TExamCaption {
    QString Name1, Data1, Name2, Data2;
};

// The expobj under which the record's captions are kept.
inline constexpr const char *ExamCaptionObject = "力值检测";

QString ExamCaptionsSql();
// The lines in their order, each text trimmed; none when the read fails.
std::vector<TExamCaption> LoadExamCaptions(TZovData &data);
// Replaces the lines by these, numbered from 1, in one transaction; false
// (nothing changed) when a statement failed.
bool SaveExamCaptions(TZovData &data, const std::vector<TExamCaption> &lines);

} // namespace kv
