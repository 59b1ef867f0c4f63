#pragma once

// Bringing a newer change record from the cookie store into a scheme file, entry by entry: the
// newest colour of every element and aspect, every swapped picture, and a swatch list that
// holds exactly the colours still in use.

#include "base/AnsiString.h"
#include "engine/SchemeFile.h"

#include <string>
#include <string_view>

namespace hw {

class WebScheme;

/// Merges `fresh` (a record: "initialise,...endData" or one frame's section) into `target` (the
/// stored record or section it updates). `letters` are the colour aspects merged ("BCD" for a
/// page, "BC" for a frame); `endMarker` ends the target ("endData" or "frameE[n]"), and a new
/// image section is opened before it when the target has none.
void mergeRecordInto(AnsiString& target, const AnsiString& fresh, std::string_view letters, std::string_view endMarker);

/// A single-page scheme file's bytes with the "data" record of `cookieText` merged in. The
/// rest of the file keeps its bytes.
std::string mergeRecordText(const std::string& schemeBytes, const AnsiString& cookieText);
/// A frameset scheme file's bytes with every frame record of `cookieText` merged in by frame
/// index; a frame without a section gets one at the start of the file.
std::string mergeFrameRecordsText(const std::string& schemeBytes, const AnsiString& cookieText);

/// Rewrites a single-page scheme file with the record held in `changeRecord` merged in.
Status MergeRecord(WebScheme& scheme, const std::string& schemeFile);
/// The same for a frameset scheme file.
Status MergeFrameRecords(WebScheme& scheme, const std::string& schemeFile);
/// The one of the two that the scheme file's kind asks for, told from the text read for the
/// merge itself.
Status MergeSchemeRecords(WebScheme& scheme, const std::string& schemeFile);

} // namespace hw
