// Process control and program launch against the real (emulated) Win32 API.
// Two probe programs, which the build puts beside this test program, are
// copied into fixture folders under the names a test needs; each writes
// what it saw (process id, current folder, arguments) to "seen.txt" beside
// itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <future>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "codepage.h"
#include "fsys.h"
#include "sysproc.h"
#include "testfs.h"
#include "win/winraii.h"

namespace vexa {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using test::TempDir;

const std::string kGbk = "\xBF\xBC\xCA\xD4";  // 考试
const std::string kTrail5C = "\x81\x5C";      // 乗: its trail byte is the byte of "\"
// For things that take well under a second; only a fault runs into it.
constexpr DWORD kGenerous = 30000;

std::wstring W(const std::string& s) { return Cp936ToWide(s); }

// The folder of this test program (with its trailing "\").
std::string OwnFolder() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return WideToCp936(path.substr(0, path.find_last_of(L'\\') + 1));
}

// Copies a probe into folder (made when missing) as name; returns its path.
std::string PlaceProbe(const char* probe, const std::string& folder, const std::string& name) {
  if (!fsys::DirectoryExists(folder) && !fsys::CreateDir(folder)) throw std::runtime_error("cannot make " + folder);
  const std::string path = folder + "\\" + name;
  if (!CopyFileW(W(OwnFolder() + probe).c_str(), W(path).c_str(), FALSE))
    throw std::runtime_error("cannot copy " + std::string(probe) + " to " + path);
  return path;
}

struct Seen {
  DWORD pid = 0;
  std::string cwd;
  std::vector<std::string> args;
};

std::optional<Seen> ReadSeen(const std::string& folder) {
  const std::string path = folder + "\\seen.txt";
  if (!fsys::FileExists(path)) return std::nullopt;
  const std::string text = test::ReadBytes(path);
  Seen seen;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find("\r\n", at);
    const std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? text.size() : end + 2;
    if (line.rfind("pid=", 0) == 0) seen.pid = static_cast<DWORD>(std::stoul(line.substr(4)));
    else if (line.rfind("cwd=", 0) == 0) seen.cwd = line.substr(4);
    else if (line.rfind("arg=", 0) == 0) seen.args.push_back(line.substr(4));
  }
  return seen;
}

// Polls for the report. While the probe renames it into place, the file can
// be held for a moment (Wine's rename keeps it open with delete access), so a
// failed read is tried again until the limit; the last try's error stands.
std::optional<Seen> AwaitSeen(const std::string& folder, DWORD limit = kGenerous) {
  for (DWORD waited = 0; waited < limit; waited += 20) {
    try {
      if (auto seen = ReadSeen(folder)) return seen;
    } catch (const std::exception&) {
    }
    Sleep(20);
  }
  return ReadSeen(folder);
}

// The probe that reported from folder, opened with access; null when it is
// gone (or its id now names another program).
win::UniqueHandle OpenProbe(const Seen& seen, const std::string& folder, DWORD access) {
  win::UniqueHandle h(OpenProcess(access | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, seen.pid));
  if (!h) return h;
  std::wstring image(32768, L'\0');
  DWORD size = static_cast<DWORD>(image.size());
  if (!QueryFullProcessImageNameW(h.get(), 0, image.data(), &size)) return win::UniqueHandle();
  image.resize(size);
  const std::wstring prefix = W(folder + "\\");
  if (CompareStringOrdinal(image.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                           static_cast<int>(prefix.size()), TRUE) != CSTR_EQUAL)
    return win::UniqueHandle();
  return h;
}

bool ProbeRunning(const Seen& seen, const std::string& folder) {
  const win::UniqueHandle h = OpenProbe(seen, folder, SYNCHRONIZE);
  return h && WaitForSingleObject(h.get(), 0) == WAIT_TIMEOUT;
}

void EndProbe(const std::string& folder, DWORD await_report) {
  const auto seen = AwaitSeen(folder, await_report);
  if (!seen) return;
  const win::UniqueHandle h = OpenProbe(*seen, folder, PROCESS_TERMINATE | SYNCHRONIZE);
  if (!h) return;
  TerminateProcess(h.get(), 1);
  WaitForSingleObject(h.get(), kGenerous);
}

// Ends, at scope exit, the probe that reports from folder, so that its
// folder can be removed whatever the test's outcome.
class EndProbeOnExit {
 public:
  explicit EndProbeOnExit(std::string folder) : folder_(std::move(folder)) {}
  ~EndProbeOnExit() { EndProbe(folder_, 2000); }
  EndProbeOnExit(const EndProbeOnExit&) = delete;
  EndProbeOnExit& operator=(const EndProbeOnExit&) = delete;

 private:
  std::string folder_;
};

class CurrentDirScope {
 public:
  explicit CurrentDirScope(const std::string& to) : old_(fsys::GetCurrentDir()) { fsys::SetCurrentDir(to); }
  ~CurrentDirScope() { fsys::SetCurrentDir(old_); }
  CurrentDirScope(const CurrentDirScope&) = delete;
  CurrentDirScope& operator=(const CurrentDirScope&) = delete;

 private:
  std::string old_;
};

// Runs RunProgram on a thread of its own and gives it limit ms to return.
// When it does not, the probe reporting from folder is ended (which lets
// the wait end) and the answer is false.
bool RunProgramWithin(const std::string& file, const std::string& parameters, bool wait_for_idle,
                      const std::string& folder, DWORD limit) {
  auto done = std::async(std::launch::async, [&] { RunProgram(file, parameters, wait_for_idle); });
  if (done.wait_for(milliseconds(limit)) == std::future_status::ready) return true;
  EndProbe(folder, kGenerous);
  done.wait();
  return false;
}

// ------------------------------------------------------- image name matching

struct NameCase {
  const char* label;
  std::wstring reported;
  std::string requested;
  bool matches;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }

class ImageNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ImageNameTest, ComparesTheFileNamePart) {
  const NameCase& c = GetParam();
  EXPECT_EQ(ImageNameMatches(c.reported, c.requested), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImageNameTest,
    ::testing::Values(
        NameCase{"Same", L"vexa.exe", "vexa.exe", true},
        NameCase{"Capitals", L"VEXA.EXE", "vexa.exe", true},
        NameCase{"MixedCaseBothSides", L"VeXa.eXe", "vExA.ExE", true},
        NameCase{"FullPath", L"C:\\Program Files\\Vexa\\vexa.exe", "vexa.exe", true},
        NameCase{"DriveRelative", L"C:vexa.exe", "vexa.exe", true},
        NameCase{"FolderOfThatName", L"C:\\vexa.exe\\other.exe", "vexa.exe", false},
        NameCase{"Longer", L"vexa.exe2", "vexa.exe", false},
        NameCase{"Prefixed", L"xvexa.exe", "vexa.exe", false},
        NameCase{"Shorter", L"vexa.ex", "vexa.exe", false},
        NameCase{"GbkWithAsciiCaseDifference", L"\u8003\u8bd5.EXE", kGbk + ".exe", true},
        // 丄 and 乤 are 81 41 and 81 61: the same bytes but for a trail byte
        // that looks like "A" and "a". Only ASCII letters fold.
        NameCase{"TrailByteLooksLikeALetter", L"v\u4e04.exe", "v\x81\x61.exe", false},
        NameCase{"TrailByteSame", L"v\u4e04.exe", "v\x81\x41.exe", true},
        NameCase{"FullwidthLettersDoNotFold", L"\uff56exa.exe", "\xA3\xD6" "exa.exe", false},
        NameCase{"TrailByte5CIsNoSeparator", L"C:\\x\\\u4e57.exe", kTrail5C + ".exe", true},
        NameCase{"NotInCodePage936", L"vexa\u0e01.exe", "vexa?.exe", false},
        NameCase{"EmptyRequest", L"C:\\dir\\", "", false}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

// ------------------------------------------------------------ ending processes

// The started copies, ended at scope exit if a test left them running.
class Started {
 public:
  ~Started() {
    for (auto& p : processes_) {
      TerminateProcess(p.get(), 1);
      WaitForSingleObject(p.get(), kGenerous);
    }
  }
  HANDLE Start(const std::string& path, const std::string& folder) {
    std::wstring command = L"\"" + W(path) + L"\" --stay";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(W(path).c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        W(folder).c_str(), &si, &pi))
      throw std::runtime_error("cannot start " + path);
    win::UniqueHandle thread(pi.hThread);
    processes_.emplace_back(pi.hProcess);
    return pi.hProcess;
  }

 private:
  std::vector<win::UniqueHandle> processes_;
};

TEST(KillProcessByName, EndsExactlyTheMatchingProcesses) {
  TempDir dir;
  const std::string base = dir.path() + "\\" + kGbk;
  ASSERT_TRUE(fsys::CreateDir(base));
  // Names of this run only: the runs under both code pages share one Wine
  // server, and each sees the other's processes.
  const std::string tag = std::to_string(GetCurrentProcessId());
  struct Copy {
    std::string folder;
    std::string name;
  };
  const std::vector<Copy> copies = {
      {"a", "vexa" + tag + ".exe"},          // two instances of one image name
      {"b", "vexa" + tag + ".exe"},
      {"c", "VEXA" + tag + ".EXE"},          // the same name in capitals
      {"d", "vexa" + tag + "\x81\x41.exe"},  // 丄
      {"e", "vexa" + tag + "\x81\x61.exe"},  // 乤: differs from 丄 in a trail byte only
  };
  Started started;
  std::vector<HANDLE> handles;
  for (const Copy& c : copies) {
    const std::string folder = base + "\\" + c.folder;
    handles.push_back(started.Start(PlaceProbe("vexa_probe_console.exe", folder, c.name), folder));
  }
  // Once each has reported, it runs under its name.
  for (const Copy& c : copies) ASSERT_TRUE(AwaitSeen(base + "\\" + c.folder)) << c.name << " did not start";

  struct Step {
    const char* label;
    std::string request;
    std::vector<bool> alive;  // per copy, after the request
  };
  const std::vector<Step> steps = {
      {"NameOfNoProcess", "vexa" + tag + "x.exe", {true, true, true, true, true}},
      {"NonAsciiCharacter", "vexa" + tag + "\x81\x61.exe", {true, true, true, true, false}},
      {"EveryInstanceInAnyLetterCase", "VeXa" + tag + ".ExE", {false, false, false, true, false}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.label);
    KillProcessByName(step.request);
    std::vector<HANDLE> alive;
    for (std::size_t i = 0; i < copies.size(); ++i) {
      if (step.alive[i]) {
        alive.push_back(handles[i]);
        continue;
      }
      ASSERT_EQ(WaitForSingleObject(handles[i], kGenerous), WAIT_OBJECT_0) << copies[i].name << " still runs";
      DWORD code = 1;
      GetExitCodeProcess(handles[i], &code);
      EXPECT_EQ(code, 0u) << copies[i].name;
    }
    // Ending is asynchronous: a copy wrongly ended would be gone soon after.
    EXPECT_EQ(WaitForMultipleObjects(static_cast<DWORD>(alive.size()), alive.data(), FALSE, 1000),
              static_cast<DWORD>(WAIT_TIMEOUT))
        << "a copy that does not match has ended";
  }
}

// ---------------------------------------------------------------- launching

struct LaunchCase {
  const char* label;
  std::string folder;   // one level below the temporary folder
  std::string program;  // the probe's name there
  bool bare;            // started by its bare name from inside its folder
  std::string parameters;
  std::vector<std::string> args;
};

void PrintTo(const LaunchCase& c, std::ostream* os) { *os << c.label; }

class RunProgramIdleTest : public ::testing::TestWithParam<LaunchCase> {};

// With the wait-for-idle flag the probe has made its window and written its
// report (it does so just before its message loop) when RunProgram returns.
TEST_P(RunProgramIdleTest, ReturnsWhenTheProgramIsReadyForInput) {
  const LaunchCase& c = GetParam();
  TempDir dir;
  const std::string folder = dir.path() + "\\" + c.folder;
  const std::string probe = PlaceProbe("vexa_probe_window.exe", folder, c.program);
  EndProbeOnExit end(folder);
  std::optional<CurrentDirScope> inside;
  if (c.bare) inside.emplace(folder);

  ASSERT_TRUE(RunProgramWithin(c.bare ? c.program : probe, c.parameters, true, folder, kGenerous))
      << "did not return once the program was ready";
  const auto seen = ReadSeen(folder);
  ASSERT_TRUE(seen) << "returned before the program was ready for input";
  EXPECT_EQ(seen->cwd, folder);
  EXPECT_EQ(seen->args, c.args);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunProgramIdleTest,
    ::testing::Values(
        LaunchCase{"GbkFolderAndQuotedArguments", kGbk + " folder", "probe.exe", false,
                   "one \"two words\" " + kGbk, {"one", "two words", kGbk}},
        // A byte-wise search for the last "\" would cut inside the name.
        LaunchCase{"TrailByte5CInFolderAndProgramName", "x" + kTrail5C, kTrail5C + ".exe", false, "", {}},
        LaunchCase{"BareNameStartsInTheCallersFolder", kGbk + kTrail5C, "probe.exe", true, "p", {"p"}}),
    [](const ::testing::TestParamInfo<LaunchCase>& info) { return std::string(info.param.label); });

// Without the flag it waits for the end of the program, or for 3 s when that
// comes first; it must not return before either.
TEST(RunProgram, WithoutIdleWaitReturnsOnceTheProgramHasEnded) {
  TempDir dir;
  const std::string folder = dir.path() + "\\" + kGbk;
  const std::string probe = PlaceProbe("vexa_probe_console.exe", folder, "quick.exe");
  EndProbeOnExit end(folder);
  const auto start = steady_clock::now();
  ASSERT_TRUE(RunProgramWithin(probe, "x", false, folder, 60000)) << "the wait has no bound";
  const auto took = steady_clock::now() - start;
  if (const auto seen = ReadSeen(folder)) {
    EXPECT_EQ(seen->args, std::vector<std::string>{"x"});
    if (took < milliseconds(2500)) {
      EXPECT_FALSE(ProbeRunning(*seen, folder)) << "returned while it still ran";
    }
  } else {
    EXPECT_GE(took, milliseconds(2500)) << "returned before the program ended and before the 3 s bound";
  }
}

TEST(RunProgram, WithoutIdleWaitGivesUpOnAProgramThatStays) {
  TempDir dir;
  const std::string folder = dir.path() + "\\" + kGbk;
  const std::string probe = PlaceProbe("vexa_probe_console.exe", folder, "stays.exe");
  EndProbeOnExit end(folder);
  const auto start = steady_clock::now();
  ASSERT_TRUE(RunProgramWithin(probe, "--stay", false, folder, 60000)) << "the wait has no bound";
  EXPECT_GE(steady_clock::now() - start, milliseconds(2500)) << "did not wait for the program";
  const auto seen = AwaitSeen(folder);
  ASSERT_TRUE(seen) << "the program did not start";
  EXPECT_TRUE(ProbeRunning(*seen, folder));
}

// The shell reports the failure itself (when it can show a message); the
// call returns either way.
TEST(RunProgram, MissingProgramReturns) {
  TempDir dir;
  for (bool wait : {true, false}) {
    SCOPED_TRACE(wait ? "wait for idle" : "bounded wait");
    EXPECT_TRUE(RunProgramWithin(dir.path() + "\\" + kGbk + "\\missing.exe", "", wait, dir.path(), 60000));
  }
}

// ------------------------------------------------------------ debug privilege

std::optional<bool> DebugPrivilegeOn(HANDLE token, const LUID& luid) {
  DWORD size = 0;
  GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  std::vector<unsigned char> buf(size);
  if (size == 0 || !GetTokenInformation(token, TokenPrivileges, buf.data(), size, &size)) return std::nullopt;
  const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buf.data());
  for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
    const LUID_AND_ATTRIBUTES& p = privileges->Privileges[i];
    if (p.Luid.LowPart == luid.LowPart && p.Luid.HighPart == luid.HighPart)
      return (p.Attributes & SE_PRIVILEGE_ENABLED) != 0;
  }
  return std::nullopt;
}

TEST(EnableDebugPrivilege, RepeatableFromTwoThreadsAndLeavesItOn) {
  win::UniqueHandle token;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_ADJUST_PRIVILEGES, token.put()));
  LUID luid{};
  ASSERT_TRUE(LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &luid));
  if (!DebugPrivilegeOn(token.get(), luid)) GTEST_SKIP() << "this token does not hold the debug privilege";
  // Off first, so that what follows shows the routine switching it on.
  TOKEN_PRIVILEGES off{};
  off.PrivilegeCount = 1;
  off.Privileges[0].Luid = luid;
  off.Privileges[0].Attributes = 0;
  ASSERT_TRUE(AdjustTokenPrivileges(token.get(), FALSE, &off, sizeof off, nullptr, nullptr));
  ASSERT_EQ(DebugPrivilegeOn(token.get(), luid), std::optional<bool>(false));

  auto repeat = [] {
    for (int i = 0; i < 200; ++i) EnableDebugPrivilege();
  };
  std::thread a(repeat), b(repeat);
  a.join();
  b.join();
  EXPECT_EQ(DebugPrivilegeOn(token.get(), luid), std::optional<bool>(true));
}

}  // namespace
}  // namespace vexa
