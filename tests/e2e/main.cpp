#include <cstdio>
#include <exception>

#include <gtest/gtest.h>

#include "HostTest.h"

namespace {

hostkit::PluginInstance* plugin = nullptr;

} // namespace

hostkit::PluginInstance& e2e::loadedPlugin()
{
    return *plugin;
}

// usage: e2e_tests [gtest options] PLUGIN_LIBRARY
// Loads a private copy of the plug-in once and runs every test against it.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: e2e_tests [gtest options] PLUGIN_LIBRARY\n");
        return 2;
    }
    try {
        hostkit::PluginInstance instance;
        std::string error;
        if (!instance.openCopy(argv[1], error)) {
            std::fprintf(stderr, "e2e_tests: %s\n", error.c_str());
            return 1;
        }
        if (!hostkit::WarningCapture(instance.module()).active()) {
            std::fprintf(stderr, "e2e_tests: the plug-in's warnings cannot be caught\n");
            return 1;
        }
        plugin = &instance;
        return RUN_ALL_TESTS();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "e2e_tests: %s\n", error.what());
        return 1;
    }
}
