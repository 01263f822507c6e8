#pragma once
// Cutting a whole text into lines.
#include <string>
#include <string_view>
#include <vector>

namespace tolvarine {

// A line runs to the next CR, LF or NUL or the end; then one CR is skipped if present,
// then one LF. Stops where a line would begin at a NUL or at the end of the text.
std::vector<std::string> SplitLines(std::string_view text);

// The same lines as views into text (no copies); text must outlive the result.
std::vector<std::string_view> SplitLineViews(std::string_view text);

}  // namespace tolvarine
