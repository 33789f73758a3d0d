// ogeo end to end: block files and images written here, the program run as a user runs it,
// its table, JSON, drawings and exit status checked.
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>

#include <cairo.h>
#include <expat.h>
#include <fmt/format.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <Ostrel/Vision/Vision.h>

#include "Overlay.h"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

struct Result {
    int status;
    std::string out, err;
};

class Ogeo : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "ogeo-test-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path Path(const std::string& name) const { return dir_ / name; }
    fs::path Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(Path(name)) << text;
        return Path(name);
    }
    static std::string Read(const fs::path& file)
    {
        std::ifstream stream(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    }
    Result Ogeo_(const std::string& arguments) const
    {
        const auto out = Path("stdout.txt"), err = Path("stderr.txt");
        const int status = std::system(
            (std::string(OGEO_EXECUTABLE) + " " + arguments + " >" + out.string() + " 2>" + err.string()).c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Read(out), Read(err)};
    }

    fs::path dir_;
};

// Two tools of known geometry, one linked to the other, in a plate space of 0.5 units per
// pixel that the image selects.
Json KnownBlock()
{
    return Json::parse(R"({
      "image": {"width": 200, "height": 100},
      "spaces": [{"name": "Plate", "scale": 0.5}],
      "selectedSpace": "Plate",
      "tools": [
        {"name": "Gap", "class": "DistancePointCircleTool",
         "properties": {"X": 10, "Y": 25, "InputCircle": {"circle": [100, 50, 20], "space": "#"}}},
        {"name": "Span", "class": "DistancePointPointTool", "properties": {"EndX": 10, "EndY": 45}}
      ],
      "links": [{"from": "Gap.CircleX", "to": "Span.StartX"}, {"from": "Gap.CircleY", "to": "Span.StartY"}]
    })");
}

// The block runs into the table and the JSON; its tools run in the order of their links,
// whatever the file's order; a tool whose linked input has no result fails with status 1.
TEST_F(Ogeo, RunsABlockOfKnownGeometryInLinkOrder)
{
    // The circle is (50, 25) radius 10 in plate units, so the point (10, 25) is 30 from it,
    // its closest point (40, 25), and (40, 25) to (10, 45) is sqrt(900 + 400).
    const auto block = Write("known.json", KnownBlock().dump());
    const auto result = Ogeo_("run " + block.string() + " --json " + Path("out.json").string());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Distance  30.000000"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("CircleX   40.000000"), std::string::npos) << result.out;
    const auto json = Json::parse(Read(Path("out.json")));
    ASSERT_EQ(json["tools"].size(), 2u);
    EXPECT_EQ(json["tools"][0]["name"], "Gap");
    EXPECT_EQ(json["tools"][1]["result"], "Accept");
    EXPECT_NEAR(json["tools"][1]["outputs"]["Distance"].get<double>(), std::sqrt(1300.0), 1e-9);
    EXPECT_NEAR(json["tools"][0]["outputs"]["CircleY"].get<double>(), 25, 1e-9);

    auto document = KnownBlock();
    std::swap(document["tools"][0], document["tools"][1]);
    const auto swapped = Ogeo_("run " + Write("swapped.json", document.dump()).string());
    ASSERT_EQ(swapped.status, 0) << swapped.err;
    EXPECT_LT(swapped.out.find("Gap "), swapped.out.find("Span "));

    document["tools"][1]["properties"]["Enabled"] = false;
    const auto disabled = Ogeo_("run " + Write("disabled.json", document.dump()).string());
    EXPECT_EQ(disabled.status, 1) << disabled.err;
    EXPECT_NE(disabled.out.find("Disabled"), std::string::npos) << disabled.out;
    EXPECT_NE(disabled.out.find("Error    not run: its input StartX comes from Gap, which has no result"),
              std::string::npos)
        << disabled.out;
}

std::array<int, 3> PixelAt(const fs::path& png, int x, int y)
{
    auto* surface = cairo_image_surface_create_from_png(png.c_str());
    EXPECT_EQ(cairo_surface_status(surface), CAIRO_STATUS_SUCCESS);
    std::uint32_t argb;
    std::memcpy(&argb, cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface) + 4 * x, 4);
    cairo_surface_destroy(surface);
    return {static_cast<int>(argb >> 16 & 0xFF), static_cast<int>(argb >> 8 & 0xFF), static_cast<int>(argb & 0xFF)};
}

TEST_F(Ogeo, DrawsTheLastRunRecordsOverTheImageInPngAndSvg)
{
    // A grey image written as a PNG, measured in a plate space of two units per pixel: the
    // distance arrow, given in plate units, must be mapped onto row 50 of the pixels.
    auto image = Ostrel::Quill::Create<Ostrel::Vision::Image8Grey>(200, 100);
    image->Fill(90);
    ::Ogeo::WritePng(Path("grey.png"), *image);
    const auto block = Write("draw.json", R"({"image": {"png": "grey.png"},
        "spaces": [{"name": "Plate", "scale": 2}], "selectedSpace": "Plate", "tools": [
        {"name": "D", "class": "DistancePointPointTool",
         "properties": {"StartX": 40, "StartY": 100, "EndX": 360, "EndY": 100,
                        "LastRunRecordDiagEnable": "InputImageByReference|Arrow"}}]})");
    const auto result = Ogeo_("run " + block.string() + " --overlay " + Path("o.png").string() + " --overlay " +
                              Path("o.svg").string());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(PixelAt(Path("o.png"), 100, 50), (std::array<int, 3>{255, 255, 0}));
    EXPECT_EQ(PixelAt(Path("o.png"), 100, 30), (std::array<int, 3>{90, 90, 90}));

    // The SVG is XML with one group per graphic, each titled; the arrow's title is its label.
    struct Count {
        int groups = 0, titles = 0;
        bool inTitle = false;
        std::string titlesText;
    } count;
    auto* parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &count);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char** attributes) {
            auto& c = *static_cast<Count*>(data);
            if (std::string(name) == "title")
                ++c.titles, c.inTitle = true;
            for (int i = 0; attributes[i]; i += 2)
                if (std::string(name) == "g" && std::string(attributes[i]) == "class")
                    ++c.groups;
        },
        [](void* data, const XML_Char*) { static_cast<Count*>(data)->inTitle = false; });
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* text, int length) {
        auto& c = *static_cast<Count*>(data);
        if (c.inTitle)
            c.titlesText.append(text, length) += "\n";
    });
    const auto svg = Read(Path("o.svg"));
    EXPECT_EQ(XML_Parse(parser, svg.data(), static_cast<int>(svg.size()), 1), XML_STATUS_OK)
        << XML_ErrorString(XML_GetErrorCode(parser));
    XML_ParserFree(parser);
    // The arrow alone: the record switches leave the point copies out.
    EXPECT_EQ(count.groups, 1);
    EXPECT_EQ(count.titles, count.groups);
    EXPECT_NE(count.titlesText.find("Distance=320.000000"), std::string::npos) << count.titlesText;
}

TEST_F(Ogeo, BadInputEndsWithStatusTwoAndAMessageNamingThePlace)
{
    std::ofstream(Path("text.png")) << "not an image";
    struct Case {
        const char* name;
        std::string block;
        std::vector<std::string> expected;
    } cases[] = {
        {"syntax", R"({"image": {"width": 10, "height": 10}, "tools": [}")", {"line 1, column", "syntax"}},
        {"missing png", R"({"image": {"png": "nowhere.png"}, "tools": []})", {"nowhere.png", "no such image"}},
        {"not a png", R"({"image": {"png": "text.png"}, "tools": []})", {"text.png", "PNG"}},
        {"class", R"({"image": {"width": 10, "height": 10}, "tools": [{"name": "A", "class": "NoSuchTool"}]})",
         {"/tools/0/class", "NoSuchTool"}},
        {"pin", R"({"image": {"width": 10, "height": 10},
           "tools": [{"name": "A", "class": "DistancePointPointTool", "properties": {"Nope": 1}}]})",
         {"/tools/0/properties/Nope", "no pin path"}},
        {"type", R"({"image": {"width": 10, "height": 10},
           "tools": [{"name": "A", "class": "DistancePointPointTool", "properties": {"StartX": "one"}}]})",
         {"/tools/0/properties/StartX", "expected a number"}},
        {"space", R"({"image": {"width": 10, "height": 10}, "selectedSpace": "Nope", "tools": []})",
         {"/selectedSpace", "Nope"}},
        {"shape space", R"({"image": {"width": 10, "height": 10}, "tools": [{"name": "A",
           "class": "DistancePointCircleTool", "properties": {"InputCircle": {"circle": [1, 2, 3], "space": "Nope"}}}]})",
         {"/tools/0/properties/InputCircle", "Nope"}},
        {"link type", R"({"image": {"width": 10, "height": 10}, "tools": [
           {"name": "A", "class": "DistancePointPointTool"}, {"name": "B", "class": "DistancePointCircleTool"}],
           "links": [{"from": "A.Distance", "to": "B.InputCircle"}]})",
         {"/links/0", "A.Distance", "B.InputCircle"}},
        {"cycle", R"({"image": {"width": 10, "height": 10}, "tools": [
           {"name": "A", "class": "DistancePointPointTool"}, {"name": "B", "class": "DistancePointPointTool"},
           {"name": "C", "class": "DistancePointPointTool"}],
           "links": [{"from": "A.Distance", "to": "B.StartX"}, {"from": "B.Distance", "to": "A.StartX"},
                     {"from": "A.Distance", "to": "C.StartX"}]})",
         {"/links", "cycle", "B -> A -> B"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto block = Write("bad.json", c.block);
        const auto result = Ogeo_("run " + block.string() + " --json " + Path("never.json").string());
        EXPECT_EQ(result.status, 2) << result.out;
        EXPECT_NE(result.err.find("bad.json"), std::string::npos) << result.err;
        for (const auto& expected : c.expected)
            EXPECT_NE(result.err.find(expected), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(Path("never.json")));
    }
    EXPECT_EQ(Ogeo_("run").status, 2);
    EXPECT_EQ(Ogeo_("frobnicate").status, 2);
}

TEST_F(Ogeo, ArchivesSaveRunInspectAndConvert)
{
    const auto block = Write("known.json", KnownBlock().dump());
    ASSERT_EQ(Ogeo_("run " + block.string() + " --json " + Path("from-json.json").string()).status, 0);
    ASSERT_EQ(Ogeo_("save " + block.string() + " -o " + Path("block.bin").string() + " --options 0x101").status, 0);
    const auto run = Ogeo_("run " + Path("block.bin").string() + " --json " + Path("from-bin.json").string());
    ASSERT_EQ(run.status, 0) << run.err;
    auto outputs = [&](const char* file) {
        Json all;
        const Json run = Json::parse(Read(Path(file)));  // held: a range over a temporary's member dangles
        for (const auto& tool : run["tools"])
            all[tool["name"].get<std::string>()] = tool["outputs"];
        return all;
    };
    EXPECT_EQ(outputs("from-bin.json"), outputs("from-json.json"));

    const auto tree = Ogeo_("inspect " + Path("block.bin").string());
    ASSERT_EQ(tree.status, 0) << tree.err;
    EXPECT_NE(tree.out.find("DistancePointCircleTool (class version 1)"), std::string::npos) << tree.out;
    EXPECT_NE(tree.out.find("Radius = 20.000000"), std::string::npos) << tree.out;

    const auto table = Write("legacy.json", R"({"objects": [
        {"handle": 1, "type": "DistancePointPointTool", "properties": {"Name": "Old",
         "StartPoint": {"handle": 3}, "EndPoint": {"handle": 4}}},
        {"handle": 3, "type": "PointMarker", "properties": {"X": 1.0, "Y": 2.0, "Rotation": 0.0, "Size": 11}},
        {"handle": 4, "type": "PointMarker", "properties": {"X": 4.0, "Y": 6.0, "Rotation": 0.0, "Size": 11}}]})");
    ASSERT_EQ(Ogeo_("convert " + table.string() + " -o " + Path("old.bin").string()).status, 0);
    const auto old = Ogeo_("run " + Path("old.bin").string());
    EXPECT_EQ(old.status, 0) << old.err;
    EXPECT_NE(old.out.find("Distance  5.000000"), std::string::npos) << old.out;

    // Damaged archives and tables: the library's message, status 2, nothing written.
    auto bytes = Read(Path("block.bin"));
    std::ofstream(Path("cut.bin"), std::ios::binary) << bytes.substr(0, bytes.size() - 9);
    const auto cut = Ogeo_("run " + Path("cut.bin").string());
    EXPECT_EQ(cut.status, 2);
    EXPECT_NE(cut.err.find("cut.bin"), std::string::npos) << cut.err;
    const auto bad = Ogeo_("convert " + Write("bad.json", R"({"objects": [{"handle": 1}]})").string() + " -o " +
                           Path("never.bin").string());
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("bad.json"), std::string::npos) << bad.err;
    EXPECT_FALSE(fs::exists(Path("never.bin")));
}

TEST_F(Ogeo, BatchGivesOneRowPerImageAndOutput)
{
    fs::create_directory(Path("images"));
    for (int i = 0; i < 10; ++i) {
        auto image = Ostrel::Quill::Create<Ostrel::Vision::Image8Grey>(64 + i, 48);
        ::Ogeo::WritePng(Path("images") / ("i" + std::to_string(i) + ".png"), *image);
    }
    const auto block = Write("angle.json", R"({"image": {"width": 8, "height": 8}, "tools": [
        {"name": "A", "class": "AnglePointPointTool", "properties": {"StartX": 0, "StartY": 0, "EndX": 1, "EndY": 1}}]})");
    const auto result = Ogeo_("run " + block.string() + " --images " + Path("images").string() + " --csv " +
                              Path("rows.csv").string() + " --jobs 2");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("10 images, 0 failed"), std::string::npos) << result.err;
    const auto csv = Read(Path("rows.csv"));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 11) << csv;
    EXPECT_NE(csv.find("i9.png,A,Accept,Angle,0.785398"), std::string::npos) << csv;
}

TEST_F(Ogeo, DemoWritesItsFilesAndItsBlockRunsAgain)
{
    const auto result = Ogeo_("demo --out " + Path("demo").string());
    ASSERT_EQ(result.status, 0) << result.out << result.err;
    for (const char* file : {"demo.png", "demo.svg", "demo-part.png", "demo-block.json"})
        EXPECT_TRUE(fs::exists(Path("demo") / file)) << file;
    const auto again = Ogeo_("run " + (Path("demo") / "demo-block.json").string() + " --json " +
                             Path("demo.json").string());
    ASSERT_EQ(again.status, 0) << again.err;
    // The same block over the same image gives the same table.
    EXPECT_NE(result.out.find(again.out), std::string::npos) << result.out << again.out;
    // The part as drawn, in millimetres (0.05 mm a pixel): the hole of radius 4 centred at
    // (12.5, 11.5), its centre 125520 / |(24, 480)| px from the edge through (25, 0) and
    // (26.2, 24); the flank at y = 18.5 meets the edge at x = 25.925, at the edge's angle.
    const auto json = Json::parse(Read(Path("demo.json")));
    std::map<std::string, Json> outputs;
    for (const auto& tool : json["tools"])
        outputs[tool["name"].get<std::string>()] = tool["outputs"];
    const double edgeAngle = std::atan2(480.0, 24.0);
    EXPECT_NEAR(outputs["Hole"]["Result.GetCircle().Radius"].get<double>(), 4, 0.01);
    EXPECT_NEAR(outputs["Hole"]["Result.GetCircle().CenterX"].get<double>(), 12.5, 0.01);
    EXPECT_NEAR(outputs["Gap"]["Distance"].get<double>(), (125520 / std::hypot(24.0, 480.0) - 80) * 0.05, 0.01);
    EXPECT_NEAR(outputs["Corner"]["X"].get<double>(), 25.925, 0.03);
    EXPECT_NEAR(outputs["Corner"]["Y"].get<double>(), 18.5, 0.03);
    EXPECT_NEAR(std::abs(std::remainder(outputs["EdgeToFlank"]["Angle"].get<double>(), std::numbers::pi)),
                edgeAngle, 0.005);
    EXPECT_EQ(outputs["GapLabel"]["GetOutputGraphicLabel()"]["text"],
              fmt::format("gap {:.3f} mm", outputs["Gap"]["Distance"].get<double>()));
}

} // namespace
