// The catalogue when memory runs out, at each of its allocations in turn:
// no decoder library stays loaded without a record, no record is lost, and a
// catalogue that could not be allocated at all is tried again at the next
// lookup. The decoder folder holds the recording decoder (nine formats, so
// the format list grows twice) and one without formats.
#include "decoders/decoder_catalogue.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/failing_allocation.h"
#include "tests/support/program_folder.h"

namespace {

const char* const kDecoderNames[] = {"Recording.dll", "NoFormats.dll"};

int LoadedDecoders() {
    int loaded = 0;
    for (const char* name : kDecoderNames) loaded += GetModuleHandleA(name) != nullptr;
    return loaded;
}

// Needs a process whose catalogue was not built yet, so it comes first.
TEST(CatalogueOutOfMemory, EachFailedAllocationLeavesNoLibraryNorRecordBehind) {
    ASSERT_EQ(LoadedDecoders(), 0);
    const std::string folder = OwnFolderUpperCased() + "Multiplayer\\Input";
    for (long failing = 1; failing < 100; ++failing) {
        SCOPED_TRACE("allocation " + std::to_string(failing) + " fails");
        const long liveBefore = LiveBlocks();
        bool failed = false;
        {
            DecoderCatalogue catalogue;
            FailAllocationAfter(failing);
            LoadDecoderFolder(catalogue, folder.c_str());
            failed = AllocationFailed();
            FailAllocationAfter(0);
            EXPECT_EQ(LoadedDecoders(), catalogue.decoders.count) << "loaded iff listed";
            if (!failed) {
                EXPECT_EQ(catalogue.decoders.count, 2);
            }
            DestroyDecoderCatalogue(catalogue);
        }
        EXPECT_EQ(LoadedDecoders(), 0);
        EXPECT_EQ(LiveBlocks(), liveBefore) << "every record freed";
        if (!failed) return;
    }
    FAIL() << "the catalogue never finished without a failure";
}

TEST(CatalogueOutOfMemory, ACatalogueThatCouldNotBeAllocatedIsTriedAgain) {
    FailAllocationAfter(1);
    EXPECT_EQ(GetDecoderCatalogue(), nullptr);
    EXPECT_TRUE(AllocationFailed());
    FailAllocationAfter(0);
    const DecoderCatalogue* catalogue = GetDecoderCatalogue();
    ASSERT_NE(catalogue, nullptr);
    EXPECT_EQ(catalogue->decoders.count, 2);
    EXPECT_NE(FindDecoderForExtension(".low"), nullptr);
    EXPECT_EQ(GetDecoderCatalogue(), catalogue) << "built once";
}

}  // namespace
