#ifndef WIREDCLSTAB_PLATFORM_H
#define WIREDCLSTAB_PLATFORM_H

#include <cstddef>

#include <tinyxml2.h>

// Every operating-system call the plug-in makes, one implementation per
// platform (Win32Platform.cpp, PosixPlatform.cpp).
namespace kavri {
namespace platform {

// Size of the buffer that holds the configuration path.
std::size_t pathCapacity();

// The byte that separates directories in a module path.
char pathSeparator();

// Writes the full path of the plug-in's own file into buffer. The result is
// the length written, or size or more when the path did not fit.
std::size_t moduleFileName(char* buffer, std::size_t size);

// Appends name to the path in buffer; the caller has made sure it fits.
void appendFileName(char* buffer, std::size_t size, const char* name);

bool fileExists(const char* path);

// Loads the document from path. A path that names something that cannot be
// read as a file gives XML_ERROR_FILE_NOT_FOUND.
tinyxml2::XMLError loadXmlFile(tinyxml2::XMLDocument& document, const char* path);

// Shows a warning to the user and waits until it is dismissed.
void showWarning(const char* caption, const char* text);

} // namespace platform
} // namespace kavri

#endif
