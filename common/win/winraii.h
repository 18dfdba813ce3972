#pragma once
// One owner type per Win32 handle kind, each with its own invalid value.
// Copy is deleted, move is allowed; the destructor releases. Kept in one
// small header so every Win32 unit uses the same owners.
#include <windows.h>
#include <objbase.h>

#include <utility>

namespace vexa::win {

// Generic owner: Traits gives the handle type, its invalid value and Close.
template <typename Traits>
class Unique {
 public:
  using Handle = typename Traits::Handle;
  Unique() noexcept : h_(Traits::Invalid()) {}
  explicit Unique(Handle h) noexcept : h_(h) {}
  ~Unique() { reset(); }
  Unique(Unique&& o) noexcept : h_(o.release()) {}
  Unique& operator=(Unique&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;

  Handle get() const noexcept { return h_; }
  bool valid() const noexcept { return h_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return valid(); }
  Handle release() noexcept { return std::exchange(h_, Traits::Invalid()); }
  void reset(Handle h = Traits::Invalid()) noexcept {
    if (valid()) Traits::Close(h_);
    h_ = h;
  }
  // For APIs that fill in a handle: releases the old one first.
  Handle* put() noexcept {
    reset();
    return &h_;
  }

 private:
  Handle h_;
};

// Process, thread, token, event: invalid at null.
struct KernelTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { CloseHandle(h); }
};
// File and Toolhelp snapshot handles: invalid at INVALID_HANDLE_VALUE.
struct FileTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};
struct FindTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { FindClose(h); }
};
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { RegCloseKey(h); }
};
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { FreeLibrary(h); }
};
struct GdiTraits {
  using Handle = HGDIOBJ;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
};
struct MemDcTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DeleteDC(h); }
};
struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DestroyIcon(h); }
};

using UniqueHandle = Unique<KernelTraits>;
using UniqueFile = Unique<FileTraits>;  // also Toolhelp snapshots
using UniqueFind = Unique<FindTraits>;
using UniqueKey = Unique<RegKeyTraits>;
using UniqueModule = Unique<ModuleTraits>;
using UniqueGdi = Unique<GdiTraits>;
using UniqueMemDc = Unique<MemDcTraits>;
using UniqueIcon = Unique<IconTraits>;

// A window's DC from GetDC, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND wnd) : wnd_(wnd), dc_(GetDC(wnd)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(wnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND wnd_;
  HDC dc_;
};

// Selects a GDI object into a DC and puts the previous one back.
class SelectObjectScope {
 public:
  SelectObjectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ~SelectObjectScope() {
    if (old_) SelectObject(dc_, old_);
  }
  SelectObjectScope(const SelectObjectScope&) = delete;
  SelectObjectScope& operator=(const SelectObjectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// COM initialisation for the current thread, undone on scope exit when it
// succeeded (S_FALSE, already initialised, still needs the matching call).
class ComInit {
 public:
  ComInit() : hr_(CoInitialize(nullptr)) {}
  ~ComInit() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComInit(const ComInit&) = delete;
  ComInit& operator=(const ComInit&) = delete;
  HRESULT result() const { return hr_; }

 private:
  HRESULT hr_;
};

// Owns one reference to a COM interface.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) {
      reset();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  // For CoCreateInstance and QueryInterface.
  T** put() {
    reset();
    return &p_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

 private:
  T* p_ = nullptr;
};

// A BSTR freed with SysFreeString.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const wchar_t* s) : b_(SysAllocString(s)) {}
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return b_; }
  BSTR* put() {
    SysFreeString(b_);
    b_ = nullptr;
    return &b_;
  }

 private:
  BSTR b_ = nullptr;
};

// A VARIANT cleared with VariantClear.
class Variant {
 public:
  Variant() { VariantInit(&v_); }
  ~Variant() { VariantClear(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* get() { return &v_; }
  const VARIANT& ref() const { return v_; }

 private:
  VARIANT v_;
};

}  // namespace vexa::win
