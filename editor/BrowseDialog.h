#pragma once
// The settings of the file-open dialog that Browse shows.

#include "core/GameVersion.h"
#include "editor/EditorHost.h"
#include "editor/FileQueries.h"
#include "words/UiText.h"

#include <string>
#include <string_view>
#include <vector>

namespace varnholt {

inline constexpr const char* browseTitle = uiText("Select Iron Dominion Save File");
inline constexpr const char* browseFilterText =
    "IRD Save Files (*.sav)|*.sav|All Files (*.*)|*.*||";
// The filter names above, each shown in the user's language.
inline constexpr const char* browseFilterNames[] = {uiText("IRD Save Files (*.sav)"),
                                                    uiText("All Files (*.*)")};
inline constexpr const char* browseDefaultExtension = "sav";

// The longest folder the initial-folder rule keeps, in bytes (the platform's
// limit for the folder part of a split path). A longer one is cut on a UTF-8
// character boundary.
inline constexpr std::size_t browseFolderLimit = 255;

// Splits a stored filter text ("name|pattern|name|pattern||") into its pairs.
// A trailing name without a pattern is dropped.
std::vector<FileFilter> parseFilterText(std::string_view filterText);

// The folder the dialog opens in: for a non-empty `sourcePath`, its drive and
// folder as the platform splits the path (empty when it has neither, so the
// dialog opens in the platform's default folder). For an empty one, the
// program's own folder, where a portable copy beside the game keeps its saves
// at hand; but an installed program's folder (one the user cannot write to,
// such as /usr/bin or C:\Program Files\...) never holds a saved game, so the
// dialog then opens in the user's home folder, when the system names one.
std::string initialBrowseFolder(const std::string& sourcePath, const std::string& programFolder,
                                const FileQueries& queries, PathStyle style = nativePathStyle);

// The whole dialog: one existing file in an existing folder, no read-only
// option, the current folder kept, the title, filters and default extension
// above.
OpenFileDialogSettings browseDialogSettings(const std::string& sourcePath,
                                            const std::string& programFolder,
                                            const FileQueries& queries,
                                            PathStyle style = nativePathStyle);

} // namespace varnholt
