#include "engine/HostScripts.h"

#include "embedded/hostContrast.h"
#include "embedded/hostContrastMark.h"
#include "embedded/hostCtrlEvent.h"
#include "embedded/hostUndo.h"

#include <charconv>

namespace hw {

namespace {

// The shortest text that reads back as the same number; a JavaScript number literal.
std::string numberLiteral(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string stringLiteral(const std::string& text) {
    std::string literal = "'";
    for (const char c : text) {
        if (c == '\'' || c == '\\') literal += '\\';
        literal += c;
    }
    return literal + "'";
}

} // namespace

std::string hostUndoScript() { return std::string(embedded::hostUndo); }

std::string hostCtrlEventScript(double x, double y, const std::string& type) {
    // The embedded text is a function expression; the call's arguments complete it.
    return std::string(embedded::hostCtrlEvent) + "(" + numberLiteral(x) + "," + numberLiteral(y) + "," +
           stringLiteral(type) + ")";
}

std::string hostContrastScript(int cap) { return std::string(embedded::hostContrast) + "(" + std::to_string(cap) + ")"; }

std::string hostContrastMarkScript(int frame, const std::string& path) {
    return std::string(embedded::hostContrastMark) + "(" + std::to_string(frame) + "," + stringLiteral(path) + ")";
}

} // namespace hw
