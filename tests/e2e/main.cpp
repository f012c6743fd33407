#include <cstdio>
#include <exception>

#include <gtest/gtest.h>

#include "Plugin.h"
#include "PluginLoader.h"
#include "WarningSpy.h"

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
        e2e::PluginLoader loader(argv[1]);
        e2e::WarningSpy spy(loader.module());
        e2e::Plugin plugin(loader, spy);
        return RUN_ALL_TESTS();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "e2e_tests: %s\n", error.what());
        return 1;
    }
}
