#ifndef WIREDCLSTAB_E2E_HOSTTEST_H
#define WIREDCLSTAB_E2E_HOSTTEST_H

#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PluginInstance.h"
#include "RecordingHost.h"

namespace e2e {

using hostkit::Creation;
using Warnings = std::vector<hostkit::Warning>;

// The private copy of the plug-in that main() loads for the whole run.
hostkit::PluginInstance& loadedPlugin();

// A host with its own recording service object, creating converters from
// the loaded plug-in.
class HostTest : public ::testing::Test {
protected:
    // A configuration with no entries: both code lists stay empty.
    static constexpr const char* kEmptyConfig = "<Wired/>";

    // Writes config.xml, creates a converter and expects that no warning
    // was shown while creating it.
    kavri::IConvert* converterFor(const std::string& config)
    {
        plugin.writeConfig(config);
        Creation created = plugin.create(host);
        EXPECT_EQ(Warnings{}, created.warnings);
        if (created.converter == nullptr)
            throw std::runtime_error("registConvert gave no converter");
        return created.converter;
    }

    // A Wired root with these Package codes followed by these Leader codes.
    static std::string configWith(const std::vector<std::string>& packages, const std::vector<std::string>& leaders)
    {
        std::string config = "<Wired>";
        for (const std::string& code : packages)
            config += "<Package code=\"" + code + "\"/>";
        for (const std::string& code : leaders)
            config += "<Leader code=\"" + code + "\"/>";
        return config + "</Wired>";
    }

    void TearDown() override { plugin.removeConfig(); }

    hostkit::PluginInstance& plugin = loadedPlugin();
    kavri_test::RecordingHost host;
};

} // namespace e2e

#endif
