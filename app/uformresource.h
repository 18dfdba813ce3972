#pragma once
// The installer window TForm1 and its one instance Form1: the frameless
// window with the install group (Panel1) and the progress group (Panel2),
// created from the window description, with the start-up, the location
// check and the window chrome as its handlers.
#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "appconfig.h"
#include "controls.h"
#include "formdesc.h"
#include "picture.h"
#include "skin.h"

namespace vexa {

class TForm1 : private IControlHost {
 public:
  explicit TForm1(HINSTANCE instance);
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // Creates the hidden window and its controls from the description, then
  // runs FormCreate. False when the window itself cannot be created.
  bool Create();
  // Shows the window, unless termination was already asked for.
  void Show();
  // The message loop; returns when the application was told to terminate.
  int Run();
  // Asks the application to terminate: the message loop ends when it
  // reaches the request. Callable on the window thread only.
  void Terminate();
  bool Terminated() const { return terminated_; }
  HWND Handle() const { return hwnd_; }

  // Controls, bound by name from the description.
  TControl* Panel1 = nullptr;
  TControl* Image1 = nullptr;
  TControl* Label2 = nullptr;
  TControl* Label3 = nullptr;
  TControl* Label4 = nullptr;
  TControl* Label1 = nullptr;
  TControl* Image2 = nullptr;
  TControl* Image4 = nullptr;
  TControl* cxButton2 = nullptr;
  TControl* cxprotocol = nullptr;
  TControl* cxstart = nullptr;
  TControl* cxButton1 = nullptr;
  TControl* Edit1 = nullptr;
  TControl* Memo1 = nullptr;
  TControl* Button8 = nullptr;
  TControl* Button9 = nullptr;
  TControl* Button10 = nullptr;
  TControl* Panel2 = nullptr;
  TControl* Image3 = nullptr;
  TControl* ProgressBar1 = nullptr;
  TControl* Button1 = nullptr;
  TControl* Button2 = nullptr;
  TControl* Button3 = nullptr;
  TControl* Button4 = nullptr;
  TControl* Button5 = nullptr;
  TControl* Button6 = nullptr;
  TControl* Button7 = nullptr;

  // State fields. Strings are code page 936.
  std::int32_t FSlideIndex = 0;     // slide the next timer tick shows (1..3)
  std::string FInstallerVersion;    // this installer's version
  std::string FInstalledVersion;    // recorded version, normalised by the gate
  std::string FOldInstallDir;       // recorded location, ends with "\"; empty: none
  std::string FTargetDir;           // folder of the client, no final "\"
  bool FCanDrag = false;            // last left press on Image1 lay in its drag band

  // Start-up.
  void FormCreate();
  void DetectPreviousInstall();
  // Location check and browsing.
  void Edit1Change(TControl& sender);
  void cxButton2Click(TControl& sender);
  // Agreement.
  void cxprotocolClick(TControl& sender);
  void Label3Click(TControl& sender);
  // Window chrome and hover effects.
  void Image1MouseDown(TControl& sender, TMouseButton button, UINT shift, int x, int y);
  void Image1MouseMove(TControl& sender, UINT shift, int x, int y);
  void Image3MouseMove(TControl& sender, UINT shift, int x, int y);
  void Image2MouseDown(TControl& sender, TMouseButton button, UINT shift, int x, int y);
  void Image4MouseDown(TControl& sender, TMouseButton button, UINT shift, int x, int y);
  void Label3MouseEnter(TControl& sender);
  void cxButton1MouseEnter(TControl& sender);
  // Handler of WM_INSTALLABORT: ends the program.
  void WMInstallAbort();

  // Installation (uinstall.cpp). The Install button prepares the target and
  // starts the worker thread, whose entry InstallWorker reaches the window
  // through Form1 and posts its effects to it; Timer1 then animates and
  // completes the installation.
  void cxButton1Click(TControl& sender);
  void ExtractSlides();
  static DWORD WINAPI InstallWorker(LPVOID unused);
  void WorkerMessage(UINT msg, WPARAM wp);
  void CreateDesktopShortcut();
  std::string GetShellFolder(const std::string& name);
  void CleanPreviousInstall();
  void UnregisterOldComponent(const std::string& path);
  void Timer1Timer();
  void WriteInstallRecord();
  void PurgeCache();
  void SetTimer1Enabled(bool enabled);
  bool IsTimer1(WPARAM id) const;
  int Progress() const;
  void SetProgress(int position);
  // Developer tools (udevtools.cpp): packing and material files, the memo
  // codec, update files.
  void Button1Click(TControl& sender);
  void Button2Click(TControl& sender);
  void Button3Click(TControl& sender);
  void Button4Click(TControl& sender);
  void Button5Click(TControl& sender);
  void Button6Click(TControl& sender);
  void Button7Click(TControl& sender);
  void Button8Click(TControl& sender);
  void Button9Click(TControl& sender);
  void Button10Click(TControl& sender);

  // Control state, as the handlers use it. Texts are code page 936.
  std::string Text(const TControl& c) const;
  std::wstring TextW(const TControl& c) const;
  // Sets the text unless it is already the control's text; for an edit the
  // change handler then runs before this returns.
  void SetText(TControl& c, const std::string& text);
  void SetTextW(TControl& c, const std::wstring& text);
  bool Enabled(const TControl& c) const;
  void SetEnabled(TControl& c, bool enabled);
  bool Checked(const TControl& c) const { return c.checked; }
  void SetVisible(TControl& c, bool visible);
  void SetBounds(TControl& c, int left, int top, int width, int height);
  // Gives a picture control a new picture (drawn unscaled at its top-left)
  // and repaints what shows it.
  void SetPicture(TControl& c, TBitmap32 picture);
  // The window caption, code page 936.
  std::string Caption() const;
  void SetCaption(const std::string& caption);
  // A user notice: modal, OK only, no icon, caption "温馨提示".
  void Notice(const std::string& text);

 private:
  static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  bool CreateControls();
  void LoadArtwork();
  HFONT FontFor(const FontSpec& wanted);
  TControl* FindControl(int id);
  void StartWindowMove();
  // Keyboard focus order: Tab and Shift+Tab move along the description's
  // order over the visible, enabled controls.
  bool PreTranslate(const MSG& msg);
  void MoveFocus(bool forward);

  // IControlHost
  void PaintControl(TControl& c, HDC dc) override;
  void ControlClick(TControl& c) override;
  void ControlMouseEnter(TControl& c) override;
  void ControlMouseDown(TControl& c, TMouseButton button, UINT shift, int x, int y) override;
  void ControlMouseMove(TControl& c, UINT shift, int x, int y) override;
  LRESULT ChildNotification(HWND parent, UINT msg, WPARAM wp, LPARAM lp, bool& handled) override;
  bool ShowFocusCues() const override { return focus_cues_; }

  // Painting, each kind in its own routine, into an off-screen buffer.
  void Paint(TControl& c, HDC dc, const RECT& rc);
  void PaintPanel(TControl& c, HDC dc, const RECT& rc);
  void PaintBackdrop(TControl& c, HDC dc, const RECT& rc);
  void PaintLabel(TControl& c, HDC dc, const RECT& rc);
  void PaintPicture(TControl& c, HDC dc, const RECT& rc);
  void PaintSkinButton(TControl& c, HDC dc, const RECT& rc);
  void PaintSkinCheckBox(TControl& c, HDC dc, const RECT& rc);
  // The picture a panel's transparent children show through: the panel's
  // face and bevel with its pictures drawn on them, rebuilt on resize and
  // when a picture changes.
  const TBitmap32* Backdrop(TControl& panel);
  void InvalidateBackdrop(TControl& panel);
  // Runs the change handler of an edit when its text differs from the text
  // the handler saw last.
  void CheckTextChange(TControl& edit);
  // Runs an event handler; an error it raises is shown in the application's
  // error box (its message, OK) and the program goes on.
  template <typename Call>
  void Dispatch(Call&& call);
  void ShowException(const char* message);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  bool terminated_ = false;
  bool focus_cues_ = false;
  std::vector<TControl> controls_;  // in description order
  std::map<std::pair<std::wstring, int>, win::UniqueGdi> fonts_;
  std::optional<TBitmap32> background_;  // Image1's picture
  std::optional<TBitmap32> slide_;       // Image3's picture
  std::optional<TSkin> skin_;
  std::map<int, TBitmap32> pictures_;    // pictures given at run time, by control ID
  std::map<int, TBitmap32> backdrops_;   // by panel ID
  std::wstring browse_folder_;           // folder confirmed last in the browser
  HWND focus_ = nullptr;                 // focused control while inactive
};

// The one main window, reachable from every thread.
extern TForm1* Form1;

}  // namespace vexa
