#pragma once

#include "base/Result.h"

#include <optional>
#include <string>
#include <string_view>

namespace hw {

/// The whole file as bytes, or nullopt when it cannot be read.
std::optional<std::string> readFileBytes(const std::string& path);
/// The whole file as bytes; empty text when it cannot be read.
std::string readFileOrEmpty(const std::string& path);

/// Writes `data` as it is, creating or truncating the file. Working files use this.
bool writeFileBytes(const std::string& path, std::string_view data);
/// Writes `data` to a new temporary file beside `path`, flushes it to the disk and renames it
/// over `path` (then flushes the folder), so at every moment the file is whole: the old one or
/// the new one. A replaced file keeps its permissions; a read-only file is refused; a symbolic
/// link is written through (the linked file changes, the link stays). The temporary is removed
/// on failure; one left by a killed process is swept by the next write into that folder.
Status writeFileAtomic(const std::string& path, std::string_view data);

/// What a text-mode stream writes for `text`: every LF becomes CR LF (a CR LF already in the
/// text becomes CR CR LF).
std::string textModeBytes(std::string_view text);

bool fileExists(const std::string& path);
bool removeFile(const std::string& path);
/// Copies a file, replacing the target atomically (see writeFileAtomic).
bool copyFile(const std::string& from, const std::string& to);
/// Renames a file, replacing the target in one step (through a link, to the linked file);
/// across file systems, an atomic copy and then the removal of `from`.
bool moveFile(const std::string& from, const std::string& to);

/// The folder part of a path, without its trailing "/" (the root stays "/"); empty for a
/// bare name.
std::string folderOf(const std::string& path);
/// The file-name part of a path (the text after its last "/").
std::string fileNameOf(const std::string& path);
/// `name` resolved against `folder` unless it is absolute.
std::string joinPath(const std::string& folder, const std::string& name);

/// Whether `name` matches a wildcard pattern of "*" and "?" in the manner of a Windows file
/// search: letter case does not matter.
bool wildcardMatch(std::string_view pattern, std::string_view name);
/// The name (without folder) of the first file in `folder` that matches `pattern`, or empty.
std::string findFirstFile(const std::string& folder, std::string_view pattern);
/// Deletes every file in `folder` that matches `pattern`. A file that cannot be deleted is
/// passed over, so the sweep always ends.
void sweepFiles(const std::string& folder, std::string_view pattern);

} // namespace hw
