// The whole job through the exports, with a recording decoder plugin in the
// host's decoder folder: what is written, when the pattern changes, and with
// many conversion threads and an edit on the page at the same time.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tagging/pattern_fit.h"
#include "tagging/tag_pattern_matcher.h"
#include "plugin/tag_pattern_setting.h"
#include "tagging/tag_values.h"
#include "tests/plugin/page_driver.h"
#include "tests/plugin/plugin_session.h"
#include "tests/util/scratch_folder.h"

namespace {

// The "field=value" writes the recording decoder saw for one source path.
std::vector<std::string> RecordedWrites(const std::string& path) {
    std::ifstream log(path + ".calls", std::ios::binary);
    std::vector<std::string> writes;
    for (std::string line; std::getline(log, line);) {
        const std::size_t field = line.find('|');
        const std::size_t value = line.find('|', field + 1);
        EXPECT_EQ(line.substr(0, field), path) << "the full source path is passed";
        writes.push_back(line.substr(field + 1, value - field - 1) + "=" +
                         line.substr(value + 1));
    }
    return writes;
}

class PluginTagging : public LoadedPluginFixture {
protected:
    void TearDown() override {
        if (parent_) DestroyWindow(parent_);
        LoadedPluginFixture::TearDown();
        ForgetStoredPattern();
    }
    void Convert(const std::string& path) {
        std::int32_t status = -1;
        void* object = plugin_.createNewCompressionObject(path.c_str(), &status, 0);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(status, 0);
        plugin_.deleteCompressionObject(object);
    }
    HWND OpenPage() {
        parent_ = CreateParentWindow(500, 300);
        return ShowPage(plugin_, parent_);
    }

    ScratchFolder scratch_;
    HWND parent_ = nullptr;
};

TEST_F(PluginTagging, WritesThroughTheDecoderOfTheExtension) {
    StorePattern("[artist]\\[album] ([year])\\[track number] - [track]");
    LoadPluginNow();
    CreateDirectoryA(scratch_.Path("Band").c_str(), nullptr);
    CreateDirectoryA(scratch_.Path("Band\\Best Of (98)").c_str(), nullptr);
    const std::string path = scratch_.Path("Band\\Best Of (98)\\07 - A Song.low");
    Convert(path);
    EXPECT_EQ(RecordedWrites(path),
              (std::vector<std::string>{"Artist=Band", "Album=Best Of", "Title=A Song",
                                        "Year=1998", "Track=7"}));
    const std::string upper = scratch_.Path("Band\\Best Of (98)\\08 - Song.ABC");
    Convert(upper);
    EXPECT_EQ(RecordedWrites(upper).size(), 5u) << "extensions compare ignoring case";
    const std::string unknown = scratch_.Path("Band\\Best Of (98)\\09 - Song.nope");
    Convert(unknown);
    EXPECT_TRUE(RecordedWrites(unknown).empty());
}

// Fallback patterns and only-when-fits, stored beside the pattern and read
// when the plugin loads: each file is tagged by the first pattern that fits
// its path; a misfit by the pattern itself, or not at all.
class PluginFallbacks : public PluginTagging {
protected:
    void TearDown() override {
        for (const char* n : {"2", "3", "4"}) {
            DeleteRegistryValue((std::string(kPatternValue) + "." + n).c_str(), HKEY_CURRENT_USER,
                                kSettingsKey);
        }
        DeleteRegistryValue(kOnlyWhenFits, HKEY_CURRENT_USER, kSettingsKey);
        DeleteRegistryValue("KestraTagFromFilename.Changes", HKEY_CURRENT_USER, kSettingsKey);
        PluginTagging::TearDown();
    }
    void StoreFallback(int n, const char* pattern) {
        WriteRegistryString(pattern, (std::string(kPatternValue) + "." + std::to_string(n)).c_str(),
                            HKEY_CURRENT_USER, kSettingsKey);
    }
    // Tags one file below the scratch folder and answers its writes.
    std::vector<std::string> Tag(const std::string& relative) {
        const std::string path = scratch_.Path(relative.c_str());
        for (std::size_t at = path.find('\\', scratch_.Path("").size()); at != std::string::npos;
             at = path.find('\\', at + 1)) {
            CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
        }
        Convert(path);
        return RecordedWrites(path);
    }
    static constexpr char kOnlyWhenFits[] = "KestraTagFromFilename.OnlyWhenFits";
    using Writes = std::vector<std::string>;
};

// What the plugin writes for a path with one pattern, and whether that
// pattern fits it, by the matcher and the rule themselves.
std::vector<std::string> WritesOf(const char* pattern, const std::string& path) {
    TagFields values = Match(pattern, path.c_str());
    NormaliseTagFields(values);
    const TagWritePlan plan = PlanTagWrites(values);
    std::vector<std::string> writes;
    for (std::size_t i = 0; i < plan.count; ++i) {
        writes.push_back(std::string(plan.writes[i].fieldName) + "=" + plan.writes[i].value.CStr());
    }
    return writes;
}

bool Fits(const char* pattern, const std::string& path) {
    TagFields values;
    return PathFits(pattern, path.c_str(), values);
}

TEST_F(PluginFallbacks, TheFirstPatternThatFitsTagsAndAMisfitIsTaggedAsTodayOrNotAtAll) {
    const char stored[] = "[artist]\\[album]\\[track number] - [track]";
    const char fallback[] = "[artist] - [track]";
    StorePattern(stored);
    StoreFallback(2, fallback);
    StoreFallback(3, "");  // ends the list: the next one is never read
    StoreFallback(4, "[track]");
    LoadPluginNow();

    const std::string both = scratch_.Path("Band\\Album\\07 - Song.low");
    ASSERT_TRUE(Fits(stored, both));
    EXPECT_EQ(Tag("Band\\Album\\07 - Song.low"), WritesOf(stored, both));

    const std::string fallbackOnly = scratch_.Path("Loose\\Kestrel - Night.low");
    ASSERT_FALSE(Fits(stored, fallbackOnly));
    ASSERT_TRUE(Fits(fallback, fallbackOnly));
    EXPECT_EQ(Tag("Loose\\Kestrel - Night.low"), (Writes{"Artist=Kestrel", "Title=Night"}));

    const std::string neither = scratch_.Path("Band\\Album\\Song.low");
    ASSERT_FALSE(Fits(stored, neither) || Fits(fallback, neither));
    EXPECT_EQ(Tag("Band\\Album\\Song.low"), WritesOf(stored, neither))
        << "the pattern's own values, as without fallbacks, not the unread [track]";
}

TEST_F(PluginFallbacks, OnlyWhenFitsLeavesAMisfitUntouched) {
    StorePattern("[artist] - [track]");
    WriteRegistryDword(1, kOnlyWhenFits, HKEY_CURRENT_USER, kSettingsKey);
    LoadPluginNow();
    EXPECT_EQ(Tag("Kestrel - Night.low"), (Writes{"Artist=Kestrel", "Title=Night"}));
    EXPECT_TRUE(Tag("Folder - Name\\cover.low").empty()) << "a title across folders";
    EXPECT_TRUE(Tag("cover.low").empty());
}

// A thread the host starts after loading the plugin: its attach reads the
// stored set again.
void StartAndJoinAThread() { std::thread([] {}).join(); }

TEST_F(PluginFallbacks, AThreadStartedLaterReadsFallbacksAndOnlyWhenFitsAgain) {
    const char stored[] = "[artist]\\[album]\\[track number] - [track]";
    StorePattern(stored);
    LoadPluginNow();
    const std::string fallbackOnly = scratch_.Path("Loose\\Kestrel - Night.low");
    ASSERT_FALSE(Fits(stored, fallbackOnly));
    EXPECT_EQ(Tag("Loose\\Kestrel - Night.low"), WritesOf(stored, fallbackOnly));

    StoreFallback(2, "[artist] - [track]");
    StartAndJoinAThread();
    EXPECT_EQ(Tag("Loose\\Kestrel - Dawn.low"), (Writes{"Artist=Kestrel", "Title=Dawn"}));

    WriteRegistryDword(1, kOnlyWhenFits, HKEY_CURRENT_USER, kSettingsKey);
    StartAndJoinAThread();
    EXPECT_TRUE(Tag("Loose\\Neither.low").empty());
}

// "Move up" on the preview window stores several values in a row; between
// them the stored list holds one fallback twice and the other not at all.
TEST_F(PluginFallbacks, AThreadStartingDuringAChangeOfTheStoredSetKeepsTheSetInForce) {
    const char artistFirst[] = "[artist] - [track]";
    const char genreFirst[] = "[genre] - [track]";
    StorePattern("[artist]\\[album]\\[track number] - [track]");
    StoreFallback(2, artistFirst);
    StoreFallback(3, genreFirst);
    LoadPluginNow();
    const auto tagged = [&](const char* name) {
        const std::string relative = std::string("Loose\\") + name + " - Night.low";
        return std::make_pair(Tag(relative), scratch_.Path(relative.c_str()));
    };
    {
        const StoredPatternSetChange moveUp;
        StoreFallback(2, genreFirst);
        StartAndJoinAThread();
        const auto [writes, path] = tagged("Kestrel");
        EXPECT_EQ(writes, WritesOf(artistFirst, path)) << "the set from before the change";
        StoreFallback(3, artistFirst);
    }
    StartAndJoinAThread();
    const auto [writes, path] = tagged("Jazz");
    EXPECT_EQ(writes, WritesOf(genreFirst, path)) << "the changed set, once whole";
}

// The page stores every keystroke; a thread starting meanwhile reads the
// stored text, perhaps from before the last keystroke, and must not put it
// over what was typed since.
TEST_F(PluginTagging, EditsOnThePageRacingThreadStartsLeaveTheTypedPatternInForce) {
    ForgetStoredPattern();
    LoadPluginNow();
    HWND page = OpenPage();
    ASSERT_NE(page, nullptr);
    int stale = 0;
    for (int trial = 0; trial < 200; ++trial) {
        std::atomic<bool> typing{true};
        std::thread starter([&] {
            while (typing) StartAndJoinAThread();
        });
        SetEditText(page, "");
        Type(page, "[genre]-[track]");
        typing = false;
        starter.join();
        const std::string path = scratch_.Path(("Jazz-Tune " + std::to_string(trial) + ".low").c_str());
        Convert(path);
        stale += RecordedWrites(path) != WritesOf("[genre]-[track]", path);
    }
    EXPECT_EQ(stale, 0) << "trials of 200 that tagged with a pattern other than the typed one";
}

// Clearing the box stores an empty value and stops tagging for the threads
// already running; a thread started later reads the empty value and puts the
// default back, as stored settings and the page expect.
TEST_F(PluginTagging, ClearingThePatternStopsTaggingUntilANewThreadPutsTheDefaultBack) {
    StorePattern("[genre]-[track]");
    LoadPluginNow();
    HWND page = OpenPage();
    ASSERT_NE(page, nullptr);
    SetEditText(page, "");
    ASSERT_EQ(StoredPattern(), "");
    const std::string untouched = scratch_.Path("Jazz-Tune.low");
    Convert(untouched);
    EXPECT_TRUE(RecordedWrites(untouched).empty());

    std::vector<std::string> writes;
    std::thread([&] {
        const std::string path = scratch_.Path("Kestrel-Night.low");
        Convert(path);
        writes = RecordedWrites(path);
    }).join();
    EXPECT_EQ(writes, (std::vector<std::string>{"Artist=Kestrel", "Title=Night"}))
        << "the default [artist]-[track], on the new thread";
    const std::string later = scratch_.Path("Kestrel-Dawn.low");
    Convert(later);
    EXPECT_EQ(RecordedWrites(later), (std::vector<std::string>{"Artist=Kestrel", "Title=Dawn"}))
        << "and on every thread after it";
    EXPECT_EQ(StoredPattern(), "") << "the stored value stays empty";
}

TEST_F(PluginTagging, AnEditOnThePageTakesEffectForTheNextObject) {
    ForgetStoredPattern();
    LoadPluginNow();
    HWND page = OpenPage();
    ASSERT_NE(page, nullptr);
    SetEditText(page, "");
    Type(page, "[genre]-[track]");
    const std::string path = scratch_.Path("Jazz-Tune.low");
    Convert(path);
    EXPECT_EQ(RecordedWrites(path), (std::vector<std::string>{"Title=Tune", "Genre=Jazz"}));

    SetEditText(page, "");
    const std::string untouched = scratch_.Path("Jazz-Other.low");
    Convert(untouched);
    EXPECT_TRUE(RecordedWrites(untouched).empty()) << "an empty pattern tags nothing";
}

TEST_F(PluginTagging, LongAndOddPaths) {
    StorePattern("[artist]-[track]");
    LoadPluginNow();
    // 259 characters are matched; longer paths are left alone.
    const std::string folder = scratch_.Path("");
    std::string name = "A-" + std::string(259 - folder.size() - 6, 't') + ".low";
    const std::string fits = folder + name;
    ASSERT_EQ(fits.size(), 259u);
    Convert(fits);
    EXPECT_EQ(RecordedWrites(fits).size(), 2u);
    const std::string tooLong = folder + "A-" + std::string(259 - folder.size() - 5, 't') + ".low";
    ASSERT_EQ(tooLong.size(), 260u);
    Convert(tooLong);
    EXPECT_TRUE(RecordedWrites(tooLong).empty());

    const std::string latin1 = scratch_.Path("Caf\xe9 \x80-\xff\x9f.low");
    Convert(latin1);
    EXPECT_EQ(RecordedWrites(latin1),
              (std::vector<std::string>{"Artist=Caf\xe9 \x80", "Title=\xff\x9f"}));
    for (const char* odd : {"C:", ".low", "C:\\", "\\.low", "-.low"}) Convert(odd);
}

TEST_F(PluginTagging, LongestPatternsOfTokensBracketsAndBackslashes) {
    const std::string pieces[] = {"[artist]", "\\", "[", "]", "[track number]", "[year]",
                                  "[album]\\", "-", " ", "[[", "]]", "[track]"};
    const std::string path = scratch_.Path("A\\B-7-1999 C.low");
    CreateDirectoryA(scratch_.Path("A").c_str(), nullptr);
    for (std::size_t shift = 0; shift < std::size(pieces); ++shift) {
        std::string pattern;
        for (std::size_t i = shift; pattern.size() < 259; ++i) {
            pattern += pieces[i % std::size(pieces)];
        }
        pattern.resize(259);
        StorePattern(pattern);
        LoadPluginNow();
        Convert(path);
        UnloadPlugin(plugin_);
    }
    // Whatever each pattern found, every write names one of the six fields.
    const std::vector<std::string> fields = {"Artist", "Album", "Title", "Genre", "Year",
                                             "Track"};
    for (const std::string& write : RecordedWrites(path)) {
        const std::string field = write.substr(0, write.find('='));
        EXPECT_NE(std::find(fields.begin(), fields.end(), field), fields.end()) << write;
    }
}

// The two patterns the editing thread switches between, and the writes each
// gives for a file X-Y.low.
constexpr const char* kPatternA = "[artist]-[track]";
constexpr const char* kPatternB = "[genre]-[album]";

bool IsWholePatternResult(const std::vector<std::string>& writes, const std::string& x,
                          const std::string& y) {
    return writes == std::vector<std::string>{"Artist=" + x, "Title=" + y} ||
           writes == std::vector<std::string>{"Album=" + y, "Genre=" + x};
}

TEST_F(PluginTagging, ManyThreadsWhileThePageIsEdited) {
    constexpr int kThreads = 8;
    constexpr int kPerThread = 1000;
    StorePattern(kPatternA);
    LoadPluginNow();

    using CountFn = std::int32_t(__cdecl*)();
    const auto catalogueBuilds = [] {
        HMODULE recording = GetModuleHandleA("Recording.dll");
        if (!recording) return 0;  // not loaded by any build yet
        const auto count = reinterpret_cast<CountFn>(
            reinterpret_cast<void*>(GetProcAddress(recording, "FirstFormatQueries")));
        return count ? count() : -1;
    };
    const int buildsBefore = catalogueBuilds();

    std::atomic<bool> converting{true};
    std::atomic<int> edits{0};
    std::thread editor([&] {
        HWND parent = CreateParentWindow(500, 300);
        HWND page = ShowPage(plugin_, parent);
        while (converting) {
            SetEditText(page, edits % 2 ? kPatternA : kPatternB);
            ++edits;
            Sleep(1);
        }
        DestroyWindow(parent);
    });
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i) {
                const std::string name = "x" + std::to_string(t) + "_" + std::to_string(i);
                std::int32_t status = -1;
                void* object = plugin_.createNewCompressionObject(
                    scratch_.Path((name + "-y.low").c_str()).c_str(), &status, 0);
                if (object == nullptr || status != 0) ADD_FAILURE() << name;
                plugin_.deleteCompressionObject(object);
            }
        });
    }
    for (std::thread& w : workers) w.join();
    converting = false;
    editor.join();
    EXPECT_GT(edits.load(), 10) << "the page was edited while converting";

    int fromA = 0, fromB = 0;
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kPerThread; ++i) {
            const std::string x = "x" + std::to_string(t) + "_" + std::to_string(i);
            const std::vector<std::string> writes =
                RecordedWrites(scratch_.Path((x + "-y.low").c_str()));
            ASSERT_TRUE(IsWholePatternResult(writes, x, "y")) << x;
            ++(writes[0][1] == 'r' ? fromA : fromB);
        }
    }
    EXPECT_EQ(fromA + fromB, kThreads * kPerThread);

    EXPECT_EQ(catalogueBuilds(), buildsBefore + 1)
        << "one catalogue build for this load of the plugin";
}

}  // namespace
