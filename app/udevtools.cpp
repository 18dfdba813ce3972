// The window's developer tools: packing a folder into the payload file and
// into Base64 material files, unpacking material files, the memo's text
// codec, and turning every file of a folder into update files and back.
// Each works with the fixed development paths below and asks nothing, except
// the update file tools, which ask for a file in the folder to work on. An
// error a tool does not catch reaches the window's error box.
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "codepage.h"
#include "fsys.h"
#include "fshelpers.h"
#include "material.h"
#include "streams.h"
#include "uformresource.h"
#include "updatefile.h"

namespace vexa {
namespace {

// Payload file of the installer.
constexpr char kPayloadFolder[] = "D:\\vexa\\vevovidi\\";
constexpr char kPayloadFile[] = "d:\\vexa\\vevovidi\\xxx.da";
// Picture material.
constexpr char kPictureFolder[] = "C:\\{a7684f6e-b1e0-4835-ad07-e6e2c0993984}\\resource\\2";
constexpr char kPictureMaterial[] = "C:\\{a7684f6e-b1e0-4835-ad07-e6e2c0993984}\\resource\\1\\VUDFlash2.da";
// Template material, written line by line.
constexpr char kTemplateFolder[] = "D:\\vexa\\LAN\\question\\model\\Template\\tt";
constexpr char kTemplateMaterial[] = "D:\\vexa\\LAN\\question\\model\\Template\\tt\\123.da";
// Material inputs and where they are unpacked.
constexpr char kPhotoshopMaterial[] = "E:\\code\\ddk\\\xC4\xA3\xB0\xE6\\VUDPhotoshop.da";  // "模版"
constexpr char kPhotoshopTarget[] = "C:\\aa\\123";
constexpr char kEmailMaterial[] = "C:\\doc\\drawer\\VUDEmail.da";
constexpr char kEmailTarget[] = "C:\\doc\\image\\";
constexpr char kTestMaterial[] = "c:\\1.txt";
constexpr char kTestTarget[] = "C:\\TEST\\";
// Where decoded update files go.
constexpr char kUpdateOutputFolder[] = "E:\\vexa\\";

// Caption of the box that shows a material's decoded bytes.
constexpr wchar_t kApplicationTitle[] = L"VexaS";

// Packs folder (its records stored under its own path) into the payload
// form; false, with nothing to write, when packing fails.
bool Pack(const char* folder, std::string& payload) { return PackPayload(folder, folder, payload); }

void SaveBytes(std::string bytes, const std::string& path) {
  TStringStream file(std::move(bytes));
  file.SaveToFile(path);
}

// The folder of a path: everything up to and including its last "\".
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The folder of the running program's own file, ending with "\".
std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return FolderOf(WideToCp936(path));
}

// Every file below the folder of the file the user picks; empty when the
// dialog is cancelled.
std::vector<std::string> PickFolderFiles(HWND owner) {
  std::wstring name(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  // The platform's defaults: no filter, title or initial folder, and a
  // typed name need not exist.
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  std::vector<std::string> files;
  if (!GetOpenFileNameW(&ofn)) return files;
  name.resize(wcslen(name.c_str()));
  ListFiles(FolderOf(WideToCp936(name)), files);
  return files;
}

}  // namespace

// ---------------------------------------------------------------- packing

void TForm1::Button1Click(TControl&) {
  std::string payload;
  if (!Pack(kPayloadFolder, payload)) return;
  SaveBytes(std::move(payload), kPayloadFile);
}

void TForm1::Button3Click(TControl&) { WriteMaterialFile(kPictureFolder, kPictureMaterial, kPictureFolder); }

void TForm1::Button10Click(TControl&) {
  std::string text;
  if (!PackMaterial(kTemplateFolder, kTemplateFolder, text)) return;
  SaveTextToFile(text, kTemplateMaterial);
}

// ---------------------------------------------------------------- unpacking

void TForm1::Button6Click(TControl&) {
  const std::string decoded = ReadMaterialBytes(kPhotoshopMaterial);
  try {
    UnpackMaterial(decoded, kPhotoshopTarget);
  } catch (const std::exception&) {
    MessageBoxW(hwnd_, Cp936ToWide(decoded).c_str(), kApplicationTitle, MB_OK);
  }
}

void TForm1::Button7Click(TControl&) {
  const std::string decoded = ReadMaterialBytes(kEmailMaterial);
  try {
    UnpackMaterial(decoded, kEmailTarget);
  } catch (const std::exception&) {
    // A material that does not unpack here shows nothing.
  }
}

void TForm1::Button9Click(TControl&) {
  const std::string decoded = ReadMaterialBytes(kTestMaterial);
  if (!fsys::DirectoryExists(kTestTarget) && !fsys::CreateDir(kTestTarget))
    throw EInOutError(std::string("cannot create ") + kTestTarget + ": " + fsys::LastErrorText());
  UnpackMaterial(decoded, kTestTarget);
}

// ---------------------------------------------------------------- memo

void TForm1::Button2Click(TControl&) { SetText(*Memo1, EncodeMemoText(Text(*Memo1))); }

void TForm1::Button8Click(TControl&) {
  const std::string text = Text(*Memo1);
  const std::string decoded = DecodeMemoText(text);
  // A new line after the existing ones: a text that already ends its last
  // line gets the new one, itself ended, after it.
  const bool ended = text.empty() || (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0);
  SetText(*Memo1, ended ? text + decoded + "\r\n" : text + "\r\n" + decoded);
}

// ---------------------------------------------------------------- update files

void TForm1::Button4Click(TControl&) {
  const std::vector<std::string> files = PickFolderFiles(hwnd_);
  if (files.empty()) return;
  const std::string out = ProgramFolder();
  for (const std::string& path : files) EncodeUpdateFile(path, UpdateOutputPath(out, path));
}

void TForm1::Button5Click(TControl&) {
  for (const std::string& path : PickFolderFiles(hwnd_))
    DecodeUpdateFile(path, UpdateOutputPath(kUpdateOutputFolder, path));
}

}  // namespace vexa
