#ifndef WIREDHOST_MODEL_TARARCHIVE_H
#define WIREDHOST_MODEL_TARARCHIVE_H

#include <string>

namespace wiredhost {

// A tar archive in memory, as Umbrello's compressed models are (.xmi.tgz:
// a tar holding the .xmi, in gzip): finds an entry by its name's suffix.
class TarArchive {
public:
    static bool isTar(const std::string& data);

    // The first regular file whose name ends with suffix (without case);
    // false when there is none. names lists every entry, for messages.
    static bool find(const std::string& data, const std::string& suffix, std::string& name, std::string& content,
                     std::string& names);
};

} // namespace wiredhost

#endif
