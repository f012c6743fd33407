#ifndef KAVRI_LOGRECORDS_H
#define KAVRI_LOGRECORDS_H

// The log records the converter sends through IHost::log: the source-file
// identifier and line number of each. Hosts may filter on them, so they
// never change; the plug-in and its tests share this one list.
namespace kavri {
namespace logline {

constexpr const char* kConfigSource = "wiredClsTab\\KavriConfig";
constexpr const char* kWiredSource = "wiredClsTab\\KavriWired";

constexpr int kModulePathNull = 17;  // "Module path is null!"
constexpr int kModulePathError = 29; // "Module path is error!"
constexpr int kTableSet = 92;        // "Table is set.", the table name
constexpr int kTableNotFound = 93;   // "Table is not found.", the table name
constexpr int kLinkSet = 102;        // "Wired is set.", the class
constexpr int kLinkFailed = 103;     // the class, the table

} // namespace logline
} // namespace kavri

#endif
