// The exports as the host calls them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "tests/plugin/plugin_session.h"

namespace {

class PluginExports : public LoadedPluginFixture {
protected:
    void SetUp() override { LoadPluginNow(); }
};

TEST_F(PluginExports, ConversionObjectsAlwaysReportZero) {
    std::int32_t status = -1;
    void* object = plugin_.createNewCompressionObject("C:\\Music\\Untitled.mp3", &status, 7);
    EXPECT_NE(object, nullptr);
    EXPECT_EQ(status, 0);
    std::int32_t blockStatus = -1;
    plugin_.aNewDataBlockArrived(object, 1, 2, 3, &blockStatus);
    EXPECT_EQ(blockStatus, 0);
    plugin_.deleteCompressionObject(object);
    plugin_.deleteCompressionObject(nullptr);
}

TEST_F(PluginExports, NullPointersFromTheHostAreNotWrittenThrough) {
    void* object = plugin_.createNewCompressionObject("C:\\A-B.mp3", nullptr, 0);
    EXPECT_NE(object, nullptr);
    plugin_.aNewDataBlockArrived(object, 0, 0, 0, nullptr);
    plugin_.deleteCompressionObject(object);
    object = plugin_.createNewCompressionObject(nullptr, nullptr, 0);
    EXPECT_NE(object, nullptr);
    plugin_.deleteCompressionObject(object);
}

TEST_F(PluginExports, OverlongAndOddPathsAreHarmless) {
    for (const std::string& path :
         {std::string(259, 'a'), std::string(260, 'b'), std::string(1000, 'c') + ".mp3",
          std::string("C:"), std::string(".mp3"), std::string("C:\\\x80\xe9\xff-\x9f.mp3")}) {
        std::int32_t status = -1;
        void* object = plugin_.createNewCompressionObject(path.c_str(), &status, 0);
        EXPECT_NE(object, nullptr);
        EXPECT_EQ(status, 0);
        plugin_.deleteCompressionObject(object);
    }
}

TEST_F(PluginExports, ExtensionIsExactlyEightBytes) {
    char buffer[16];
    std::memset(buffer, 0x5A, sizeof buffer);
    plugin_.getExtensionYouCreate(buffer);
    EXPECT_EQ(std::memcmp(buffer, ".IGNORE\0", 8), 0);
    for (int i = 8; i < 16; ++i) EXPECT_EQ(buffer[i], 0x5A) << i;
}

TEST_F(PluginExports, AnswersAndNoOps) {
    EXPECT_TRUE(plugin_.sendRawUnCompressedFiles());
    EXPECT_TRUE(plugin_.sendRawUnCompressedFiles());
    plugin_.removeConfigBit();
    plugin_.disableJustOrigFolder();
    plugin_.disableConvFolderTo();
}

}  // namespace
