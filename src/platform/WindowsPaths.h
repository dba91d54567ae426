#pragma once
#include <string>

namespace velmora {

// Whether a file name is one Windows reserves for a device in any folder:
// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-COM9 and LPT0-LPT9 (also with the
// superscript digits 1, 2 and 3), with or without an extension.
bool isDeviceName(const std::string& fileName);
// The same for the last part of a path.
bool isDevicePath(const std::string& path);

// The last part of a path, after its last "\" or "/".
std::string lastPathPart(const std::string& path);
// The path without its last part: before its last "\" or "/"; the path itself when it has none.
std::string folderPart(const std::string& path);

// Paths compared as Windows compares them: case ignored, "/" as "\".
bool samePath(const std::string& a, const std::string& b);
// A drive path (C:\...) or a share (\\server\...): one that means the same from any current folder.
bool isAbsoluteWindowsPath(const std::string& path);

// An absolute path (C:\... or \\server\share\...) with "/" as "\", "." and
// ".." taken out and no trailing "\" but a drive root's; empty for a
// relative path or one whose ".." climbs above its root.
std::string normalizedPath(const std::string& path);
// Two spellings of one file or folder: a trailing separator, a doubled one or
// a "." or ".." segment makes no other place. Compared as typed when either
// is not absolute.
bool samePlace(const std::string& a, const std::string& b);
// Whether the normalized path is the folder or lies below it.
bool isSameOrInside(const std::string& path, const std::string& folder);
// C:\ or \\server\share: the top of a drive or share.
bool isDriveRoot(const std::string& path);

}  // namespace velmora
