// gui/results/VerdictLine.h - a run's verdict in a window's line: its word and
// reason ("检查结论：不通过：应报文件10个，缺少1个"), framed and written in the
// verdict's colour, which only repeats what the words say. The line wraps, so
// a window gives it the height of two rows (kVerdictLineHeight).
//
//   ShowVerdict(label, fc::store::ReadLatestRunFacts(home.storeFile()));
//   ShowRunning(label);   // while a run is still writing its results
#pragma once

#include <filesystem>
#include <optional>

#include "store/RunFacts.h"

class QLabel;

namespace fc::gui {

// Pixels at the designed size: two rows of text within the frame.
inline constexpr int kVerdictLineHeight = 44;

// The verdict of `facts`; "—" for a run without one (kept by an earlier
// version, or no run at all).
void ShowVerdict(QLabel* line, const std::optional<store::RunFacts>& facts);
// "检查进行中，结果尚未完成", in the colour of an unfinished run.
void ShowRunning(QLabel* line);
// The latest run's facts in the store file, or nothing when there are none
// or the store cannot be read.
std::optional<store::RunFacts> LatestRunFacts(const std::filesystem::path& storeFile);

}  // namespace fc::gui
