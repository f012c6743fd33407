#ifndef WIREDCLSTAB_PLATFORM_H
#define WIREDCLSTAB_PLATFORM_H

#include <cstddef>

#include <tinyxml2.h>

// Every operating-system call the plug-in makes, one implementation per
// platform (Win32Platform.cpp, PosixPlatform.cpp).
namespace kavri {
namespace platform {

// How the module path is spelt. Native: the bytes the system's narrow calls
// use (the ANSI code page on Windows). Utf8: on Windows, a path the ANSI code
// page cannot spell, taken from the wide path and read with the wide calls.
enum class PathCoding { Native, Utf8 };

// Size of the buffer that holds the configuration path, for any coding.
std::size_t pathCapacity();
// How long a path in this coding may be, its terminating NUL included.
std::size_t pathLimit(PathCoding coding);

// The byte that separates directories in a module path.
char pathSeparator();
// The first position at which a separator ends the directory: on Windows
// never the first character ("\conv.dll" names no folder); on POSIX the
// leading "/" is the root directory.
std::size_t firstSeparatorIndex();

// Is c the first byte of a double-byte character in the ANSI code page
// (936, 932, 949, 950)? Its second byte may look like '\' or a letter.
// Always false where text is UTF-8, whose bytes from 0x80 up are never
// ASCII.
bool isLeadByte(char c);

// Writes the full path of the plug-in's own file into buffer and tells its
// coding. The result is the length written, or pathLimit(coding) or more
// when the path did not fit.
std::size_t moduleFileName(char* buffer, std::size_t size, PathCoding& coding);

// Appends name to the path in buffer; the caller has made sure it fits.
void appendFileName(char* buffer, std::size_t size, const char* name);

bool fileExists(const char* path, PathCoding coding);

// Loads the document from path. A path that names something that cannot be
// read as a regular file (a folder, a pipe, a device) gives
// XML_ERROR_FILE_NOT_FOUND, and opening it never waits.
tinyxml2::XMLError loadXmlFile(tinyxml2::XMLDocument& document, const char* path, PathCoding coding);

// Shows a warning to the user and waits until it is dismissed; text is a
// path in the given coding.
void showWarning(const char* caption, const char* text, PathCoding coding);

} // namespace platform
} // namespace kavri

#endif
