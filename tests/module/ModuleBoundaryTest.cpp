// The module as the host sees it: the exported record, getPlugin and deleteMe.

#include <gtest/gtest.h>

#include <cstring>

#include "PluginHarness.h"

namespace QuorvelTest {
namespace {

using Tarvik::Plugin::PluginExportRecord;

TEST(ModuleBoundary, ExportRecordHoldsTheContractValues) {
    PluginHarness harness;
    const PluginExportRecord& record = harness.module.record();
    EXPECT_EQ(record.apiVersion, 95);
    EXPECT_STREQ(record.className, "QuorvelPlugin");
    EXPECT_STREQ(record.displayName, "Quorvel Plugin");
    EXPECT_STREQ(record.version, QUORVEL_VERSION);  // the project's, from CMake
    EXPECT_EQ(record.pluginType, 0);
    EXPECT_NE(std::strstr(record.sourceFile, "QuorvelPlugin"), nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(record.getPlugin), harness.module.symbol("getPlugin"));
    EXPECT_EQ(reinterpret_cast<void*>(record.deleteMe), harness.module.symbol("deleteMe"));

    // The bytes after each 32-bit field are zero on the wire.
    unsigned char bytes[64];
    std::memcpy(bytes, &record, sizeof bytes);
    for (int offset : {4, 5, 6, 7, 44, 45, 46, 47}) {
        EXPECT_EQ(bytes[offset], 0) << "byte " << offset;
    }
}

TEST(ModuleBoundary, ExportsOnlyTheEntryPointsUndecorated) {
    PluginHarness harness;
    for (const char* name : {"exports", "getPlugin", "deleteMe"}) {
        EXPECT_NE(harness.module.symbol(name), nullptr) << name;
    }
    for (const char* hidden : {"pluginInstance", "tick", "_ZN13QuorvelPlugin4tickEv"}) {
        EXPECT_EQ(harness.module.symbol(hidden), nullptr) << hidden;
    }
}

TEST(ModuleBoundary, GetPluginTwiceGivesTheSameInstance) {
    PluginHarness harness;
    const auto getPlugin = harness.module.record().getPlugin;
    std::shared_ptr<Tarvik::Plugin::TarvikPlugin>* first = getPlugin();
    Tarvik::Plugin::TarvikPlugin* object = first->get();
    std::shared_ptr<Tarvik::Plugin::TarvikPlugin>* second = getPlugin();
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->get(), object);
    EXPECT_EQ(first->use_count(), 1);
}

TEST(ModuleBoundary, DeleteMeBeforeAndAfterIsHarmlessAndGivesAFreshObject) {
    PluginHarness harness;
    harness.deleteMe();
    harness.deleteMe();
    harness.load();
    harness.enterMatch();
    harness.plugin().serverIp = "10.0.0.1";
    std::weak_ptr<Tarvik::Plugin::TarvikPlugin> old = *harness.module.record().getPlugin();

    harness.deleteMe();
    EXPECT_TRUE(old.expired());
    EXPECT_FALSE(*harness.module.record().getPlugin() == nullptr);
    harness.create();
    const QuorvelPlugin& fresh = harness.plugin();
    EXPECT_FALSE(fresh.hasPendingRows);
    EXPECT_TRUE(fresh.userId.empty());
    EXPECT_TRUE(fresh.pendingRows.empty());
    EXPECT_TRUE(fresh.serverIp.empty());
    EXPECT_TRUE(fresh.serverPort.empty());
}

TEST(ModuleBoundary, HostCopyKeepsTheObjectAliveBesideANewOne) {
    PluginHarness harness;
    harness.load();
    std::shared_ptr<Tarvik::Plugin::TarvikPlugin> hostCopy = *harness.module.record().getPlugin();
    harness.deleteMe();
    EXPECT_EQ(hostCopy.use_count(), 1);
    EXPECT_EQ(hostCopy->game, harness.host.gameWrapper());
    EXPECT_NE(harness.module.record().getPlugin()->get(), hostCopy.get());
}

}  // namespace
}  // namespace QuorvelTest
