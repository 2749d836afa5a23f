#pragma once
// What the end-to-end driver was started with, for every test file of it:
//   win32_end_to_end [GoogleTest flags] APP CLI [LANGUAGE | system:LANGUAGE]
// APP is Varnholt.exe and CLI varnholt-cli.exe, both as Windows paths.
// LANGUAGE ("de", "pseudo", ...; English when none is given) is the one the
// windows must show in the language run: the program is told it through
// VARNHOLT_LANGUAGE, or with "system:" finds it as the system's language.

#include "tools/savegen/SaveGen.h"

#include <string>

namespace varnholt::endtoend {

// Makes `folder` (with a trailing backslash) and its parents.
void makeFolders(const std::wstring& folder);

// The save the scenarios and the screenshots load: release 1.2, SPQR, with a
// campaign difficulty of Hard.
savegen::SaveSpec quickSaveSpec();

struct DriverArguments {
    std::wstring app;
    std::wstring cli;
    std::string language = "en";
    bool languageFromSystem = false;
};

inline DriverArguments driverArguments;

} // namespace varnholt::endtoend
