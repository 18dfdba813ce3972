#pragma once
// What every scenario driver shares: verdict lines, requests to the wrapping
// script (xdotool gestures, screenshots), bounded waits, and finding and
// reading the windows of the program under test.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vexa::uitest {

std::string Utf8(const std::wstring& w);

// Prints one verdict line ("ok ..." or "FAIL ..."), counts failures.
bool Check(bool ok, const std::string& what, const std::string& detail = std::string());
bool CheckText(const std::wstring& got, const std::wstring& want, const std::string& what);
// Verdicts after this carry "[label]" (empty: none), to tell scenarios apart.
void SetCheckLabel(const std::string& label);
int Failures();

// Sends one request line to the wrapping script and waits for its "ok".
bool Request(const std::string& line);
bool Xdotool(const std::string& args);
// Saves that part of the screen as name.
void Shot(const std::string& name, const RECT& r);

// Waits for cond, checking every 50 ms, for at most limit_ms. Only a bound
// on how long a failure takes to show; nothing is measured.
bool WaitFor(const std::function<bool()>& cond, DWORD limit_ms = 10000);

std::wstring ClassOf(HWND w);
// Text of a window of another process, through WM_GETTEXT.
std::wstring TextOf(HWND w);
std::vector<HWND> TopWindows();
std::vector<HWND> Descendants(HWND parent);
// A top-level window of the class, of process pid (any process for 0);
// with visible_only, only a visible one.
HWND FindTopWindow(DWORD pid, const wchar_t* cls, bool visible_only = false);
// The descendant of form with that control ID.
HWND Control(HWND form, int id);

RECT ScreenRect(HWND w);
POINT Centre(HWND w);
// A real mouse click (through xdotool) at a point of the screen, or at the
// middle of a window.
void ClickAt(POINT p, int button = 1);
void ClickAt(HWND w);
// Types text into an edit as keystrokes: everything selected and erased
// first, then one character after the other, each a change of its own.
void Type(HWND edit, const std::wstring& text);
bool Checked(HWND box);
// Lets the program under test take what is in its queue.
void Settle(HWND form);

// The program under test, started by its path with no arguments. Whatever
// still runs of it when the object goes is ended, and its handles closed.
class Launched {
 public:
  Launched() = default;
  ~Launched();
  Launched(const Launched&) = delete;
  Launched& operator=(const Launched&) = delete;

  // Checks that it starts.
  bool Launch(const std::wstring& exe);
  bool Ended(DWORD limit_ms = 10000) const;
  DWORD Pid() const { return pi_.dwProcessId; }

 private:
  PROCESS_INFORMATION pi_{};
};

// The installer's registry record, as a previous installation leaves it.
void ClearRecord();
// Checks that the record (version and path, nothing else) is written.
void SetRecord(const std::wstring& version, const std::wstring& path);

// The whole content of a file; empty when it cannot be read.
std::string FileBytes(const std::wstring& path);

// The bytes of a resource of the program file exe; empty when it has none.
std::string ResourceOf(const std::wstring& exe, const wchar_t* type, const wchar_t* name);

}  // namespace vexa::uitest
