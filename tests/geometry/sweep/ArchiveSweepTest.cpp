// Archives of every registered class: a round trip with each options mask, the committed
// golden archives (written by ostrel-write-golden-archives; a change of the wire format
// fails here), and damaged copies of the golden archives, which must fail cleanly.
#include <filesystem>
#include <fstream>
#include <set>

#include <gtest/gtest.h>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/ITool.h>
#include <Ostrel/Vision/ToolPin.h>

#include "common/LargestAllocation.h"
#include "common/ToolTestSupport.h"
#include "geometry/sweep/Samples.h"

namespace {

using namespace Ostrel;
using namespace Ostrel::Vision;
using Sweep::Description;

// Checks an object loaded from an archive written with `options` against the sample it was
// written from: the same class and values, except that a tool without the last-run option
// has no results (those getters throw) and without the image option no input image. A
// loaded tool then runs over the sample image to the sample's values and follows its live
// graphics as a new tool does.
void ExpectLoadedAsSaved(const std::shared_ptr<Quill::IObject>& loaded, const std::string& name,
                         std::uint32_t options)
{
    SCOPED_TRACE(Sweep::GoldenArchiveName(name, options));
    ASSERT_TRUE(loaded);
    ASSERT_EQ(rttr::type::get(*loaded).get_name().to_string(), name);
    const auto sample = Sweep::MakeSample(name);
    const Description expected = Sweep::Describe(sample), actual = Sweep::Describe(loaded);
    const auto tool = std::dynamic_pointer_cast<ITool>(loaded);
    std::size_t withoutResult = 0;
    for (const auto& [path, field] : expected) {
        const auto found = actual.find(path);
        const bool image = path.starts_with("InputImage") || path.starts_with("pin InputImage");
        if (tool && image && !(options & ArchiveOptions::InputImages)) {
            EXPECT_TRUE(path.find('.') != std::string::npos ||
                        (found != actual.end() && found->second.text == "null"))
                << path;
        } else if (found == actual.end() || !Sweep::SameValue(field, found->second)) {
            // A result that is not there: its getter throws or gives null, and what it held is gone.
            const bool noResult = found == actual.end() || found->second.text.starts_with("throws") ||
                                  found->second.text == "null";
            EXPECT_TRUE(tool && noResult && !(options & ArchiveOptions::LastRunResults))
                << path << ": " << field.text << " saved, "
                << (found == actual.end() ? "nothing" : found->second.text) << " loaded";
            withoutResult += noResult;
        }
    }
    EXPECT_EQ(withoutResult > 0, tool && !(options & ArchiveOptions::LastRunResults));
    if (!tool)
        return;
    rttr::type::get(*loaded)
        .get_property("InputImage")
        .set_value(rttr::instance(*loaded), std::static_pointer_cast<IImage>(Sweep::SampleImage()));
    RunOk(*tool);
    const auto reran = Sweep::Describe(loaded);
    for (const auto& [path, field] : Sweep::Describe(Sweep::MakeSample(name)))
        EXPECT_TRUE(reran.contains(path) && Sweep::SameValue(field, reran.at(path)))
            << "after a run: " << path;
    EXPECT_EQ(Sweep::DragFirstLiveGraphic(loaded), Sweep::DragFirstLiveGraphic(Sweep::MakeSample(name)));
}

TEST(ArchiveSweep, EveryClassRoundTripsWithEveryOption)
{
    for (const auto& name : Sweep::RegisteredClasses())
        for (const auto options : Sweep::AllOptions)
            ExpectLoadedAsSaved(
                LoadFromString<Quill::IObject>(SaveToString(Sweep::MakeSample(name), options)), name,
                options);
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::filesystem::path GoldenDirectory = OSTREL_GOLDEN_ARCHIVES;

// The golden set: every registered class with every option, and nothing else.
std::vector<std::pair<std::string, std::uint32_t>> GoldenSet()
{
    std::vector<std::pair<std::string, std::uint32_t>> set;
    for (const auto& name : Sweep::RegisteredClasses())
        for (const auto options : Sweep::AllOptions)
            set.emplace_back(name, options);
    return set;
}

TEST(ArchiveSweep, GoldenArchivesLoadToTheirSamplesAndSaveToTheSameBytes)
{
    std::set<std::string> expected, committed;
    for (const auto& entry : std::filesystem::directory_iterator(GoldenDirectory))
        committed.insert(entry.path().filename().string());
    for (const auto& [name, options] : GoldenSet()) {
        const std::string file = Sweep::GoldenArchiveName(name, options);
        expected.insert(file);
        const std::string bytes = ReadFile(GoldenDirectory / file);
        EXPECT_FALSE(bytes.empty()) << file << " is missing: run ostrel-write-golden-archives";
        std::shared_ptr<Quill::IObject> loaded;
        EXPECT_NO_THROW(loaded = LoadFromString<Quill::IObject>(bytes)) << file;
        if (!loaded)
            continue;
        // Saved again, the same bytes; except where images are kept, whose loaded space trees
        // no longer share their transforms with one another and write each their own.
        if (!std::dynamic_pointer_cast<ITool>(loaded) || options == 0) {
            EXPECT_EQ(SaveToString(loaded, options), bytes) << file;
        }
        ExpectLoadedAsSaved(loaded, name, options);
    }
    EXPECT_EQ(committed, expected);
}

// What a damaged archive gives: "loaded", or the exception's class.
std::string LoadOutcome(const std::string& bytes)
{
    try {
        LoadFromString<Quill::IObject>(bytes);
        return "loaded";
    } catch (const SerializationException& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return std::string("not a SerializationException: ") + e.what();
    }
}

TEST(ArchiveSweep, DamagedGoldenArchivesFailCleanly)
{
    const std::string maxLength(8, '\xFF');
    TestMemory::LargestAllocation = 0;
    for (const auto& [name, options] : GoldenSet()) {
        const std::string file = Sweep::GoldenArchiveName(name, options);
        const std::string bytes = ReadFile(GoldenDirectory / file);
        ASSERT_FALSE(bytes.empty()) << file;
        for (std::size_t length = 0; length < std::min<std::size_t>(bytes.size(), 257); ++length) {
            const auto outcome = LoadOutcome(bytes.substr(0, length));
            EXPECT_TRUE(outcome != "loaded" && !outcome.starts_with("not a"))
                << file << " cut to " << length << ": " << outcome;
        }
        // One byte flipped, at a stride through the whole archive.
        for (std::size_t at = options % 11; at < bytes.size(); at += 11) {
            std::string flipped = bytes;
            flipped[at] = static_cast<char>(~flipped[at]);
            EXPECT_FALSE(LoadOutcome(flipped).starts_with("not a")) << file << " flipped at " << at;
        }
        // Every length (of a string, a type name, a container) set to the largest there is.
        // A length is 8 bytes that count no more than the bytes after them; those that the
        // reader took for a length say so in the failure, at least one per type name.
        if (options != 0x101)
            continue;
        std::size_t lengths = 0, names = 0;
        for (std::size_t at = 0; at + 8 <= bytes.size(); ++at) {
            std::uint64_t value = 0;
            for (int i = 7; i >= 0; --i)
                value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
            names += bytes.compare(at, 8, "Ostrel::") == 0;
            if (value > bytes.size() - at - 8)
                continue;
            std::string damaged = bytes;
            damaged.replace(at, 8, maxLength);
            const auto outcome = LoadOutcome(damaged);
            EXPECT_FALSE(outcome.starts_with("not a")) << file << " at " << at << ": " << outcome;
            lengths += outcome.find("A length of 18446744073709551615 was read") != std::string::npos;
        }
        EXPECT_GE(lengths, names) << file;
    }
    EXPECT_LE(TestMemory::LargestAllocation.load(), std::size_t{64} << 20);
}

} // namespace
