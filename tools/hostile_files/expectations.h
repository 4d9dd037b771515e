// What the hostile-file cases expect of the program, free of windows so the host tests check it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tl::hostile {

// The rows a start shows for an entry file: the text ends at its first zero byte and is split at
// CR LF, walking GBK characters (a lead byte and the byte after it); what follows the last line
// end is a row only when it is not empty.
int ExpectedRows(std::string_view fileBytes);

// Whether a file's original bytes survived a run: the file still holds them (a missing final
// line end may have been added), or a backup holds them and the user was told about it.
bool Preserved(std::string_view original, const std::optional<std::string>& now, bool backedUp, bool told);

}  // namespace tl::hostile
