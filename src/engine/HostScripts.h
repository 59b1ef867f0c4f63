#pragma once

#include <string>

namespace hw {

// Scripts the program runs in the shown page's top window (never put into a page). Their sources
// are src/engine/script/host/*.js.

/// Edit > Undo: takes back the newest paint over the page and all its frames.
std::string hostUndoScript();

/// A Ctrl mouse event of `type` ("click" or "contextmenu") at view point (x, y) in CSS pixels,
/// dispatched at the element under it, inside frames too. Its result is [found an element,
/// picked a picture].
std::string hostCtrlEventScript(double x, double y, const std::string& type);

/// The contrast report's collection over the page and its frames, at most `cap` elements; its
/// result is the text parseContrastCollection reads.
std::string hostContrastScript(int cap);

/// Takes the contrast report's outline off the element that has it and, with `frame` >= 0,
/// outlines the element at `path` of that frame. Its result is whether one was outlined.
std::string hostContrastMarkScript(int frame, const std::string& path);

} // namespace hw
