#include "cli/converter.h"

#include <cstdio>
#include <algorithm>
#include <cstdint>
#include <map>
#include <new>

#include "formats/frame_names.h"
#include "formats/palette_file.h"
#include "formats/palette_reader.h"
#include "formats/palette_search.h"
#include "cli/cli_platform.h"
#include "cli/console.h"
#include "cli/converter_options.h"
#include "cli/export_formats.h"
#include "cli/export_jobs.h"
#include "cli/frame_pipeline.h"
#include "cli/image_exports.h"
#include "cli/info_text.h"
#include "cli/processors.h"
#include "cli/load_report_text.h"
#include "cli/palette_option.h"
#include "cli/sprite_inputs.h"
#include "format_shp/frame_stream.h"
#include "format_shp/shp.h"
#include "toolkit/base/write_through.h"

namespace {

// What every file of a run shares: read only while files are converted.
struct TRun {
  TRun(const TConverterOptions& options, TConsole& console) : Options(options), Console(console) {}

  const TConverterOptions& Options;
  const TExportFormat* Format = nullptr;
  TConsole& Console;
  std::string Program;  // what each line starts with
  uint8_t Palette[kColourTableSize] = {};
  // Sprites this large are read on two threads; never with several workers,
  // which keep the processors busy already.
  uint64_t TwoThreadCanvasBytes = 0;
};

// Sprite name -> the first input file whose frames were written under it.
// One per group of files whose outputs could share names.
using TWrittenNames = std::map<std::string, std::string>;

// One file's conversion: its frames read one at a time, and what it prints,
// held back until the files before it are out.
struct TFileRun {
  TFileRun(const TRun& run, TWrittenNames& writtenNames)
      : Run(run), Options(run.Options), Console(false, run.Program), WrittenNames(writtenNames) {}

  const TRun& Run;
  const TConverterOptions& Options;
  TConsole Console;
  TWrittenNames& WrittenNames;
  TShpFrameStream Frames;
  std::string Name;
  std::vector<TConsoleLine> Lines;
  bool Failed = false;
};

// A file of the output folder: the name alone without a folder, and no
// second separator after one the user typed.
std::string OutputPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  char last = folder.back();
  return last == '/' || last == '\\' ? folder + name : InFolder(folder, name, kPathSeparator);
}

// "1-3, 7": the listed frame numbers above the sprite's count.
std::string FramesBeyond(const TFrameRanges& ranges, uint32_t count) {
  std::string text;
  for (auto [first, last] : ranges) {
    if (last <= count) continue;
    if (first <= count) first = count + 1;
    text += (text.empty() ? "" : ", ") + std::to_string(first);
    if (last > first) text += "-" + std::to_string(last);
  }
  return text;
}

// Reads the input's headers and decodes every frame once; false, with the
// error printed, when it cannot be used.
bool LoadSprite(TFileRun& run, const TSpriteInput& input) {
  const std::string& file = input.Label;
  OpenSpriteInput(run.Frames, input);
  const TShpFrameStream& frames = run.Frames;
  std::string failure = LoadFailureText(frames.Report(), frames.Width(), frames.Height());
  if (!failure.empty()) {
    run.Console.Error(file, failure);
    return false;
  }
  run.Frames.Survey(run.Run.TwoThreadCanvasBytes);
  if (!run.Options.Quiet) {
    for (const std::string& text : RepairTexts(frames.Report(), frames.Width(), frames.Height()))
      run.Console.Warning(file, text);
  }
  uint32_t count = static_cast<uint32_t>(frames.FrameCount());
  std::string missing = FramesBeyond(run.Options.Frames, count);
  if (!missing.empty()) {
    run.Console.Error(file, "has no frame " + missing + " (it has " + std::to_string(count) + ")");
    run.Failed = true;  // the frames it has are still converted
  } else if (count == 0 && !run.Options.Quiet) {
    run.Console.Warning(file, "the sprite has no frames");
  }
  return true;
}

void PrintInfo(TFileRun& run, const std::string& file) {
  run.Console.Out(SpriteInfoText(file, run.Frames, run.Options.Frames));
}

// The frames to write, 0-based: those listed, in list order, or all.
std::vector<int32_t> ListedFrames(const TFrameRanges& ranges, int32_t count) {
  std::vector<int32_t> frames;
  if (ranges.empty()) {
    for (int32_t i = 0; i < count; ++i)
      frames.push_back(i);
  }
  for (auto [first, last] : ranges) {
    for (uint32_t number = first; number <= last && number <= static_cast<uint32_t>(count);
         ++number)
      frames.push_back(static_cast<int32_t>(number - 1));
  }
  return frames;
}

// One file or two for the whole sprite: its frames in list order.
void WriteWholeSprite(TFileRun& run, const std::string& file) {
  std::vector<int32_t> frames = ListedFrames(run.Options.Frames, run.Frames.FrameCount());
  if (frames.empty()) return;  // LoadSprite has said why, unless quiet
  TSpriteToWrite sprite{run.Frames, run.Run.Palette, run.Name};
  std::string failed = run.Run.Format->WriteSprite(
      sprite, frames, OutputPath(run.Options.OutFolder, run.Name), run.Options);
  if (!failed.empty()) {
    run.Console.Error(file, "cannot write " + failed);
    run.Failed = true;
  }
}

// A file per frame, in frame order, each decoded again into a reused
// buffer; large sprites with a second thread making images ahead.
void WriteEachFrame(TFileRun& run, const std::string& file) {
  std::vector<int32_t> frames;
  for (int32_t i = 0; i < run.Frames.FrameCount(); ++i) {
    if (FrameIsListed(run.Options.Frames, static_cast<uint32_t>(i + 1))) frames.push_back(i);
  }
  auto make = [&](int32_t index, TShpFrameReader* reader, std::vector<uint8_t>& canvas,
                  TImageBytes& image) {
    TFrameToWrite frame;
    frame.Picture = DecodedPicture(run.Frames, index, canvas, reader);
    frame.HasPixels = run.Frames.Header(index).DataOffset != 0;
    frame.Palette = run.Run.Palette;
    return run.Run.Format->EncodeFrame(frame, run.Options, image);
  };
  auto write = [&](int32_t index, bool made, const TImageBytes& image) {
    // The name comes from the sprite's file name only, never from its data.
    std::string path = OutputPath(
        run.Options.OutFolder, run.Name + FrameNumberText(index + 1) + run.Run.Format->Extension);
    // A write that fails (no room, no permission) leaves no partial image
    // under the real name.
    bool written = WriteThroughTemporary(
        path, [&](TByteStream* file) { return made && WriteImageBytes(file, image); });
    if (!written) {
      run.Console.Error(file, "cannot write " + path + "; its remaining frames were not written");
      run.Failed = true;
    }
    return written;
  };
  bool twoThreads =
      uint64_t{run.Frames.CanvasSize()} * frames.size() >= run.Run.TwoThreadCanvasBytes &&
      UsableProcessors() >= 2;
  MakeAndWriteInOrder(run.Frames, frames, twoThreads, make, write);
}

void WriteFrames(TFileRun& run, const std::string& file) {
  auto [earlier, isNew] = run.WrittenNames.emplace(run.Name, file);
  if (!isNew && !run.Options.Quiet) {
    run.Console.Warning(
        file, "its frames get the same names as those of " + earlier->second + " and replace them");
  }
  if (run.Run.Format->WriteSprite) return WriteWholeSprite(run, file);
  WriteEachFrame(run, file);
}

// Converts one input, recording what it prints into `lines`; false when it failed.
bool ConvertFile(const TRun& run, const TSpriteInput& input, TWrittenNames& writtenNames,
                 std::vector<TConsoleLine>& lines) {
  const std::string& file = input.Label;
  TFileRun one(run, writtenNames);
  one.Console.RecordInto(&lines);
  one.Name = SpriteNameOf(SpriteFileNameOf(input).c_str());
  try {
    if (!LoadSprite(one, input)) return false;
    if (run.Options.Info) {
      PrintInfo(one, file);
    } else {
      WriteFrames(one, file);
    }
  } catch (const std::bad_alloc&) {
    one.Console.Error(file, "not enough memory to convert it");
    return false;
  }
  return !one.Failed;
}

// Reads the palette the run uses; false, with the error printed, when there
// is none.
bool LoadPalette(TRun& run) {
  TPaletteFacts facts;
  if (!run.Options.Palette.empty())
    return ReadPaletteOption(run.Options.Palette, run.Console, run.Palette, facts);
  // The folder's first palette is read whatever it holds, as the viewer reads it.
  std::vector<std::string> palettes = PaletteFilesInWorkingFolder();
  if (palettes.empty()) {
    run.Console.Error("", "no palette: give --palette FILE.pal or run where a .pal file is");
    return false;
  }
  if (!ReadPaletteFile(palettes.front().c_str(), run.Palette).Opened) {
    run.Console.Error(palettes.front(), "cannot open the palette");
    return false;
  }
  return true;
}

// Each file on a worker of its own, its lines put out in argument order.
bool ConvertFiles(TRun& run, const std::vector<TSpriteInput>& files) {
  unsigned workers = run.Options.Jobs ? run.Options.Jobs : UsableProcessors();
  std::vector<std::string> names;
  for (const TSpriteInput& file : files)
    names.push_back(SpriteNameOf(SpriteFileNameOf(file).c_str()));
  // Only frame files carry numbers; a sprite's own files meet only its own name.
  const bool numbered = !run.Options.Info && run.Format->EncodeFrame;
  std::vector<size_t> groups = GroupsOfSprites(names, [&](size_t file) {
    return numbered ? FramesInHeaderOf(files[file]) : std::optional<uint32_t>(0);
  });
  run.TwoThreadCanvasBytes = run.Options.TwoThreadCanvasBytes;
  if (workers > 1 && files.size() > 1) run.TwoThreadCanvasBytes = UINT64_MAX;
  std::vector<TWrittenNames> writtenNames(
      groups.empty() ? 0 : *std::max_element(groups.begin(), groups.end()) + 1);
  std::vector<std::vector<TConsoleLine>> lines(files.size());
  std::vector<char> converted(files.size(), 0);
  auto convert = [&](size_t i) {
    converted[i] = ConvertFile(run, files[i], writtenNames[groups[i]], lines[i]);
  };
  bool failed = false;
  auto emit = [&](size_t i) {
    run.Console.Progress(i + 1, files.size(), files[i].Label);
    run.Console.Replay(lines[i]);
    lines[i] = {};
    failed = failed || !converted[i];
  };
  RunFileJobs(groups, workers, convert, emit);
  return !failed;
}

}  // namespace

int RunShp2Bmp(const std::vector<std::string>& args) {
  TConverterOptions options;
  std::string error;
  if (!ParseConverterArguments(args, options, error)) {
    WriteText(stderr, "shp2bmp: " + error + "\nTry shp2bmp --help.\n");
    return kUsageError;
  }
  if (options.Help) {
    WriteText(stdout, ConverterHelpText());
    return kConvertedAll;
  }
  return RunConversion(options, "shp2bmp");
}

int RunConversion(const TConverterOptions& options, const std::string& program) {
  TConsole console(options.Files.size() > 1 && !options.Quiet && StderrIsTerminal(), program);
  return RunConversion(options, program, console);
}

int RunConversion(const TConverterOptions& options, const std::string& program, TConsole& console) {
  TRun run(options, console);
  run.Program = program;
  run.Format = FindExportFormat(options.Format);
  if (!run.Format) {
    console.Error("",
                  "no export format \"" + options.Format + "\"; formats: " + ExportFormatNames());
    return kUsageError;
  }
  if (!options.Info) {
    if (!LoadPalette(run)) return kUsageError;
    if (!options.OutFolder.empty() && !MakeFolders(options.OutFolder)) {
      console.Error(options.OutFolder, "cannot create the output folder");
      return kFileFailed;
    }
  }
  bool failed = false;
  std::vector<TSpriteInput> inputs = ExpandSpriteInputs(options.Files, console, failed);
  return ConvertFiles(run, inputs) && !failed ? kConvertedAll : kFileFailed;
}
