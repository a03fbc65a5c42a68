// The commands run in-process on the main window, as its events run them.
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/main_commands.h"
#include "app/palette_catalogue.h"
#include "app/program_info.h"
#include "screen_pixels.h"
#include "support/hostile_shp.h"
#include "win32/dialog_driver.h"
#include "toolkit/base/win32_handles.h"
#include "toolkit/widgets/list_controls.h"
#include "viewer_fixture.h"

namespace {

using TLines = std::vector<std::string>;
using TIndexes = std::vector<int>;

constexpr int kFileNameField = 0x47C;  // cmb13 of the save dialog
constexpr int kMessageBoxText = 0xFFFF;
constexpr int kMessageBoxIcon = 0x440;

class TCommandsTest : public TViewerTest {
 protected:
  void SetUp() override {
    TViewerTest::SetUp();
    DriverMisses.clear();
  }

  // Runs `command` while the folder dialog it opens is answered with
  // `folder` (Cancel when empty); `startFolder` gets the folder the dialog
  // had preselected; `then` runs once the dialog was answered.
  void WithFolderChoice(void (*command)(TMainWindow*), const std::string& folder,
                        std::string* startFolder = nullptr, std::function<void()> then = nullptr) {
    if (!folder.empty()) SettleFolders(folder);
    SettleFolders(Folder());
    WhenFound(
        "folder dialog", [] { return FindDialog(); },
        [=, this](HWND dialog) {
          // The folder the command asked the dialog to preselect.
          if (startFolder) *startFolder = main_->ExportFolderDialog->StartFolder;
          if (folder.empty()) {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
          }
          SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
          PostMessageA(dialog, WM_COMMAND, IDOK, 0);
          if (then) then();
        });
    command(main_);
    EXPECT_EQ(DriverMisses, TLines{});
  }

  // Runs SaveFrame while its dialog is answered with `path` (Cancel when
  // empty); answers the name the dialog offered.
  std::string SaveFrameAs(const std::string& path, std::string* startFolder = nullptr,
                          std::function<void()> then = nullptr) {
    std::string offered;
    WhenFound(
        "save dialog", [] { return FindDialog(); },
        [&](HWND dialog) {
          offered = TextOf(GetDlgItem(dialog, kFileNameField));
          if (startFolder) {
            char folder[MAX_PATH] = {};
            SendMessageA(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
            *startFolder = folder;
          }
          if (path.empty()) {
            PressButton(dialog, IDCANCEL);
            return;
          }
          SetWindowTextA(GetDlgItem(dialog, kFileNameField), path.c_str());
          PressButton(dialog, IDOK);
          if (then) then();
        });
    SaveFrame(main_);
    EXPECT_EQ(DriverMisses, TLines{});
    return offered;
  }

  // Answers the program's error box when it comes; records its title, its
  // text and whether it shows the error icon.
  void AnswerErrorBox(std::string* seen) {
    WhenFound(
        "error box",
        [] { return FindDialog([](HWND box) { return TextOf(box) == kProgramName; }); },
        [seen](HWND box) {
          auto icon = SendDlgItemMessageA(box, kMessageBoxIcon, STM_GETICON, 0, 0);
          bool errorIcon = icon == reinterpret_cast<LRESULT>(LoadIconA(nullptr, IDI_ERROR));
          *seen = TextOf(box) + (errorIcon ? " (error) " : " (no icon) ") +
                  TextOf(GetDlgItem(box, kMessageBoxText));
          PressButton(box, IDOK);
        });
  }
};

TEST_F(TCommandsTest, ChoosingASpriteListsItsFramesAndShowsTheFirst) {
  PutStandardFiles();
  Build();
  struct TCase {
    const char* line;
    TTestSprite sprite;
    const char* name;
  };
  const TCase cases[] = {{"tank.shp", TankSprite(), "tank"}, {"my.unit.shp", DottedSprite(), "my"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.line);
    ChooseSprite(c.line);
    EXPECT_EQ(Sprite->Name, c.name);
    EXPECT_EQ(Lines(main_->FrameList),
              FrameLines(c.name, static_cast<int>(c.sprite.Frames.size())));
    EXPECT_EQ(SelectedLines(main_->FrameList), TIndexes{0});
    EXPECT_EQ(CurrentIndex(main_->FrameList), 0);
    EXPECT_EQ(CurrentBitmap, Sprite->GetFrameBitmap(0));
    EXPECT_EQ(GetWidth(main_->Preview), c.sprite.Width);
    EXPECT_EQ(GetHeight(main_->Preview), c.sprite.Height);
    EXPECT_TRUE(ShowsRows(main_->Preview->Window, c.sprite.BoxRows(0), AmberPalette()));
    EXPECT_TRUE(IsEnabled(main_->PaletteBox));
    EXPECT_TRUE(IsEnabled(main_->SaveAllButton));
    EXPECT_TRUE(IsEnabled(main_->SaveSelectedButton));
  }
}

TEST_F(TCommandsTest, FramesFromOneThousandOnHaveFourDigits) {
  PutPalette(Folder(), "Amber.pal", AmberPalette());
  TTestSprite big{"big.shp", 4, 4, {}};
  for (int k = 0; k < 1001; ++k)
    big.Frames.push_back(FrameWithoutPixels(0, 0, 1, 1));
  PutSprite(Folder(), big);
  Build();
  ChooseSprite("big.shp");
  TLines lines = Lines(main_->FrameList);
  ASSERT_EQ(lines.size(), 1001u);
  EXPECT_EQ(lines[998], "999 : big999");
  EXPECT_EQ(lines[999], "1000 : big1000");
  EXPECT_EQ(lines[1000], "1001 : big1001");
}

TEST_F(TCommandsTest, AFramelessSpriteAfterAnotherShowsTheStartUpPicture) {
  PutStandardFiles();
  Build();
  ChooseSprite("tank.shp");
  ChooseSprite("empty.shp");
  EXPECT_EQ(ItemCount(main_->FrameList), 0);
  // The frames shown before went with the old contents.
  EXPECT_EQ(CurrentBitmap, StartupBitmap);
  EXPECT_EQ(GetWidth(main_->Preview), 1);
  EXPECT_EQ(GetHeight(main_->Preview), 1);
  std::string out = MakeFolder("out");
  WithFolderChoice(&SaveSelectedFrames, out);
  WithFolderChoice(&SaveAllFrames, out);
  EXPECT_EQ(FilesIn(out), TLines{});
  CopyFrame(main_);
  UpdateNow(main_->PreviewScroller);
}

TEST_F(TCommandsTest, DamagedAndHostileFilesLeaveTheViewerWorking) {
  PutStandardFiles();
  Build();
  std::vector<THostileFile> corpus = HostileShpCorpus();
  std::string hostile = MakeFolder("hostile");
  // Every seventh file: each kind of damage, in a reasonable time.
  for (size_t i = 0; i < corpus.size(); i += 7) {
    SCOPED_TRACE(corpus[i].Name);
    WriteFileBytes(hostile + "\\h.shp", corpus[i].Bytes);
    LoadSprite(main_, hostile + "\\h.shp");
    ASSERT_EQ(ItemCount(main_->FrameList), Sprite->FrameCount);
    if (Sprite->FrameCount > 0) {
      ChooseFrames({Sprite->FrameCount - 1});
      EXPECT_EQ(CurrentBitmap, Sprite->GetFrameBitmap(Sprite->FrameCount - 1));
    } else {
      EXPECT_EQ(CurrentBitmap, StartupBitmap);
    }
    UpdateNow(main_->PreviewScroller);
  }
  ChooseSprite("tank.shp");
  EXPECT_EQ(ItemCount(main_->FrameList), 12);
  EXPECT_TRUE(ShowsRows(main_->Preview->Window, TankSprite().BoxRows(0), AmberPalette()));
}

TEST_F(TCommandsTest, AnotherPaletteRecoloursTheFrameShownAndKeepsTheSelection) {
  PutStandardFiles();
  Build();
  ChooseSprite("tank.shp");
  ChooseFrames({2, 6});
  TDib* shown = CurrentBitmap;
  ASSERT_EQ(shown, Sprite->GetFrameBitmap(6));
  SetCurrentIndex(main_->PaletteBox, 1);
  main_->PaletteBox->ChangeEvent(main_->PaletteBox);
  EXPECT_EQ(CurrentBitmap, shown) << "refilled in place";
  EXPECT_EQ(SelectedLines(main_->FrameList), (TIndexes{2, 6}));
  EXPECT_EQ(CurrentIndex(main_->FrameList), 6);
  EXPECT_TRUE(ShowsRows(main_->Preview->Window, TankSprite().BoxRows(6), SeaPalette()));
  // Every frame was recoloured, not only the one shown.
  ChooseFrames({0});
  EXPECT_TRUE(ShowsRows(main_->Preview->Window, TankSprite().BoxRows(0), SeaPalette()));
}

TEST_F(TCommandsTest, SaveFrameOffersTheFrameNameAndRemembersTheFolder) {
  PutStandardFiles();
  Build();
  std::string out = MakeFolder("out");
  std::string other = MakeFolder("other");

  // Before any sprite: the start-up picture under the name "000".
  EXPECT_EQ(SaveFrameAs(out + "\\start.bmp"), "000");
  TBytes start = ReadFileBytes(out + "\\start.bmp");
  ASSERT_GE(start.size(), 26u);
  EXPECT_EQ(start[0], 'B');
  EXPECT_EQ(start[18] | start[19] << 8, 1) << "1 pixel wide";
  EXPECT_EQ(start[22] | start[23] << 8, 1) << "1 pixel high";
  EXPECT_EQ(ExportFolder, out + "\\");

  ChooseSprite("tank.shp");
  ChooseFrames({4});
  std::string startFolder;
  EXPECT_EQ(SaveFrameAs(other + "\\five", &startFolder), "tank005");
  EXPECT_EQ(Lower(startFolder), Lower(out));
  EXPECT_EQ(ReadFileBytes(other + "\\five.bmp"), TankSprite().FrameBmp(4, AmberPalette()))
      << "the extension is added";
  EXPECT_EQ(ExportFolder, other + "\\");

  // Cancel changes nothing and writes nothing.
  EXPECT_EQ(SaveFrameAs(""), "tank005");
  EXPECT_EQ(ExportFolder, other + "\\");
  EXPECT_EQ(FilesIn(other), TLines{"five.bmp"});

  // The export folder dialog starts where the last frame went.
  std::string preselected;
  WithFolderChoice(&SaveSelectedFrames, "", &preselected);
  EXPECT_EQ(preselected, other + "\\");
}

TEST_F(TCommandsTest, SaveSelectedWritesTheSelectedFramesAndSaveAllEveryFrame) {
  PutStandardFiles();
  Build();
  ChooseSprite("tank.shp");
  ChooseFrames({1, 4});
  std::string selected = MakeFolder("selected");
  WithFolderChoice(&SaveSelectedFrames, selected);
  EXPECT_EQ(FilesIn(selected), (TLines{"tank002.bmp", "tank005.bmp"}));
  TTestSprite tank = TankSprite();
  EXPECT_EQ(ReadFileBytes(selected + "\\tank002.bmp"), tank.FrameBmp(1, AmberPalette()));
  EXPECT_EQ(ReadFileBytes(selected + "\\tank005.bmp"), tank.FrameBmp(4, AmberPalette()));
  EXPECT_EQ(Lower(ExportFolder), Lower(selected));
  EXPECT_EQ(CurrentBitmap, Sprite->GetFrameBitmap(4)) << "the preview stays";

  // Nothing selected: nothing written.
  ChooseFrames({});
  std::string none = MakeFolder("none");
  WithFolderChoice(&SaveSelectedFrames, none);
  EXPECT_EQ(FilesIn(none), TLines{});

  std::string all = MakeFolder("all");
  WithFolderChoice(&SaveAllFrames, all);
  TLines files = FilesIn(all);
  ASSERT_EQ(files.size(), 12u);
  for (size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(files[i]);
    char name[32];
    std::snprintf(name, sizeof(name), "tank%03d.bmp", static_cast<int>(i + 1));
    EXPECT_EQ(files[i], name);
    if (i != 3) {
      EXPECT_EQ(ReadFileBytes(all + "\\" + name), tank.FrameBmp(i, AmberPalette()));
    }
  }
  EXPECT_EQ(Lower(ExportFolder), Lower(all));

  // Cancel keeps the folder and writes nothing.
  WithFolderChoice(&SaveAllFrames, "");
  EXPECT_EQ(Lower(ExportFolder), Lower(all));
}

HWND g_watched = nullptr;
std::function<void()> g_onDestroy;
HHOOK g_destroyHook = nullptr;

LRESULT CALLBACK WatchDestroy(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_DESTROYWND && reinterpret_cast<HWND>(wParam) == g_watched) {
    UnhookWindowsHookEx(g_destroyHook);
    g_destroyHook = nullptr;
    std::exchange(g_onDestroy, nullptr)();
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Runs `action` on this thread as `window` is destroyed: after a dialog took
// its answer, before the command that showed it goes on.
void WhenDestroyed(HWND window, std::function<void()> action) {
  g_watched = window;
  g_onDestroy = std::move(action);
  g_destroyHook = SetWindowsHookExA(WH_CBT, WatchDestroy, nullptr, GetCurrentThreadId());
}

// A write that fails (here: the file cannot be replaced) leaves the user's
// file as it was, writes nothing partial, is told in one error box, and ends
// a batch.
TEST_F(TCommandsTest, AFailedSaveSaysWhichFileAndDamagesNothing) {
  PutStandardFiles();
  Build();
  ChooseSprite("tank.shp");
  ChooseFrames({1, 2, 4});
  const TBytes old = {'o', 'l', 'd'};
  struct TCase {
    const char* Command;
    const char* Blocked;  // the file that cannot be replaced
    bool Existed;         // whether the user had a file of that name
    TLines Files;         // the folder's files afterwards
  } cases[] = {
      {"selected", "tank003.bmp", true, {"tank002.bmp", "tank003.bmp"}},
      {"all", "tank002.bmp", true, {"tank001.bmp", "tank002.bmp"}},
      {"save", "five.bmp", false, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Command);
    std::string folder = MakeFolder(c.Command);
    std::string target = folder + "\\" + c.Blocked;
    if (c.Existed) WriteFileBytes(target, old);
    std::string seen;
    TKernelHandle held;
    // Made once the dialog was answered: the dialogs would list the folder.
    // A file held open cannot be replaced, nor a folder by a file; the save
    // dialog would step into that folder, so it comes as the dialog closes.
    auto answer = [&] {
      if (c.Existed) {
        held.Reset(CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      } else {
        WhenDestroyed(FindDialog(), [&] { CreateDirectoryA(target.c_str(), nullptr); });
      }
      AnswerErrorBox(&seen);
    };
    if (c.Command == std::string("save")) {
      SaveFrameAs(folder + "\\five", nullptr, answer);
    } else {
      WithFolderChoice(c.Command == std::string("all") ? &SaveAllFrames : &SaveSelectedFrames,
                       folder, nullptr, answer);
    }
    held.Reset();
    EXPECT_EQ(seen, std::string(kProgramName) + " (error) Не удалось записать файл:\n" + target);
    EXPECT_EQ(ReadFileBytes(target), c.Existed ? old : TBytes{});
    EXPECT_EQ(FilesIn(folder), c.Files);
  }
}

TEST_F(TCommandsTest, AFailedCopySaysSo) {
  PutStandardFiles();
  Build();
  ChooseSprite("tank.shp");
  // Another thread holds the clipboard open while the command runs.
  HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    OpenClipboard(nullptr);
    SetEvent(opened);
    WaitForSingleObject(done, 10000);
    CloseClipboard();
  });
  WaitForSingleObject(opened, 10000);
  std::string seen;
  AnswerErrorBox(&seen);
  CopyFrame(main_);
  SetEvent(done);
  holder.join();
  CloseHandle(opened);
  CloseHandle(done);
  EXPECT_EQ(DriverMisses, TLines{});
  EXPECT_EQ(seen,
            std::string(kProgramName) + " (error) Не удалось скопировать кадр в буфер обмена.");
}

}  // namespace
