#pragma once
// Registry fixtures for tests that change the prefix's registry: the state
// of one key or one value is saved on construction and put back on
// destruction, whatever the test did in between.
#include <windows.h>

#include <string>
#include <vector>

namespace vexa::test {

struct SavedValue {
  std::wstring name;
  DWORD type = 0;
  std::vector<BYTE> data;
};

inline bool ReadValue(HKEY key, const std::wstring& name, SavedValue& out) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  out.name = name;
  out.type = type;
  out.data.assign(size, 0);
  return RegQueryValueExW(key, name.c_str(), nullptr, &type, out.data.data(), &size) == ERROR_SUCCESS;
}

inline void PutValue(HKEY key, const SavedValue& v) {
  RegSetValueExW(key, v.name.c_str(), 0, v.type, v.data.empty() ? nullptr : v.data.data(),
                 static_cast<DWORD>(v.data.size()));
}

// A whole key (its values; it has no subkeys of interest) of root.
class KeyBackup {
 public:
  KeyBackup(HKEY root, std::wstring path) : root_(root), path_(std::move(path)) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root_, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    existed_ = true;
    for (DWORD i = 0;; ++i) {
      wchar_t name[16384];
      DWORD len = 16384;
      if (RegEnumValueW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      SavedValue v;
      if (ReadValue(key, std::wstring(name, len), v)) values_.push_back(v);
    }
    RegCloseKey(key);
  }
  ~KeyBackup() {
    RegDeleteTreeW(root_, path_.c_str());
    RegDeleteKeyW(root_, path_.c_str());
    if (!existed_) return;
    HKEY key = nullptr;
    if (RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      return;
    for (const auto& v : values_) PutValue(key, v);
    RegCloseKey(key);
  }
  KeyBackup(const KeyBackup&) = delete;
  KeyBackup& operator=(const KeyBackup&) = delete;

 private:
  HKEY root_;
  std::wstring path_;
  bool existed_ = false;
  std::vector<SavedValue> values_;
};

// One value of root\path (the key is expected to exist or is created).
class ValueBackup {
 public:
  ValueBackup(HKEY root, const std::wstring& path, std::wstring name) : name_(std::move(name)) {
    RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    if (key_) existed_ = ReadValue(key_, name_, saved_);
  }
  ~ValueBackup() {
    if (!key_) return;
    if (existed_)
      PutValue(key_, saved_);
    else
      RegDeleteValueW(key_, name_.c_str());
    RegCloseKey(key_);
  }
  ValueBackup(const ValueBackup&) = delete;
  ValueBackup& operator=(const ValueBackup&) = delete;
  HKEY key() const { return key_; }

 private:
  HKEY key_ = nullptr;
  std::wstring name_;
  bool existed_ = false;
  SavedValue saved_;
};

inline void SetSz(HKEY key, const std::wstring& name, const std::wstring& value, DWORD type = REG_SZ) {
  RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

inline void SetDword(HKEY key, const std::wstring& name, DWORD value) {
  RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace vexa::test
