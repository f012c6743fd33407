#ifndef HOSTKIT_FILES_H
#define HOSTKIT_FILES_H

#include <cstddef>
#include <string>

// The file operations a host of the plug-in needs, one implementation per
// platform (Files_win32.cpp, Files_posix.cpp). Paths are narrow strings in the
// same encoding the plug-in uses for its own path: the ANSI code page on
// Windows, so a folder with Chinese characters works for both alike.
namespace hostkit {
namespace files {

bool exists(const std::string& path);
bool isFile(const std::string& path);
bool isDirectory(const std::string& path);

// The full path; on Windows in its long form, as the loader reports a module.
std::string absolute(const std::string& path);
// The folder of a path, without a trailing separator.
std::string folderOf(const std::string& path);
std::string join(const std::string& folder, const std::string& name);

// The folder holding the running program.
std::string executableFolder();

// A new, empty folder among the system's temporary files, by its full path;
// empty on failure. prefix starts its name.
std::string makeTemporaryFolder(const std::string& prefix);
bool makeFolder(const std::string& path);
bool copyFile(const std::string& from, const std::string& to);
// The whole of a file in bytes; false when it cannot be read or holds
// more than most bytes.
bool readFile(const std::string& path, std::string& bytes, std::size_t most);
// Replaces whatever is at path by a file holding bytes.
bool writeFile(const std::string& path, const std::string& bytes);
bool removeFile(const std::string& path);
bool removeFolder(const std::string& path);
// A file, or a folder with everything in it.
void removeAll(const std::string& path);

} // namespace files
} // namespace hostkit

#endif
