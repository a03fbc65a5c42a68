#include "cli/converter.h"

#include <cstdio>
#include <map>
#include <new>

#include "formats/frame_names.h"
#include "formats/palette_file.h"
#include "formats/palette_search.h"
#include "cli/cli_platform.h"
#include "cli/console.h"
#include "cli/converter_options.h"
#include "cli/export_formats.h"
#include "cli/load_report_text.h"
#include "format_shp/shp.h"
#include "toolkit/base/write_through.h"

namespace {

// One converter run: the options, the sprite every file is loaded into (as
// the viewer keeps one), the palette and what was written so far.
struct TRun {
  TRun(const TConverterOptions& options, TConsole& console) : Options(options), Console(console) {}

  const TConverterOptions& Options;
  const TExportFormat* Format = nullptr;
  TConsole& Console;
  TShp* Sprite = nullptr;
  uint8_t Palette[kColourTableSize] = {};
  // Sprite name -> the first input file whose frames were written under it.
  std::map<std::string, std::string> WrittenNames;
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

// Loads the file; false, with the error printed, when it cannot be used.
bool LoadSprite(TRun& run, const std::string& file) {
  run.Sprite->LoadShpFile(file.c_str());
  std::string failure = LoadFailureText(*run.Sprite);
  if (!failure.empty()) {
    run.Console.Error(file, failure);
    return false;
  }
  if (!run.Options.Quiet) {
    for (const std::string& text : RepairTexts(*run.Sprite))
      run.Console.Warning(file, text);
  }
  uint32_t count = static_cast<uint32_t>(run.Sprite->FrameCount);
  std::string missing = FramesBeyond(run.Options.Frames, count);
  if (!missing.empty()) {
    run.Console.Error(file, "has no frame " + missing + " (it has " + std::to_string(count) + ")");
    run.Failed = true;  // the frames it has are still converted
  } else if (count == 0 && !run.Options.Quiet) {
    run.Console.Warning(file, "the sprite has no frames");
  }
  return true;
}

void PrintInfo(TRun& run, const std::string& file) {
  TShp* s = run.Sprite;
  char line[256];
  std::snprintf(line, sizeof(line), ": sprite %u x %u, %d frames\n", unsigned{s->Width},
                unsigned{s->Height}, s->FrameCount);
  std::string text = file + line;
  for (int32_t i = 0; i < s->FrameCount; ++i) {
    if (!FrameIsListed(run.Options.Frames, static_cast<uint32_t>(i + 1))) continue;
    const TShpSprite* f = s->FrameAt(i);
    std::snprintf(line, sizeof(line),
                  "frame %s: x=%u y=%u width=%u height=%u compression=%lu extra1=%lu extra2=%lu "
                  "offset=%lu pixels=%s\n",
                  FrameNumberText(i + 1).c_str(), unsigned{f->X}, unsigned{f->Y},
                  unsigned{f->FrameWidth}, unsigned{f->FrameHeight},
                  static_cast<unsigned long>(f->Compression), static_cast<unsigned long>(f->Extra1),
                  static_cast<unsigned long>(f->Extra2), static_cast<unsigned long>(f->DataOffset),
                  f->HasPixels ? "yes" : "no");
    text += line;
  }
  WriteText(stdout, text);
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
void WriteWholeSprite(TRun& run, const std::string& file) {
  TShp* s = run.Sprite;
  std::vector<int32_t> frames = ListedFrames(run.Options.Frames, s->FrameCount);
  if (frames.empty()) return;  // LoadSprite has said why, unless quiet
  std::string failed =
      run.Format->WriteSprite(*s, frames, OutputPath(run.Options.OutFolder, s->Name), run.Options);
  if (!failed.empty()) {
    run.Console.Error(file, "cannot write " + failed);
    run.Failed = true;
  }
}

void WriteFrames(TRun& run, const std::string& file) {
  TShp* s = run.Sprite;
  auto [earlier, isNew] = run.WrittenNames.emplace(s->Name, file);
  if (!isNew && !run.Options.Quiet) {
    run.Console.Warning(
        file, "its frames get the same names as those of " + earlier->second + " and replace them");
  }
  s->SetPalette(run.Palette);
  if (run.Format->NeedsBitmaps) s->BuildBitmaps();
  if (run.Format->WriteSprite) {
    WriteWholeSprite(run, file);
    return;
  }
  for (int32_t i = 0; i < s->FrameCount; ++i) {
    uint32_t number = static_cast<uint32_t>(i + 1);
    if (!FrameIsListed(run.Options.Frames, number)) continue;
    // The name comes from the sprite's file name only, never from its data.
    std::string path =
        OutputPath(run.Options.OutFolder,
                   s->Name + FrameNumberText(static_cast<int32_t>(number)) + run.Format->Extension);
    // A write that fails (no room, no permission) leaves no partial image
    // under the real name.
    bool written = WriteThroughTemporary(path, [&](const char* temporary) {
      return run.Format->WriteFrame(*s, i, temporary, run.Options);
    });
    if (!written) {
      run.Console.Error(file, "cannot write " + path + "; its remaining frames were not written");
      run.Failed = true;
      return;
    }
  }
}

void ConvertFile(TRun& run, const std::string& file) {
  try {
    if (!LoadSprite(run, file)) {
      run.Failed = true;
      return;
    }
    if (run.Options.Info) {
      PrintInfo(run, file);
    } else {
      WriteFrames(run, file);
    }
  } catch (const std::bad_alloc&) {
    run.Console.Error(file, "not enough memory to convert it");
    run.Failed = true;
  }
  run.Sprite->Clear();  // frees its memory before the next file
}

// Reads the palette the run uses; false, with the error printed, when there
// is none.
bool LoadPalette(TRun& run) {
  std::string name = run.Options.Palette;
  if (name.empty()) {
    std::vector<std::string> palettes = PaletteFilesInWorkingFolder();
    if (!palettes.empty()) name = palettes.front();
  }
  if (name.empty()) {
    run.Console.Error("", "no palette: give --palette FILE.pal or run where a .pal file is");
    return false;
  }
  if (!ReadJascPalette(name.c_str(), run.Palette)) {
    run.Console.Error(name, "cannot open the palette");
    return false;
  }
  return true;
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
  TRun run(options, console);
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
  run.Sprite = new TShp();
  for (size_t i = 0; i < options.Files.size(); ++i) {
    console.Progress(i + 1, options.Files.size(), options.Files[i]);
    ConvertFile(run, options.Files[i]);
  }
  Free(run.Sprite);
  return run.Failed ? kFileFailed : kConvertedAll;
}
