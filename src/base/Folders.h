#pragma once

#include <string>

namespace hw {

/// The program's system folder: $HUEWRIGHT_HOME when set, else $XDG_DATA_HOME/huewright, else
/// ~/.local/share/huewright. It stands where a Windows program would use its Windows folder.
std::string systemFolder();
/// systemFolder() + "/Temp": the painting colour file, im.js and recoloured copies live here.
std::string tempFolder();
/// systemFolder() + "/Cookies": the cookie store's files.
std::string cookiesFolder();
/// $XDG_CONFIG_HOME/huewright (default ~/.config/huewright): the editor list.
std::string settingsFolder();

/// Creates the system folder with its Temp and Cookies folders, and the settings folder.
/// Returns false when one of them cannot be made.
bool ensureFolders();

/// Makes a new empty file in `folder` named prefix + hexadecimal digits + ".tmp", created
/// exclusively so no other file of that name exists, and returns its full path; empty when no
/// file can be made there.
std::string uniqueTempFile(const std::string& folder, const std::string& prefix);

} // namespace hw
