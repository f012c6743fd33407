#ifndef WIREDHOST_FILES_H
#define WIREDHOST_FILES_H

#include <string>

// The file operations the tool needs, one implementation per platform
// (Files_win32.cpp, Files_posix.cpp). Paths are narrow strings in the same
// encoding the plug-in uses for its own path: the ANSI code page on Windows,
// so a folder with Chinese characters works for both alike.
namespace wiredhost {
namespace files {

bool exists(const std::string& path);
bool isFile(const std::string& path);
bool isDirectory(const std::string& path);

std::string absolute(const std::string& path);
// The folder of a path, without a trailing separator, and the last part.
std::string folderOf(const std::string& path);
std::string nameOf(const std::string& path);
std::string join(const std::string& folder, const std::string& name);

// The folder holding the running program.
std::string executableFolder();

// A new, empty folder among the system's temporary files; empty on failure.
std::string makeTemporaryFolder();
bool copyFile(const std::string& from, const std::string& to);
bool removeFile(const std::string& path);
bool removeFolder(const std::string& path);

} // namespace files
} // namespace wiredhost

#endif
