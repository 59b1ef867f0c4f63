#pragma once

#include "colour/TColor.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace hw {

enum class VisionKind { Normal, Protanopia, Deuteranopia, Tritanopia, Achromatopsia };

/// The 3x3 matrix, row-major, that turns linear RGB as a normal trichromat sees it into linear
/// RGB as a person with the given vision sees it: the dichromat matrices of Machado, Oliveira
/// and Fernandes (2009) at severity 1.0, the Rec. 709 luminance weights in every row for
/// achromatopsia, and the identity for normal vision.
std::array<double, 9> visionMatrix(VisionKind kind);

/// A colour as the given vision sees it: sRGB to linear, through the matrix, each channel held
/// to 0-1, back to sRGB and rounded to the nearest 0-255 step.
TColor simulateVision(VisionKind kind, TColor c);

/// The kind a lower-case name ("normal", "protanopia", "deuteranopia", "tritanopia",
/// "achromatopsia") stands for; nothing for any other text.
std::optional<VisionKind> visionKindFromName(std::string_view name);
/// The lower-case name of a kind, the inverse of visionKindFromName.
std::string_view visionKindName(VisionKind kind);

/// The id of the filter element in visionFilterSvg.
inline constexpr std::string_view visionFilterId = "hw-vision";

/// A stand-alone SVG document holding one filter (id visionFilterId): an feColorMatrix with the
/// kind's matrix as its 4x5 values (alpha kept, no offsets), worked in linear RGB.
std::string visionFilterSvg(VisionKind kind);

/// The style rule that puts the filter over a whole document: the SVG goes in as a data URL,
/// so the document gains no element. Empty for normal vision.
std::string visionFilterCss(VisionKind kind);

/// JavaScript that sets the document's simulation to `kind`, replacing an earlier one, or
/// removing it for normal vision. The rule lives in a constructed style sheet adopted by the
/// document, which is no part of the DOM: reading the document's HTML back never sees it.
/// Acts in the top document only, whose filter covers its frames too; safe to run more than
/// once, and before or after the body exists.
std::string visionFilterScript(VisionKind kind);

} // namespace hw
