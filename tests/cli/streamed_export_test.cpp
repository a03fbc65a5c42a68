// Exports that read a frame at a time against the whole-sprite load the
// viewer uses: the same canvases and reports, frame by frame and on two
// threads, and the same bytes in every file each format writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "app/demo/demo_folder.h"
#include "cli/console.h"
#include "cli/converter.h"
#include "cli/converter_options.h"
#include "format_shp/shp_picture.h"
#include "cli/load_report_text.h"
#include "format_shp/frame_stream.h"
#include "format_shp/shp.h"
#include "formats/frame_names.h"
#include "formats/gif_writer.h"
#include "formats/palette_file.h"
#include "formats/png_writer.h"
#include "formats/sprite_sheet.h"
#include "support/hostile_shp.h"
#include "support/palette_text.h"
#include "support/shp_writer.h"
#include "support/test_files.h"
#include "toolkit/base/scoped_object.h"

namespace {

using TFiles = std::map<std::string, TBytes>;

// The hostile corpus, the fuzzers' sprites, the demo sprites and sprites
// that run out of budget early, late and on every third frame.
std::vector<THostileFile> Corpus() {
  std::vector<THostileFile> files = HostileShpCorpus();
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(SKARNEL_FUZZ_DIR) / "corpus/shp"))
    files.push_back(
        {"fuzz_" + entry.path().filename().string(), ReadFileBytes(entry.path().string())});
  for (const TDemoFile& demo : DemoFiles()) {
    if (demo.Name.ends_with(".shp")) files.push_back({"demo_" + demo.Name, demo.Bytes});
  }
  files.push_back({"budget_late.shp", FramesThatReRead([](uint32_t i) { return i >= 32; })});
  files.push_back({"budget_early.shp", FramesThatReRead([](uint32_t i) { return i < 21; })});
  files.push_back({"budget_thirds.shp", FramesThatReRead([](uint32_t i) { return i % 3 == 0; })});
  return files;
}

std::string ReportText(const TShpLoadReport& r, uint16_t width, uint16_t height) {
  std::string text = LoadFailureText(r, width, height) + "|" + std::to_string(r.FramesInHeader);
  for (const std::string& line : RepairTexts(r, width, height))
    text += "|" + line;
  return text;
}

TBytes CanvasOfFrame(const TShp& shp, int32_t index) {
  const TShpSprite* frame = shp.FrameAt(index);
  if (!frame->Canvas || frame->Canvas->Size == 0) return {};
  return TBytes(frame->Canvas->Block, frame->Canvas->Block + frame->Canvas->Size);
}

// Every frame decoded alone, last first, on one thread and after a survey on
// two, is the whole-sprite load's canvas, and the reports agree.
TEST(StreamedExport, FramesDecodedAloneAreTheWholeSpritesCanvases) {
  TTempDir dir;
  for (const THostileFile& file : Corpus()) {
    std::string path = dir.File("f.shp");
    WriteFileBytes(path, file.Bytes);
    TScopedObject<TShp> whole(new TShp());
    whole->LoadShpFile(path.c_str());
    for (uint64_t twoThreadBytes : {uint64_t{0}, UINT64_MAX}) {
      TShpFrameStream stream;
      stream.Open(path.c_str());
      stream.Survey(twoThreadBytes);
      ASSERT_EQ(ReportText(stream.Report(), stream.Width(), stream.Height()),
                ReportText(whole->LoadReport, whole->Width, whole->Height))
          << file.Name;
      ASSERT_EQ(stream.FrameCount(), whole->FrameCount) << file.Name;
      std::vector<uint8_t> canvas(stream.CanvasSize() + 64, 0xAB);
      for (int32_t i = stream.FrameCount(); i-- > 0;) {
        TBytes got;
        if (stream.DecodeFrame(i, canvas.data()))
          got.assign(canvas.begin(), canvas.begin() + stream.CanvasSize());
        ASSERT_EQ(got, CanvasOfFrame(*whole, i)) << file.Name << " frame " << i;
      }
    }
  }
}

struct TExportCase {
  std::string Format;
  std::string Frames;  // --frames, empty for all
  bool Opaque = false;
  uint32_t Columns = 0;
  bool TwoThreads = false;  // for any size of sprite
  // Every how many hostile files are taken; the other sprites always are.
  size_t HostileEvery = 3;
};

std::vector<int32_t> ListedFrames(const TFrameRanges& ranges, int32_t count) {
  std::vector<int32_t> frames;
  for (int32_t i = 0; ranges.empty() && i < count; ++i)
    frames.push_back(i);
  for (auto [first, last] : ranges) {
    for (uint32_t n = first; n <= last && n <= uint32_t(count); ++n)
      frames.push_back(int32_t(n - 1));
  }
  return frames;
}

// What the whole-sprite export wrote before frames were streamed: the
// viewer's images, and the writers fed from every canvas held at once.
TFiles WholeSpriteFiles(TShp& shp, const TExportCase& c, const TFrameRanges& ranges,
                        const uint8_t* palette, const TTempDir& dir) {
  TFiles files;
  shp.SetPalette(palette);
  std::vector<int32_t> frames = ListedFrames(ranges, shp.FrameCount);
  std::vector<TIndexedPicture> pictures;
  for (int32_t i : frames)
    pictures.push_back(FramePicture(shp, i));
  TImageBytes bytes;
  if (c.Format == "bmp") {
    shp.BuildBitmaps();
    for (int32_t i = 0; i < shp.FrameCount; ++i) {
      if (!FrameIsListed(ranges, uint32_t(i + 1))) continue;
      std::string temporary = dir.File("whole.bmp");
      if (!shp.GetFrameBitmap(i)->SaveBmpFile(temporary.c_str())) break;
      files[shp.Name + FrameNumberText(i + 1) + ".bmp"] = ReadFileBytes(temporary);
    }
  } else if (c.Format == "png") {
    for (int32_t i = 0; i < shp.FrameCount; ++i) {
      if (!FrameIsListed(ranges, uint32_t(i + 1))) continue;
      if (!EncodeIndexedPng(FramePicture(shp, i), palette, c.Opaque, bytes)) break;
      files[shp.Name + FrameNumberText(i + 1) + ".png"] = bytes;
    }
  } else if (c.Format == "gif" && !frames.empty()) {
    if (EncodeAnimatedGif(shp.Width, shp.Height, pictures, palette, {100, c.Opaque}, bytes))
      files[shp.Name + ".gif"] = bytes;
  } else if (c.Format == "sheet" && !frames.empty()) {
    TSheetLayout layout;
    if (PlanSheet(uint32_t(frames.size()), shp.Width, shp.Height, c.Columns, layout) &&
        EncodeSheetPng(layout, pictures, palette, c.Opaque, bytes)) {
      files[shp.Name + "_sheet.png"] = bytes;
      std::vector<std::string> names;
      for (int32_t i : frames)
        names.push_back(shp.Name + FrameNumberText(i + 1));
      std::string atlas = SheetAtlasJson(layout, names, shp.Name + "_sheet.png");
      files[shp.Name + "_sheet.json"] = TBytes(atlas.begin(), atlas.end());
    }
  }
  return files;
}

TFiles FilesIn(const std::filesystem::path& folder) {
  TFiles files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    files[entry.path().filename().string()] = ReadFileBytes(entry.path().string());
  return files;
}

// Every file the streaming export writes, in-process, is the whole-sprite
// export's, byte for byte; and what it prints is the whole-sprite load's
// report. Hostile files are sampled (they are many); the others all run.
void ExpectTheWholeSpriteExportsBytes(const std::vector<TExportCase>& cases) {
  TTempDir dir;
  std::string paletteText = JascPaletteText({{1, 2, 3}, {250, 128, 0}, {9, 99, 199}});
  WriteFileBytes(dir.File("p.pal"), TBytes(paletteText.begin(), paletteText.end()));
  uint8_t palette[kPaletteSize] = {};
  ASSERT_TRUE(ReadJascPalette(dir.File("p.pal").c_str(), palette));
  const std::vector<THostileFile> corpus = Corpus();
  const size_t hostile = HostileShpCorpus().size();  // the corpus begins with them
  for (const TExportCase& c : cases) {
    for (size_t f = 0; f < corpus.size(); ++f) {
      if (f < hostile && f % c.HostileEvery != 0) continue;
      const THostileFile& file = corpus[f];
      std::string path = dir.File("sprite.shp");
      WriteFileBytes(path, file.Bytes);
      std::filesystem::remove_all(dir.Path() / "out");
      TConverterOptions options;
      options.Format = c.Format;
      options.Palette = dir.File("p.pal");
      options.OutFolder = dir.File("out");
      options.Opaque = c.Opaque;
      options.Columns = c.Columns;
      options.Jobs = 1;
      if (c.TwoThreads) options.TwoThreadCanvasBytes = 0;
      if (!c.Frames.empty()) {
        ASSERT_TRUE(ParseFrameList(c.Frames, options.Frames));
      }
      options.Files = {path};
      std::vector<TConsoleLine> lines;
      TConsole console(false, "shptool export");
      console.RecordInto(&lines);
      int status = RunConversion(options, "shptool export", console);

      TScopedObject<TShp> whole(new TShp());
      whole->LoadShpFile(path.c_str());
      std::string failure = LoadFailureText(*whole);
      std::string context = file.Name + " as " + c.Format + " " + c.Frames;
      ASSERT_FALSE(lines.empty() && !failure.empty()) << context;
      if (!failure.empty()) {
        EXPECT_EQ(lines[0].Text, "shptool export: " + path + ": " + failure) << context;
        EXPECT_EQ(status, kFileFailed) << context;
        EXPECT_TRUE(FilesIn(dir.Path() / "out").empty()) << context;
        continue;
      }
      std::vector<std::string> repairs = RepairTexts(*whole);
      ASSERT_GE(lines.size(), repairs.size()) << context;
      for (size_t i = 0; i < repairs.size(); ++i)
        EXPECT_EQ(lines[i].Text, "shptool export: " + path + ": warning: " + repairs[i]) << context;
      TFiles expected = WholeSpriteFiles(*whole, c, options.Frames, palette, dir);
      ASSERT_TRUE(FilesIn(dir.Path() / "out") == expected)
          << context << ": " << FilesIn(dir.Path() / "out").size() << " files, " << expected.size()
          << " expected";
    }
  }
}

TEST(StreamedExport, BmpFilesAreTheWholeSpriteExports) {
  ExpectTheWholeSpriteExportsBytes({{"bmp", ""}, {"bmp", "", false, 0, true, 10}});
}

TEST(StreamedExport, PngFilesAreTheWholeSpriteExports) {
  ExpectTheWholeSpriteExportsBytes(
      {{"png", ""}, {"png", "1-2,4-9", false, 0, true, 10}, {"png", "2,1", true, 0, false, 10}});
}

TEST(StreamedExport, GifFilesAreTheWholeSpriteExports) {
  ExpectTheWholeSpriteExportsBytes({{"gif", ""}, {"gif", "3,1-2", true, 0, false, 10}});
}

TEST(StreamedExport, SheetFilesAreTheWholeSpriteExports) {
  ExpectTheWholeSpriteExportsBytes({{"sheet", ""}, {"sheet", "5,1-3", false, 2, false, 10}});
}

}  // namespace
