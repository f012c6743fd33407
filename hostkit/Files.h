#ifndef HOSTKIT_FILES_H
#define HOSTKIT_FILES_H

#include <cstddef>
#include <cstdio>
#include <string>

// The file operations a host of the plug-in needs, one implementation per
// platform (Files_win32.cpp, Files_posix.cpp). Paths are narrow strings: on
// Windows UTF-8, used through the system's wide calls, so that any path
// works, also one outside the ANSI code page (a Chinese folder on an
// English system); elsewhere the bytes the system takes. The plug-in
// itself names its own path in the ANSI code page: that is its business.
namespace hostkit {
namespace files {

bool exists(const std::string& path);
// A regular file: not a folder, a pipe or a device.
bool isFile(const std::string& path);
bool isDirectory(const std::string& path);
// The size of a regular file in bytes, of any size on any platform; false
// when there is no such file.
bool sizeOf(const std::string& path, unsigned long long& size);

// fopen by a path as above.
std::FILE* openFile(const std::string& path, const char* mode);
// The whole of a file in bytes; false when it cannot be read or holds
// more than most bytes (a regular file's size is looked at first, so a
// big one costs no reading).
bool readFile(const std::string& path, std::string& bytes, std::size_t most);
// The whole of a regular file. False with "PATH: why" in error when there
// is none: missing, a folder, or a pipe or a device, which is never opened
// (a pipe waits for a writer, /dev/zero never ends); what names the file
// in the message ("the model file").
bool readFile(const std::string& path, const char* what, std::string& bytes, std::string& error);
// Why path cannot be read as a regular file, as readFile says it; "" for
// a regular file.
std::string notAFile(const std::string& path, const char* what);
// Why the last of these calls on a path failed, as the system says it, in
// plain English whatever the system's language: "no such file", "access
// denied", "in use by another program"...
std::string lastFailure();

// The full path; on Windows in its long form, as the loader reports a module.
std::string absolute(const std::string& path);
// The folder of a path, without a trailing separator.
std::string folderOf(const std::string& path);
std::string join(const std::string& folder, const std::string& name);
// The file name in folder as Windows finds it, ignoring the case of ASCII
// letters ("KERNEL32.dll" for kernel32.dll): on Windows join; elsewhere the
// entry of folder that matches, or join when none does.
std::string findIgnoringCase(const std::string& folder, const std::string& name);

// The folder holding the running program.
std::string executableFolder();

// A new, empty folder among the system's temporary files, by its full path;
// empty on failure. prefix starts its name.
std::string makeTemporaryFolder(const std::string& prefix);
// Removes the folders makeTemporaryFolder(prefix) made for processes that
// ended without removing them. On Windows a library that a living process
// has loaded cannot be deleted: a folder whose file named library can be
// deleted is no living process's, unless it is minutes old (its process
// may not have loaded its copy yet). Elsewhere nothing marks a folder as
// in use, and nothing is removed.
void removeLeftTemporaryFolders(const std::string& prefix, const std::string& library);
bool makeFolder(const std::string& path);
bool copyFile(const std::string& from, const std::string& to);
// Replaces whatever is at path by a file holding bytes.
bool writeFile(const std::string& path, const std::string& bytes);
// Writes bytes to the file at path so that a failed write (a full disk)
// leaves the file that was there: they go to a new file beside it, which
// then takes its place. A link to a file is followed and stays a link;
// a device or a pipe at path is left alone (false).
bool replaceFile(const std::string& path, const std::string& bytes);
// Moves the file from over the file to, in one step where the system
// can; on POSIX systems it takes to's permissions.
bool moveOver(const std::string& from, const std::string& to);
// Where a link at path leads (the file itself when it is none).
std::string linkTarget(const std::string& path);
bool removeFile(const std::string& path);
bool removeFolder(const std::string& path);
// A file, or a folder with everything in it.
void removeAll(const std::string& path);

#ifdef _WIN32
// UTF-8 paths and the system's wide ones.
std::wstring widePath(const std::string& utf8);
std::string utf8Path(const std::wstring& wide);
// A path as the file calls take it. wired-host is not long-path aware (its
// manifest leaves the process as a host runs the plug-in), so those calls
// stop at MAX_PATH: a longer path goes whole, as \\?\C:\... or
// \\?\UNC\server\..., the form without that limit; a shorter one as it is.
std::wstring systemPath(const std::string& utf8);
#endif

} // namespace files
} // namespace hostkit

#endif
