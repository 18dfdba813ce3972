// The installation itself: the Install button prepares the target on the
// window thread, one worker thread unpacks the payload and places the
// shortcut, and the timer animates the progress panel until the worker's
// completion caption appears, then records, launches and ends the program.
#include <windows.h>
#include <commctrl.h>

#include <exception>

#include "appmessages.h"
#include "codepage.h"
#include "fshelpers.h"
#include "fsys.h"
#include "installrules.h"
#include "resource_names.h"
#include "streams.h"
#include "sysproc.h"
#include "uformresource.h"
#include "win/oldinstall.h"
#include "win/payload.h"
#include "win/registryrecord.h"
#include "win/resourcestream.h"
#include "win/shelllink.h"

namespace vexa {
namespace {

// Timer1: the progress animation and the completion poll.
constexpr UINT_PTR kTimer1Id = 1;
constexpr UINT kTimer1Interval = 800;

// Identifier of the worker thread; its handle is not kept.
DWORD g_install_thread_id = 0;

const char* const kClientProcesses[] = {"vexa.exe", "zrie.exe", "zrerr.exe"};

// The slides of the progress panel: resources the Install button writes
// into the target folder and the timer shows from there in turn.
const wchar_t* const kSlides[] = {res::kSlide1Name, res::kSlide2Name, res::kSlide3Name};

std::string SlideFile(const std::string& target_dir, const wchar_t* slide) {
  return target_dir + "\\" + WideToCp936(slide) + ".jpg";
}

}  // namespace

// ---------------------------------------------------------------- Install button

void TForm1::cxButton1Click(TControl&) {
  for (const char* name : kClientProcesses) KillProcessByName(name);
  if (!FOldInstallDir.empty()) CleanPreviousInstall();

  const auto plan = rules::PlanTargetFolder(Text(*Edit1));
  if (!plan) {
    Notice(rules::kMsgChooseCorrectPath);
    return;
  }
  FTargetDir = plan->drive;
  for (const std::string& level : plan->levels) {
    FTargetDir = level;
    if (!fsys::DirectoryExists(level) && !fsys::CreateDir(level)) {
      Notice(rules::kMsgChooseCorrectPath);
      return;
    }
  }
  ExtractSlides();

  SetVisible(*Panel1, false);
  SetVisible(*Panel2, true);
  SetCaption(rules::kCaptionInstalling);
  RECT panel{};
  GetWindowRect(Panel2->hwnd, &panel);
  const int w = panel.right - panel.left, h = panel.bottom - panel.top;
  SetBounds(*Panel2, 1, 1, w, h);
  SetWindowPos(hwnd_, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  HANDLE thread = CreateThread(nullptr, 0, InstallWorker, nullptr, 0, &g_install_thread_id);
  if (thread) CloseHandle(thread);
}

void TForm1::ExtractSlides() {
  const std::string type = WideToCp936(res::kTextFileType);
  for (const wchar_t* slide : kSlides) {
    // A missing resource ends the handler with the error box; a file that
    // cannot be written is only a slide the timer will skip.
    try {
      win::SaveResourceToFile(type, WideToCp936(slide), SlideFile(FTargetDir, slide));
    } catch (const win::EResourceNotFound&) {
      throw;
    } catch (const std::exception&) {
    }
  }
}

// ---------------------------------------------------------------- worker

DWORD WINAPI TForm1::InstallWorker(LPVOID) {
  TForm1* form = Form1;
  const HWND wnd = form->Handle();
  // Each effect on the window goes to the window thread as a posted
  // message, so they take effect there in the order they were made.
  const win::PayloadResult unpacked =
      win::UnpackPayload(form->FTargetDir, [wnd] { PostMessageW(wnd, WM_INSTALLTIMERON, 0, 0); });
  if (unpacked.outcome == win::PayloadOutcome::Unpacked) {
    PostMessageW(wnd, WM_INSTALLPROGRESS, 100, 0);
    bool placed = false;
    try {
      EnableDebugPrivilege();
      form->CreateDesktopShortcut();
      placed = true;
    } catch (...) {
      // Without the icon or the link object the installation cannot be
      // finished: reported below like a failed unpack.
    }
    if (placed) {
      PostMessageW(wnd, WM_INSTALLDONE, 0, 0);
      return 0;
    }
  }
  // A failed unpack, and every other failure of the worker, is told to the
  // user and ends the program; the previous record stays as it was.
  form->Notice(rules::kMsgFileInUse);
  PostMessageW(wnd, WM_INSTALLABORT, 0, 0);
  return 0;
}

void TForm1::WorkerMessage(UINT msg, WPARAM wp) {
  switch (msg) {
    case WM_INSTALLTIMERON:
      SetTimer1Enabled(true);
      break;
    case WM_INSTALLPROGRESS:
      SetProgress(static_cast<int>(wp));
      break;
    case WM_INSTALLDONE:
      SetCaption(rules::kCaptionInstalled);
      break;
  }
}

void TForm1::CreateDesktopShortcut() {
  EnableDebugPrivilege();
  win::CreateDesktopShortcut(FTargetDir);
}

std::string TForm1::GetShellFolder(const std::string& name) {
  EnableDebugPrivilege();
  return win::GetShellFolder(name);
}

// ---------------------------------------------------------------- previous installation

void TForm1::CleanPreviousInstall() {
  EnableDebugPrivilege();
  win::CleanPreviousInstall(FOldInstallDir);
}

void TForm1::UnregisterOldComponent(const std::string& path) {
  EnableDebugPrivilege();
  win::UnregisterOldComponent(path);
}

// ---------------------------------------------------------------- completion

void TForm1::SetTimer1Enabled(bool enabled) {
  if (enabled)
    SetTimer(hwnd_, kTimer1Id, kTimer1Interval, nullptr);
  else
    KillTimer(hwnd_, kTimer1Id);
}

bool TForm1::IsTimer1(WPARAM id) const { return id == kTimer1Id; }

int TForm1::Progress() const { return static_cast<int>(SendMessageW(ProgressBar1->hwnd, PBM_GETPOS, 0, 0)); }

void TForm1::SetProgress(int position) { SendMessageW(ProgressBar1->hwnd, PBM_SETPOS, static_cast<WPARAM>(position), 0); }

void TForm1::Timer1Timer() {
  if (Caption() == rules::kCaptionInstalled) {
    SetTimer1Enabled(false);
    EnableDebugPrivilege();
    // With no previous installation there is no cache of it to look at.
    if (!FOldInstallDir.empty() && fsys::DirectoryExists(FOldInstallDir + rules::kClientFolder + "\\cache\\"))
      PurgeCache();
    WriteInstallRecord();
    if (Checked(*cxstart)) {
      ShowWindow(hwnd_, SW_HIDE);
      RunProgram(FTargetDir + "\\Vexa.exe", "", true);
    }
    Terminate();
    return;
  }
  if (Progress() < 90) SetProgress(Progress() + 15);

  if (FSlideIndex >= 1 && FSlideIndex <= 3) {
    const std::string file = SlideFile(FTargetDir, kSlides[FSlideIndex - 1]);
    if (fsys::FileExists(file)) {
      try {
        TMemoryStream bytes;
        bytes.LoadFromFile(file);
        if (auto picture = TBitmap32::FromJpeg(bytes.Bytes())) SetPicture(*Image3, std::move(*picture));
      } catch (const std::exception&) {
        // Unreadable now: the slide is skipped for this tick.
      }
    }
  }
  FSlideIndex = FSlideIndex == 3 ? 1 : FSlideIndex + 1;
}

void TForm1::WriteInstallRecord() {
  EnableDebugPrivilege();
  const std::string path = rules::RecordPathFromLocation(Text(*Edit1));
  SYSTEMTIME now{};
  GetLocalTime(&now);
  const std::string lasttime =
      rules::LastTimeText(win::ShortDateText(now), win::LongTimeText(now), win::IsExactMidnight(now));
  win::WriteInstallRecord(FInstallerVersion, path, lasttime);
}

void TForm1::PurgeCache() { DeleteTree(FTargetDir + "\\cache\\"); }

}  // namespace vexa
