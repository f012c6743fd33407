// Arbitrary bytes as the config.xml that "wired-host check" reads, for a
// host in UTF-8 and one in code page 936 (the first byte chooses). Whatever
// the file: it is checked or refused with a reason, the exit code agrees
// with what was found, both reports are written, the JSON one valid UTF-8,
// and the codes it lists are those of entries that take effect.
#include <cstdint>
#include <sstream>
#include <string>

#include "ConfigChecker.h"
#include "FuzzCheck.h"
#include "FuzzScratch.h"
#include "model/Encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string configPath = fuzzkit::writeScratchFile("config.xml", data + 1, size - 1);

    wiredhost::ConfigChecker checker;
    checker.hostCodePage = (data[0] & 1) != 0 ? "windows-936" : "UTF-8";
    checker.check(configPath);
    if (!checker.unchecked.empty()) {
        // A limit of the XML reader: said with the file's name.
        FUZZ_CHECK(checker.unchecked.find(configPath) != std::string::npos);
        return 0;
    }
    const int code = checker.exitCode();
    FUZZ_CHECK(code >= 0 && code <= 2);
    FUZZ_CHECK((code == 2) == checker.rejected);
    if (checker.rejected)
        FUZZ_CHECK(!checker.rejection.empty() && !checker.warningCaption.empty());
    std::size_t effective = 0;
    for (const wiredhost::Finding& finding : checker.findings) {
        FUZZ_CHECK(!finding.what.empty());
        effective += finding.effective ? 1 : 0;
    }
    FUZZ_CHECK(checker.packageCodes.size() + checker.leaderCodes.size() + checker.links.size() <= effective);

    std::ostringstream text, json;
    checker.write(text);
    checker.writeJson(json);
    FUZZ_CHECK(!text.str().empty());
    FUZZ_CHECK(wiredhost::encoding::isValidUtf8(json.str()));
    FUZZ_CHECK(json.str().front() == '{');
    return 0;
}
