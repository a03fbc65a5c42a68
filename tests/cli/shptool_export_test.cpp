// shptool export --format png|gif|sheet end to end: which files appear, and
// that ImageMagick reads back the frames' canvases from them in the order
// asked for, with the options' delay, transparency and columns.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/converter_options.h"
#include "formats/image_magick.h"
#include "support/run_process.h"
#include "support/palette_text.h"
#include "support/shp_writer.h"

namespace {

constexpr uint16_t kWidth = 7;
constexpr uint16_t kHeight = 5;

// Entry i: red i / 2, green 255 - i, blue i; every entry its own colour.
std::vector<TRgb> DistinctColours() {
  std::vector<TRgb> colours;
  for (int i = 0; i < 256; ++i)
    colours.push_back({i / 2, 255 - i, i});
  return colours;
}

// unit.shp: a small coded frame inside the box, a frame without pixels and
// a raw frame filling it; and the box rows each frame must show.
struct TSpriteFolder {
  TTempDir Dir;
  std::vector<std::vector<TBytes>> Frames;

  TSpriteFolder() {
    std::vector<TBytes> small = SpeckledRows(4, 3, 1);
    std::vector<TBytes> full = SpeckledRows(kWidth, kHeight, 3);
    WriteFileBytes(
        Dir.File("unit.shp"),
        EncodeShp(kWidth, kHeight,
                  {CodedFrame(2, 1, small), FrameWithoutPixels(0, 0, 0, 0), RawFrame(0, 0, full)}));
    std::string palette = JascPaletteText(DistinctColours());
    WriteFileBytes(Dir.File("test.pal"), TBytes(palette.begin(), palette.end()));
    Frames = {PlaceInBox(kWidth, kHeight, 2, 1, small), PlaceInBox(kWidth, kHeight, 0, 0, {}),
              full};
  }

  TProcessResult Export(std::vector<std::string> args) const {
    args.insert(args.begin(), {"export", "--palette", "test.pal", "--out", "out"});
    args.push_back("unit.shp");
    return RunProcess(SHPTOOL_PATH, args, Dir.Path().string());
  }

  std::vector<std::string> Written() const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(Dir.Path() / "out", error))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

// Checks `rgba` (an image `imageWidth` wide) at (left, top) against the box
// rows of a frame.
void ExpectFrameAt(const TBytes& rgba, uint32_t imageWidth, uint32_t left, uint32_t top,
                   const std::vector<TBytes>& rows, bool opaque) {
  for (uint32_t y = 0; y < kHeight; ++y) {
    for (uint32_t x = 0; x < kWidth; ++x) {
      size_t at = 4 * ((size_t{top} + y) * imageWidth + left + x);
      ASSERT_LT(at + 3, rgba.size());
      int index = rows[y][x];
      std::vector<int> expected = {index / 2, 255 - index, index, index == 0 && !opaque ? 0 : 255};
      ASSERT_EQ((std::vector<int>{rgba[at], rgba[at + 1], rgba[at + 2], rgba[at + 3]}), expected)
          << "at " << x << ", " << y;
    }
  }
}

TEST(ShptoolExport, ImagesHoldTheListedFramesInListOrder) {
  struct TCase {
    std::vector<std::string> args;
    std::vector<std::string> files;
    std::vector<int> frames;  // 0-based, in the order the output holds them
    bool opaque;
    std::string delay;  // gif
    uint32_t columns;   // sheet
  };
  const TCase cases[] = {
      {{"--format", "png"}, {"unit001.png", "unit002.png", "unit003.png"}, {0, 1, 2}, false, "", 0},
      {{"--format=png", "--opaque", "--frames", "3"}, {"unit003.png"}, {2}, true, "", 0},
      {{"--format", "gif"}, {"unit.gif"}, {0, 1, 2}, false, "10", 0},
      {{"--format", "gif", "--frames", "3,1-2", "--delay", "70", "--opaque"},
       {"unit.gif"},
       {2, 0, 1},
       true,
       "7",
       0},
      {{"--format", "sheet"}, {"unit_sheet.json", "unit_sheet.png"}, {0, 1, 2}, false, "", 2},
      {{"--format", "sheet", "--frames", "2-3,1", "--columns=3", "--opaque"},
       {"unit_sheet.json", "unit_sheet.png"},
       {1, 2, 0},
       true,
       "",
       3},
  };
  for (const TCase& c : cases) {
    std::string line;
    for (const std::string& arg : c.args)
      line += arg + " ";
    SCOPED_TRACE(line);
    TSpriteFolder folder;
    TProcessResult result = folder.Export(c.args);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    ASSERT_EQ(folder.Written(), c.files);
    std::string out = (folder.Dir.Path() / "out").string();
    if (c.files[0].ends_with(".png")) {
      for (size_t i = 0; i < c.files.size(); ++i) {
        TDecodedImage image = DecodeWithImageMagick(out, c.files[i]);
        ExpectFrameAt(image.Rgba, kWidth, 0, 0, folder.Frames[c.frames[i]], c.opaque);
      }
    } else if (c.files[0].ends_with(".gif")) {
      TDecodedImage image = DecodeWithImageMagick(out, "unit.gif");
      ASSERT_EQ(image.Frames.size(), c.frames.size());
      for (size_t i = 0; i < c.frames.size(); ++i) {
        EXPECT_EQ(image.Frames[i], "7 5 " + c.delay + " Background");
        TBytes frame(image.Rgba.begin() + 4 * kWidth * kHeight * i, image.Rgba.end());
        ExpectFrameAt(frame, kWidth, 0, 0, folder.Frames[c.frames[i]], c.opaque);
      }
    } else {
      TDecodedImage image = DecodeWithImageMagick(out, "unit_sheet.png");
      uint32_t rows = (static_cast<uint32_t>(c.frames.size()) - 1) / c.columns + 1;
      ASSERT_EQ(image.Frames,
                std::vector<std::string>{std::to_string(kWidth * c.columns) + " " +
                                         std::to_string(kHeight * rows) + " 0 Undefined"});
      TBytes text = ReadFileBytes(out + "/unit_sheet.json");
      nlohmann::json atlas = nlohmann::json::parse(std::string(text.begin(), text.end()));
      ASSERT_EQ(atlas["frames"].size(), c.frames.size());
      EXPECT_EQ(atlas["meta"]["image"], "unit_sheet.png");
      for (uint32_t i = 0; i < c.frames.size(); ++i) {
        uint32_t left = i % c.columns * kWidth, top = i / c.columns * kHeight;
        ExpectFrameAt(image.Rgba, kWidth * c.columns, left, top, folder.Frames[c.frames[i]],
                      c.opaque);
        EXPECT_EQ(atlas["frames"][i]["filename"], "unit00" + std::to_string(c.frames[i] + 1));
        EXPECT_EQ(atlas["frames"][i]["frame"]["x"], left);
        EXPECT_EQ(atlas["frames"][i]["frame"]["y"], top);
      }
      // Cells past the last frame are background, as a frame without pixels.
      for (uint32_t i = static_cast<uint32_t>(c.frames.size()); i < c.columns * rows; ++i) {
        ExpectFrameAt(image.Rgba, kWidth * c.columns, i % c.columns * kWidth,
                      i / c.columns * kHeight, folder.Frames[1], c.opaque);
      }
    }
  }
}

TEST(ShptoolExport, AFileThatCannotBeWrittenFailsTheRunAndLeavesNothingPartial) {
  struct TCase {
    const char* format;
    const char* blocked;  // a folder stands where this file should go
    std::vector<std::string> left;
  };
  const TCase cases[] = {
      {"png", "unit002.png", {"unit001.png", "unit002.png"}},
      {"gif", "unit.gif", {"unit.gif"}},
      {"sheet", "unit_sheet.json", {"unit_sheet.json", "unit_sheet.png"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.format);
    TSpriteFolder folder;
    std::filesystem::create_directories(folder.Dir.Path() / "out" / c.blocked);
    TProcessResult result = folder.Export({"--format", c.format});
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_NE(result.Err.find(std::string("cannot write ")), std::string::npos) << result.Err;
    EXPECT_NE(result.Err.find(c.blocked), std::string::npos) << result.Err;
    EXPECT_EQ(folder.Written(), c.left);
  }
}

TEST(ShptoolExport, DelayAndColumnsMustBeNumbersInRange) {
  struct TCase {
    std::vector<std::string> args;
    bool accepted;
    uint32_t delay;
    uint32_t columns;
  };
  const TCase cases[] = {
      {{"--delay", "0"}, true, 0, 0},
      {{"--delay=655350", "--columns", "65535"}, true, 655350, 65535},
      {{"--columns", "1", "--opaque"}, true, 100, 1},
      {{"--delay", "655351"}, false, 0, 0},
      {{"--delay", "-5"}, false, 0, 0},
      {{"--delay", "1.5"}, false, 0, 0},
      {{"--delay", "99999999999"}, false, 0, 0},
      {{"--delay"}, false, 0, 0},
      {{"--columns", "0"}, false, 0, 0},
      {{"--columns", "65536"}, false, 0, 0},
      {{"--columns", "2x"}, false, 0, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : ""));
    std::vector<std::string> args = c.args;
    args.push_back("unit.shp");
    TConverterOptions options;
    std::string error;
    ASSERT_EQ(ParseExportArguments(args, options, error), c.accepted) << error;
    if (!c.accepted) continue;
    EXPECT_EQ(options.DelayMs, c.delay);
    EXPECT_EQ(options.Columns, c.columns);
  }
  // The image options belong to export alone.
  for (const char* option : {"--opaque", "--delay=5", "--columns=2"}) {
    TConverterOptions options;
    std::string error;
    EXPECT_FALSE(ParseInfoArguments({option, "unit.shp"}, options, error)) << option;
    EXPECT_FALSE(ParseConverterArguments({option, "unit.shp"}, options, error)) << option;
  }
}

}  // namespace
