#include "cli/encode_command.h"

#include <cstdio>
#include <memory>
#include <new>

#include "cli/cli_platform.h"
#include "cli/console.h"
#include "cli/converter.h"
#include "cli/encode_inputs.h"
#include "cli/encode_options.h"
#include "cli/palette_option.h"
#include "cli/shptool_help.h"
#include "format_shp/shp.h"
#include "format_shp/shp_encode.h"
#include "formats/image_input.h"
#include "formats/palette_file.h"
#include "formats/palette_match.h"
#include "toolkit/base/byte_stream.h"
#include "toolkit/base/write_through.h"

namespace {

constexpr uint32_t kMaxSide = 0xFFFF;
constexpr uint32_t kMaxFrames = 0xFFFF;

// One encode run: the options, the frames coded so far and the sprite box,
// taken from the first image that is not a placeholder.
struct TEncodeRun {
  TEncodeRun(const TEncodeOptions& options, TConsole& console)
      : Options(options), Console(console) {}

  const TEncodeOptions& Options;
  TConsole& Console;
  std::unique_ptr<TPaletteMatcher> Matcher;
  TShpEncoder Encoder;
  std::string BoxSource;  // the image the box was taken from
  uint32_t Width = 0;
  uint32_t Height = 0;
  uint32_t FilesLeft = 0;  // this one included
  uint32_t FramesWithPixels = 0;
};

std::string SizeText(uint32_t width, uint32_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

// Checks the image against the sprite box, which the first real image sets.
bool FitsBox(TEncodeRun& run, const std::string& file, const TInputImage& image) {
  if (image.Width > kMaxSide || image.Height > kMaxSide) {
    run.Console.Error(file, "is " + SizeText(image.Width, image.Height) +
                                "; a sprite box is at most 65535 x 65535");
    return false;
  }
  if (run.BoxSource.empty()) {
    run.BoxSource = file;
    run.Width = image.Width;
    run.Height = image.Height;
  } else if (image.Width != run.Width || image.Height != run.Height) {
    run.Console.Error(file, "is " + SizeText(image.Width, image.Height) + ", not " +
                                SizeText(run.Width, run.Height) + " as " + run.BoxSource);
    return false;
  }
  return true;
}

// A sprite that the loader would refuse for its memory is not written.
bool LoaderTakesOneMore(const TEncodeRun& run, const std::string& file) {
  uint64_t needed = 0;
  if (CheckSpriteSize(static_cast<uint16_t>(run.Width), static_cast<uint16_t>(run.Height),
                      run.FramesWithPixels + 1, needed) == TShpRefusal::None) {
    return true;
  }
  uint64_t mebibytes = (needed + (uint64_t{1} << 20) - 1) >> 20;
  run.Console.Error(file, "one frame too many: " + std::to_string(run.FramesWithPixels + 1) +
                              " frames of " + SizeText(run.Width, run.Height) + " would need " +
                              std::to_string(mebibytes) +
                              " MiB of canvases and images to load, more than the 512 MiB "
                              "allowed");
  return false;
}

// Reads one image and adds its frame; exit status kConvertedAll when it was
// added.
int AddImage(TEncodeRun& run, const std::string& file) {
  TInputImage image;
  std::string why;
  if (!ReadInputImageFile(file, image, why)) {
    run.Console.Error(file, why);
    return kFileFailed;
  }
  if (run.Encoder.FrameCount() >= kMaxFrames) {
    run.Console.Error(file, "one frame too many: a sprite holds at most 65535 frames");
    return kFileFailed;
  }
  if (image.Kind == TInputKind::Placeholder) {
    run.Encoder.AddFrame(TShpFrameOut{.Compression = 0});  // an all-zero header, no pixels
    return kConvertedAll;
  }
  if (!FitsBox(run, file, image)) return kFileFailed;
  if (!LoaderTakesOneMore(run, file)) return kFileFailed;
  if (run.Encoder.FrameCount() == 0) {
    run.Encoder.Reserve(run.FilesLeft, static_cast<uint16_t>(image.Width),
                        static_cast<uint16_t>(image.Height));
  }
  if (image.Kind == TInputKind::Rgba) {
    if (!run.Matcher) {
      run.Console.Error(file, "is an RGB image: give --palette FILE.pal to map its colours");
      return kUsageError;
    }
    if (!run.Matcher->MapsColours()) {
      run.Console.Error(file, "is an RGB image, but the palette " + run.Options.Palette +
                                  " defines no colour besides entry 0 to map it to");
      return kUsageError;
    }
    uint64_t count = uint64_t{image.Width} * image.Height;
    run.Matcher->MapPixels(image.Pixels.data(), count, image.Pixels.data());
  }
  TShpFrameOut frame =
      FrameOfImage(image.Pixels.data(), static_cast<uint16_t>(image.Width),
                   static_cast<uint16_t>(image.Height), image.Width, run.Options.Packing);
  if (!run.Encoder.AddFrame(frame)) {
    run.Console.Error(file,
                      "cannot be coded: a run-length row would pass 65535 bytes, or the "
                      "file 4 GiB");
    return kFileFailed;
  }
  run.FramesWithPixels += 1;
  return kConvertedAll;
}

bool WriteSprite(const TEncodeRun& run) {
  std::vector<uint8_t> bytes =
      run.Encoder.Finish(static_cast<uint16_t>(run.Width), static_cast<uint16_t>(run.Height));
  return WriteThroughTemporary(run.Options.OutFile, [&bytes](TByteStream* file) {
    uint32_t size = static_cast<uint32_t>(bytes.size());
    return file->Write(bytes.data(), size) == size;
  });
}

int EncodeFiles(TEncodeRun& run, const std::vector<std::string>& files) {
  for (size_t i = 0; i < files.size(); ++i) {
    run.Console.Progress(i + 1, files.size(), files[i]);
    run.FilesLeft = static_cast<uint32_t>(files.size() - i);
    int status = AddImage(run, files[i]);
    if (status != kConvertedAll) return status;
  }
  if (!WriteSprite(run)) {
    run.Console.Error(run.Options.OutFile, "cannot write the sprite file");
    return kFileFailed;
  }
  return kConvertedAll;
}

}  // namespace

int RunEncode(const std::vector<std::string>& args) {
  TEncodeOptions options;
  std::string error;
  if (!ParseEncodeArguments(args, options, error)) {
    WriteText(stderr, "shptool encode: " + error + "\nTry shptool encode --help.\n");
    return kUsageError;
  }
  if (options.Help) {
    WriteText(stdout, CommandHelpText("encode"));
    return kConvertedAll;
  }
  std::vector<std::string> emptyFolders;
  std::vector<std::string> files = ExpandImageArguments(options.Inputs, emptyFolders);
  TConsole console(files.size() > 1 && !options.Quiet && StderrIsTerminal(), "shptool encode");
  for (const std::string& folder : emptyFolders)
    console.Error(folder, "the folder holds no *.bmp or *.png image");
  if (!emptyFolders.empty()) return kFileFailed;

  TEncodeRun run(options, console);
  if (!options.Palette.empty()) {
    uint8_t table[kColourTableSize] = {};
    TPaletteFacts facts;
    if (!ReadPaletteOption(options.Palette, console, table, facts)) return kUsageError;
    run.Matcher = std::make_unique<TPaletteMatcher>(table, facts.Entries);
  }
  try {
    return EncodeFiles(run, files);
  } catch (const std::bad_alloc&) {
    console.Error(options.OutFile, "not enough memory to encode it");
    return kFileFailed;
  }
}
