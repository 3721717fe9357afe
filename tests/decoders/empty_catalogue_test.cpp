// A host folder without a decoder folder: the catalogue exists and is empty.
#include "decoders/decoder_catalogue.h"

#include <gtest/gtest.h>

namespace {

TEST(EmptyDecoderCatalogue, EveryQueryFindsNothing) {
    const DecoderCatalogue* catalogue = GetDecoderCatalogue();
    ASSERT_NE(catalogue, nullptr);
    EXPECT_EQ(catalogue->decoders.count, 0);
    EXPECT_EQ(catalogue->formats.count, 0);
    EXPECT_EQ(FindDecoderForExtension(".mp3"), nullptr);
    EXPECT_FALSE(IsExtensionSupported(".mp3"));
    char list[16] = "keep";
    BuildExtensionWildcardList(list, sizeof list);
    EXPECT_STREQ(list, "keep");
    char filter[16] = "keep";
    BuildFileDialogFilter(filter, sizeof filter);
    EXPECT_STREQ(filter, "keep");
}

}  // namespace
