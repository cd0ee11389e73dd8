// The project file (.pv3d), which is also the analysis engine's input file:
// the writer's number formats, the text of a project, and the reader that
// fills a project from a file through the token reader. Numbers are always
// written and read with "." as the decimal separator; lines end with CR LF.
#pragma once

#include "ProgramData.h"
#include "WordReader.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace pavrin::app {

// Saving failed; the message names the file and the cause. The file that was
// there before is left as it was.
class EProjectSaveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file holds a value that the project cannot take (a row count beyond a
// table's limit, a soil-type code outside 1..6). Like the token reader's
// EInOutError, it ends the reading with a message for the user.
class EProjectReadError : public controls::EInOutError {
public:
    using controls::EInOutError::EInOutError;
};

// General number: 8 significant digits, trailing zeros dropped; fixed notation
// from 0.0001 up to 8 digits before the point (1200, 0.5, 0.0001), else
// 1E-5, 2.5E-7, 1.2345679E10. Throws EProjectSaveError for a value that is
// not finite, which no reader could take back.
std::string FormatNumber(long double value);

// Layer depth: 23 characters, a blank (or "-"), one digit, ".", 14 digits,
// "E", the exponent's sign and four digits: " 1.20000000000000E+0002".
std::string FormatLayerDepth(long double value);

// The whole project file of a project, lines ended by CR LF. Sets CurveMode
// from CurvesGenerated and tags every layer-data table with its layer, as the
// writer does. Throws EProjectSaveError for a value that cannot be written
// (not finite, a soil layer without its data or with an unknown soil type).
std::string ProjectFileText(TProgramData& project);

// Writes `text` to `path` so that the previous file is replaced only by a
// complete new one: a temporary file in the same folder, renamed over the old
// one after it was written and closed. Throws EProjectSaveError.
void WriteFileReplacing(const std::string& path, const std::string& text);

// The same for any file, without the checks and messages of a project save: the temporary file is
// named `path` + `temporarySuffix` + a number. Returns why it failed, or nothing.
std::optional<std::string> ReplaceFileContents(const std::string& path, const std::string& text,
                                               const std::string& temporarySuffix);

// The longest project file the reader takes, in bytes. The writer's widest
// file has user curves in every table at its capacity:
//   100 t-z curves of 100 points: 100 x (head line 26 + 100 x 35) = 352,600
//   AE 50 and Q-w 50 points of two numbers: 2 x (4 + 50 x 35)         =   3,508
//   tip movements 100, head loads 50, soil settlement 100 x 2:           6,223
//   t-z factors 50 x 3, Q-w factors, pile line, title and counts:       ~2,900
// about 365,000 bytes, where a number is at most 16 characters wide
// ("-1.2345679E-4932", 8 significant digits), a pair of numbers with its blank
// and CR LF 35, and a layer-depth line of soil layers shorter than a curve's.
// Ten times that, rounded up to 4 MiB, leaves room for hand-edited files with
// wider spacing, longer numbers or a long title; anything longer is not a
// project and is refused before it is read.
inline constexpr std::uintmax_t kMaxProjectFileBytes = 4u << 20;

// A token reader over the project file `path`. Throws EProjectReadError for a
// file longer than kMaxProjectFileBytes (before reading it) and the token
// reader's EFileOpenError for a file that cannot be opened or read.
controls::TWordReader OpenProjectFile(const std::string& path);

// Fills a project from a token reader: records in the order of the project
// file (the older format stops before the factor records). `project` has the
// values of a new project and its tables 0 rows. Throws the token reader's
// EInOutError (or EProjectReadError) at the first item it cannot take; what
// was read until then stays in the project.
void ReadProject(TProgramData& project, controls::TWordReader& reader, bool currentFormat);

} // namespace pavrin::app
