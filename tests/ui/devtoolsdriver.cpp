// Drives the installer window's hidden developer tools by message: each
// tool button is clicked (BM_CLICK to the control found by its ID, from a
// thread of its own, so that a box or dialog the tool opens can be read and
// answered here), with the tools' fixed folders on C:, D: and E: prepared
// beforehand, and what the tools write is checked byte for byte.
//
// Usage: devtoolsdriver <path of VexaS.exe>
//
// Run by run-ui-scenario.sh with VEXA_UI_DRIVES="d e". Every output line is
// a verdict ("ok ..." or "FAIL ..."); the exit code is 0 when every check
// held.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base64.h"
#include "codepage.h"
#include "driverkit.h"
#include "controlids.h"
#include "fsys.h"
#include "material.h"
#include "testfs.h"

namespace {

using namespace vexa::uitest;

// The tools pack and unpack whole trees: they get longer than a window.
constexpr DWORD kToolWait = 20000;

using vexa::Cp936ToWide;
using vexa::WideToCp936;
namespace ids = vexa::ids;
namespace t = vexa::test;
using Tree = std::vector<std::pair<std::string, std::string>>;


std::string Names(const Tree& tree) {
  std::string s;
  for (const auto& [name, bytes] : tree) s += Utf8(Cp936ToWide(name)) + "(" + std::to_string(bytes.size()) + ") ";
  return s;
}

bool CheckTree(const std::string& folder, const Tree& want, const std::string& what) {
  const Tree got = t::Snapshot(folder);
  return Check(got == want, what, got == want ? "" : "got " + Names(got) + "want " + Names(want));
}

// ------------------------------------------------------------ windows

void SetTextOf(HWND w, const std::wstring& text) {
  DWORD_PTR r = 0;
  SendMessageTimeoutW(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &r);
}

// The text of a message box: its longest static text.
std::wstring BoxText(HWND box) {
  std::wstring text;
  for (HWND w : Descendants(box)) {
    if (ClassOf(w) != L"Static") continue;
    std::wstring s = TextOf(w);
    if (s.size() > text.size()) text = std::move(s);
  }
  return text;
}

// ------------------------------------------------------------ the program

struct Program : Launched {
  HWND form = nullptr;

  bool Start(const std::wstring& exe) {
    if (!Launch(exe)) return false;
    return Check(WaitFor([&] { return (form = FindTopWindow(Pid(), ids::kFormClass, true)) != nullptr; }, kToolWait),
                 "the installer window appears");
  }
};

Program* g_program = nullptr;

DWORD WINAPI SendClick(LPVOID button) {
  DWORD_PTR r = 0;
  SendMessageTimeoutW(static_cast<HWND>(button), BM_CLICK, 0, 0, SMTO_NORMAL, 120000, &r);
  return 0;
}

// One click on a tool button, delivered synchronously from a thread of its
// own: the thread ends when the tool's handler has returned.
class Press {
 public:
  Press(int id, const std::string& name) : name_(name) {
    HWND button = Control(g_program->form, id);
    if (!Check(button != nullptr, name + ": the button exists")) return;
    thread_ = CreateThread(nullptr, 0, SendClick, button, 0, nullptr);
    // The tool returns, or shows a box or dialog and waits in it.
    WaitFor([&] { return Returned(0) || (box_ = FindTopWindow(g_program->Pid(), L"#32770", true)) != nullptr; },
            kToolWait);
  }
  ~Press() {
    if (thread_) {
      WaitForSingleObject(thread_, 30000);
      CloseHandle(thread_);
    }
  }
  Press(const Press&) = delete;
  Press& operator=(const Press&) = delete;

  bool Returned(DWORD limit_ms) const { return thread_ && WaitForSingleObject(thread_, limit_ms) == WAIT_OBJECT_0; }
  // The box or dialog the tool showed, or nullptr.
  HWND box() const { return box_; }

  // Expects the tool to have finished without showing anything.
  bool Quiet() const {
    if (box_) Check(false, name_ + ": no box is shown", "box says \"" + Utf8(BoxText(box_)) + "\"");
    return Check(!box_ && Returned(0), name_ + ": the tool runs to its end with nothing shown");
  }
  // Expects a box, closes it with OK and expects the tool to return.
  std::wstring TakeBox() {
    if (!Check(box_ != nullptr, name_ + ": a box is shown")) return std::wstring();
    const std::wstring text = BoxText(box_);
    Answer(IDOK);
    Check(!box_ && Returned(0), name_ + ": the tool returns once its box is closed");
    return text;
  }
  // Answers the box shown with command, then waits for the tool to return
  // or to show another box, which box() then gives.
  void Answer(int command) {
    const HWND answered = box_;
    box_ = nullptr;
    if (!answered) return;
    PostMessageW(answered, WM_COMMAND, command, 0);
    WaitFor([&] {
      if (Returned(0)) return true;
      return !IsWindow(answered) && (box_ = FindTopWindow(g_program->Pid(), L"#32770", true)) != nullptr;
    }, kToolWait);
  }
  // Chooses path in the file-open dialog the tool shows.
  void ChooseFile(const std::wstring& path) {
    if (!Check(box_ != nullptr, name_ + ": the file dialog opens")) return;
    HWND name = Control(box_, 0x47C);        // the file name box (cmb13)
    if (!name) name = Control(box_, 0x480);  // or edt1
    if (!Check(name != nullptr, name_ + ": the file dialog has a file name box")) return Answer(IDCANCEL);
    SetTextOf(name, path);
    Answer(IDOK);
  }

 private:
  std::string name_;
  HANDLE thread_ = nullptr;
  HWND box_ = nullptr;
};

// ------------------------------------------------------------ fixtures

// A small tree with an empty file, binary bytes, a subfolder and names
// outside ASCII (code page 936).
void MakeTree(const std::string& root) {
  t::RemoveAll(root);
  t::MakeDirs(root + "\\sub\\\xC9\xEE");  // "深"
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>(i * 7 % 256);
  t::WriteBytes(root + "\\a.txt", "hello\r\n");
  t::WriteBytes(root + "\\\xBF\xD5.bin", "");  // "空"
  t::WriteBytes(root + "\\sub\\b.bin", binary);
  t::WriteBytes(root + "\\sub\\\xC9\xEE\\c.dat", "\xD6\xD0\xCE\xC4");  // "中文"
}

bool IsLineForm(const std::string& text, std::size_t width) {
  std::size_t at = 0;
  while (text.size() - at > width) {
    if (text.compare(at + width, 2, "\r\n") != 0) return false;
    at += width + 2;
  }
  return text.find_first_of("\r\n", at) == std::string::npos;
}

// The same Base64 text in lines of width, a CR LF after the last one too.
std::string Rewrap(const std::string& text, std::size_t width) {
  std::string plain;
  for (char c : text)
    if (c != '\r' && c != '\n') plain += c;
  std::string out;
  for (std::size_t at = 0; at < plain.size(); at += width) out += plain.substr(at, width) + "\r\n";
  return out;
}

// ------------------------------------------------------------ scenarios

const char kPayloadFolder[] = "D:\\vexa\\vevovidi";
const char kPictureFolder[] = "C:\\{a7684f6e-b1e0-4835-ad07-e6e2c0993984}\\resource\\2";
const char kPictureMaterial[] = "C:\\{a7684f6e-b1e0-4835-ad07-e6e2c0993984}\\resource\\1\\VUDFlash2.da";

// Button1 packs its folder into the payload file inside that folder.
void PayloadFile() {
  MakeTree(kPayloadFolder);
  const Tree source = t::Snapshot(kPayloadFolder);
  const std::string out = std::string(kPayloadFolder) + "\\xxx.da";
  Press(ids::Button1, "Button1").Quiet();
  const std::string first = t::ReadBytes(out);
  t::RemoveAll("D:\\check1");
  try {
    Check(vexa::UnpackMaterial(first, "D:\\check1"), "Button1: its payload file unpacks whole");
  } catch (const std::exception& e) {
    Check(false, "Button1: its payload file unpacks", e.what());
  }
  CheckTree("D:\\check1", source, "Button1: the payload holds the folder's tree");

  Press(ids::Button1, "Button1 again").Quiet();
  t::RemoveAll("D:\\check2");
  try {
    vexa::UnpackMaterial(t::ReadBytes(out), "D:\\check2");
  } catch (const std::exception& e) {
    Check(false, "Button1 again: its payload file unpacks", e.what());
  }
  Check(t::ReadBytes("D:\\check2\\xxx.da") == first, "Button1 again: the new payload carries the first output");
  t::RemoveAll("D:\\check2\\xxx.da");
  CheckTree("D:\\check2", source, "Button1 again: and the rest of the tree");
}

// Button3 writes the picture material; Button7 unpacks a material in any
// line form and shows nothing for one that does not unpack. Returns the
// material text.
std::string MaterialRoundTrip() {
  MakeTree(kPictureFolder);
  const Tree source = t::Snapshot(kPictureFolder);
  t::MakeDirs("C:\\{a7684f6e-b1e0-4835-ad07-e6e2c0993984}\\resource\\1");
  Press(ids::Button3, "Button3").Quiet();
  const std::string text = t::ReadBytes(kPictureMaterial);
  Check(text.size() > 76 && IsLineForm(text, 76),
        "Button3: the material is Base64 in 76-character CR LF lines, nothing after the last");

  struct Row {
    const char* name;
    std::string material;
  } rows[] = {{"as Button3 writes it", text}, {"64-character lines, CR LF after the last", Rewrap(text, 64)}};
  t::MakeDirs("C:\\doc\\drawer");
  for (const Row& row : rows) {
    t::WriteBytes("C:\\doc\\drawer\\VUDEmail.da", row.material);
    t::RemoveAll("C:\\doc\\image");
    Press(ids::Button7, std::string("Button7, material ") + row.name).Quiet();
    CheckTree("C:\\doc\\image", source, std::string("Button7, material ") + row.name + ": the tree is restored");
  }
  t::WriteBytes("C:\\doc\\drawer\\VUDEmail.da", "bm90IGEgemxpYiBzdHJlYW0=");
  t::RemoveAll("C:\\doc\\image");
  Press(ids::Button7, "Button7, not a material").Quiet();
  Check(!vexa::fsys::DirectoryExists("C:\\doc\\image\\") || t::Snapshot("C:\\doc\\image").empty(),
        "Button7, not a material: nothing is unpacked");
  return text;
}

// Button6 shows the decoded bytes when its target's parent is missing, and
// unpacks once it is there.
void MaterialIntoMissingParent(const std::string& material) {
  const std::string folder = "E:\\code\\ddk\\\xC4\xA3\xB0\xE6";  // "模版"
  t::MakeDirs(folder);
  t::WriteBytes(folder + "\\VUDPhotoshop.da", material);
  t::RemoveAll("C:\\aa");
  std::wstring want = Cp936ToWide(vexa::DecodeBase64(material));
  want.resize(std::wcslen(want.c_str()));  // a box shows the text up to its first zero
  {
    Press p(ids::Button6, "Button6, no C:\\aa");
    CheckText(p.TakeBox(), want, "Button6, no C:\\aa: the box shows the decoded bytes");
  }
  Check(!vexa::fsys::DirectoryExists("C:\\aa"), "Button6, no C:\\aa: nothing is created");
  t::MakeDirs("C:\\aa");
  Press(ids::Button6, "Button6 with C:\\aa").Quiet();
  CheckTree("C:\\aa\\123", t::Snapshot(kPictureFolder), "Button6 with C:\\aa: the tree is unpacked");
}

// Button9 creates its target itself; what it does not catch reaches the
// error box, and the window goes on.
void MaterialIntoTest(const std::string& material) {
  t::WriteBytes("c:\\1.txt", material);
  t::RemoveAll("C:\\TEST");
  Press(ids::Button9, "Button9").Quiet();
  CheckTree("C:\\TEST", t::Snapshot(kPictureFolder), "Button9: C:\\TEST is created and holds the tree");

  t::WriteBytes("c:\\1.txt", "bm90IGEgemxpYiBzdHJlYW0=");
  t::RemoveAll("C:\\TEST");
  {
    Press p(ids::Button9, "Button9, not a material");
    Check(!p.TakeBox().empty(), "Button9, not a material: the error box shows a message");
  }
  // The folder is made before the material is read for its tree.
  Check(vexa::fsys::DirectoryExists("C:\\TEST\\"), "Button9, not a material: C:\\TEST is created first");
  CheckTree("C:\\TEST", Tree{}, "Button9, not a material: nothing is unpacked");

  DeleteFileW(L"c:\\1.txt");
  Press p(ids::Button9, "Button9, no input");
  const std::wstring text = p.TakeBox();
  Check(text.find(L"1.txt") != std::wstring::npos, "Button9, no input: the error box names the file",
        Utf8(text));
}

// Button2 then Button8: the Base64 form, then the text again on a new line.
void MemoRoundTrip() {
  HWND memo = Control(g_program->form, ids::Memo1);
  const std::wstring start = L"第一行\r\nsecond line";
  SetTextOf(memo, start);
  Press(ids::Button2, "Button2").Quiet();
  const std::wstring encoded = TextOf(memo);
  CheckText(encoded, Cp936ToWide(vexa::EncodeMemoText(WideToCp936(start))), "Button2: the memo holds the Base64 form");
  Press(ids::Button8, "Button8").Quiet();
  CheckText(TextOf(memo), encoded + L"\r\n" + start, "Button8: the text follows on a new line");

  const std::wstring junk = L"这不是压缩数据";
  SetTextOf(memo, junk);
  {
    Press p(ids::Button8, "Button8, not a memo form");
    Check(!p.TakeBox().empty(), "Button8, not a memo form: the error box shows a message");
  }
  CheckText(TextOf(memo), junk, "Button8, not a memo form: the memo is unchanged");
}

// Button4 encodes every file below the chosen one's folder into the
// program's folder; Button5 decodes them into E:\vexa\.
void UpdateFiles(const std::string& program_folder) {
  struct File {
    const char* input;   // below E:\upd
    const char* output;  // its update file's name
    std::string bytes;
  };
  std::string large;
  for (int i = 0; i < 100000; ++i) large += static_cast<char>((i * 31 + i / 97) % 256);
  const File files[] = {
      {"data.bin", "data.txt", large},
      {"empty", "empty.txt", ""},
      {"note.txt", "note.txt", "text\r\n"},
      {"sub\\\xC9\xEE.dat", "\xC9\xEE.txt", "\xD6\xD0\xCE\xC4"},  // "深.dat", "中文"
      {"sub\\my.arch.gz", "my.arch.txt", std::string("\0\1\2", 3)},
  };
  t::RemoveAll("E:\\upd");
  t::MakeDirs("E:\\upd\\sub");
  for (const File& f : files) t::WriteBytes(std::string("E:\\upd\\") + f.input, f.bytes);
  {
    Press p(ids::Button4, "Button4, cancelled");
    Check(p.box() != nullptr, "Button4: the file dialog opens");
    p.Answer(IDCANCEL);
    p.Quiet();
  }
  Check(t::Snapshot(program_folder).size() == 1, "Button4, cancelled: nothing is written");

  {
    Press p(ids::Button4, "Button4");
    p.ChooseFile(L"E:\\upd\\note.txt");
    p.Quiet();
  }
  t::RemoveAll("E:\\enc");
  t::MakeDirs("E:\\enc");
  for (const File& f : files) {
    const std::string encoded = t::ReadBytes(program_folder + "\\" + f.output);
    const std::string name = std::string("Button4: ") + Utf8(Cp936ToWide(f.output));
    const auto n = static_cast<std::uint32_t>(f.bytes.size());
    const std::string length{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                             static_cast<char>(n >> 24)};
    Check(encoded.size() > 4 && encoded.compare(0, 4, length) == 0, name + " starts with the content length");
    t::WriteBytes("E:\\enc\\" + std::string(f.output), encoded);
  }
  Check(t::ReadBytes(program_folder + "\\empty.txt") == t::FromHex("00 00 00 00 78 9c 03 00 00 00 00 01"),
        "Button4: an empty file gives length 0 and the empty zlib stream");

  t::RemoveAll("E:\\vexa");
  {
    Press p(ids::Button5, "Button5, no E:\\vexa\\");
    p.ChooseFile(L"E:\\enc\\data.txt");
    const std::wstring text = p.TakeBox();
    Check(text.find(L"E:\\vexa\\") != std::wstring::npos, "Button5, no E:\\vexa\\: the error box names the output",
          Utf8(text));
  }

  t::MakeDirs("E:\\vexa");
  {
    Press p(ids::Button5, "Button5");
    p.ChooseFile(L"E:\\enc\\data.txt");
    p.Quiet();
  }
  Tree want;
  for (const File& f : files) want.emplace_back(f.output, f.bytes);
  std::sort(want.begin(), want.end());
  CheckTree("E:\\vexa", want, "Button5: every file's bytes are restored under its .txt name");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: devtoolsdriver <VexaS.exe>\n");
    return 2;
  }
  // The program runs from a folder of its own: Button4 writes there.
  const std::string folder = "C:\\vexaprog";
  t::RemoveAll(folder);
  t::MakeDirs(folder);
  const std::wstring exe = Cp936ToWide(folder) + L"\\VexaS.exe";
  if (!Check(CopyFileW(argv[1], exe.c_str(), FALSE) != FALSE, "VexaS.exe is copied to its own folder")) return 1;
  for (const char* drive : {"D:\\", "E:\\"})
    if (!Check(vexa::fsys::DirectoryExists(drive), std::string("drive ") + drive + " is mapped")) return 1;

  Program program;
  g_program = &program;
  if (!program.Start(exe)) return 1;
  PayloadFile();
  const std::string material = MaterialRoundTrip();
  MaterialIntoMissingParent(material);
  MaterialIntoTest(material);
  MemoRoundTrip();
  UpdateFiles(folder);
  Check(IsWindowVisible(program.form) != FALSE, "the window is still open after every tool");
  PostMessageW(program.form, WM_CLOSE, 0, 0);
  Check(program.Ended(), "the window still closes");
  std::printf("%s\n", Failures() ? "FAILED" : "PASSED");
  return Failures() ? 1 : 0;
}
