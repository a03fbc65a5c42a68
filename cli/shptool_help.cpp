#include "cli/shptool_help.h"

namespace {

const char kToolHelp[] = R"(Usage: shptool COMMAND [OPTIONS] FILE...

Describes, exports and encodes SHP sprite files.

Commands:
  info    print each sprite's box, frame count and frame headers
  export  write the frames of SHP files as images (BMP, PNG, GIF, sheet)
  encode  make one SHP file from images of one size, a frame per image
  mix     list, extract and make MIX archives; info and export also take
          ARCHIVE.mix/NAME paths and whole archives

"shptool COMMAND --help" tells more. Exit status: 0 when everything was
done, 1 when an input failed or an output could not be written, 2 for a
usage error or a missing palette.
)";

const char kInfoHelp[] = R"(Usage: shptool info [--frames LIST] [--jobs N] [--quiet] FILE.shp...

Prints each sprite's box and frame count, then one line per frame: its
position, size, compression field (as stored, and its kind, the low byte,
when the upper bytes are not zero), the two fields after it, data offset
and whether it has pixels. Writes no files and needs no palette.

A FILE may be a sprite inside an archive, ARCHIVE.mix/NAME (nested too:
main.mix/conquer.mix/e1.shp; NAME may be an ID of 8 hex digits), or a whole
archive: every sprite in it and in the archives nested in it.

Options:
  --frames LIST  only these frames, numbered from 1: numbers and ranges
                 separated by commas, for example 1,3-5.
  --jobs N       read up to N files at once (default: one per processor
                 the program may run on); the output is the same for any N.
  --quiet        print no warnings about repaired data and no progress.
  --help         print this text.

Exit status: 0 when every file was read, 1 when one could not be, 2 for a
usage error.
)";

const char kExportHelp[] =
    R"(Usage: shptool export [--format bmp|png|gif|sheet] [--palette FILE.pal] [--out DIR] [--frames LIST]
                     [--opaque] [--delay MS] [--columns N] [--jobs N] [--quiet] FILE.shp...

Writes the frames of SHP sprite files as images. <name> below is a file's
name (without its folder) before its first ".", <NNN> a frame number from
001, padded with zeros to at least three digits.

A FILE may be a sprite inside an archive, ARCHIVE.mix/NAME (nested too:
main.mix/conquer.mix/e1.shp; NAME may be an ID of 8 hex digits), or a whole
archive: every sprite in it and in the archives nested in it. <name> is
then the entry's name, or its ID when the name is not known.

Formats:
  bmp    DIR/<name><NNN>.bmp per frame, byte for byte as the Skarnel viewer
         (and shp2bmp) saves it; a frame without pixels is the viewer's
         1 x 1 placeholder.
  png    DIR/<name><NNN>.png per frame: an 8-bit indexed PNG of the sprite
         box with the palette's 256 colours; colour 0, the background, is
         transparent. A frame without pixels is all colour 0.
  gif    DIR/<name>.gif per sprite: an animated GIF of the frames, looping
         forever, colour 0 transparent.
  sheet  DIR/<name>_sheet.png per sprite: the frames in a grid of cells of
         the sprite box, row by row; and DIR/<name>_sheet.json, the cells'
         positions in the JSON-array atlas layout that sprite-sheet tools and
         web game engines read.

Options:
  --format FORMAT     bmp (the default), png, gif or sheet.
  --palette FILE.pal  the palette of the images: JASC-PAL text or the game's
                      raw 768 bytes. Default: the first *.pal file of the
                      working folder.
  --out DIR           where the images go (created when missing). Default:
                      the working folder. Existing files are replaced; a file
                      that cannot be written completely is not left behind.
  --frames LIST       only these frames, numbered from 1: numbers and ranges
                      separated by commas, for example 1,3-5. A GIF and a
                      sheet take them in this order.
  --opaque            png, gif, sheet: colour 0 is not transparent.
  --delay MS          gif: how long each frame shows, in milliseconds (kept in
                      hundredths of a second). Default: 100.
  --columns N         sheet: cells per row. Default: the smallest N with
                      N x N cells for all frames.
  --jobs N            export up to N files at once, one file each. Default:
                      one per processor the program may run on. Files,
                      messages and the exit status are the same for any N.
  --quiet             print no warnings about repaired data and no progress.
  --help              print this text.

Damaged files are read as far as they go, with a warning; a file that
cannot be read gets one error line and the others are still exported.

Exit status: 0 when everything was exported, 1 when a file failed or an
image could not be written, 2 for a usage error or a missing palette.
)";

const char kEncodeHelp[] =
    R"(Usage: shptool encode --out FILE.shp [--compression auto|rle|raw] [--palette FILE.pal] [--quiet] IMAGE|FOLDER...

Makes one SHP file from images, one frame per image, in argument order. A
folder stands for its *.bmp and *.png files in natural order (name2 before
name10). Every image must have the same size, which becomes the sprite box.

Images: BMP files of 1, 4 or 8 bits per pixel (indexed), 24 or 32 bits
(RGB, also with bit-field masks), uncompressed, bottom-up or top-down; PNG
files of any kind. Indexed images (BMP of 1 to 8 bits, indexed PNG) keep
their colour indices; their own colour table is not used. RGB images (also
grey and 16-bit PNG) need --palette: a transparent pixel or one of exactly
the colour of entry 0 becomes index 0, any other the nearest colour of
entries 1 to 255 that the palette defines (a JASC-PAL palette as many as its
count). The 1 x 1 BMP of 16 bits per pixel that export writes for a frame
without pixels becomes such a frame again.

Each frame keeps the smallest rectangle around its non-zero pixels. A
sprite holds at most 65535 frames, and no more than Skarnel loads: 512 MiB
of canvases and images (about 256 MiB of frame pixels).

Options:
  --out FILE.shp       the file to write (replaced when it exists; it
                       appears only when complete).
  --compression KIND   auto (the default): per frame, the smaller of rle and
                       raw; rle: run-length coded rows; raw: plain rows.
  --palette FILE.pal   the palette RGB images are mapped to: JASC-PAL text
                       or the game's raw 768 bytes.
  --quiet              print no progress.
  --help               print this text.

Exit status: 0 when the file was written, 1 when an image could not be used
(unreadable, unsupported, of another size, too large) or the file could not
be written, 2 for a usage error or a missing palette.
)";

}  // namespace

const char* CommandHelpText(const std::string& command) {
  if (command == "info") return kInfoHelp;
  if (command == "export") return kExportHelp;
  if (command == "encode") return kEncodeHelp;
  return kToolHelp;
}
