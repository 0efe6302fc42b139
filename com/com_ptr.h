// Owners of COM handles: interface pointers, BSTRs and VARIANTs.
#pragma once

#include <windows.h>
#include <objsafe.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

// mingw-w64's objsafe.h gives IObjectSafety no identity for __uuidof.
__CRT_UUID_DECL(IObjectSafety, 0xCB5BDC81, 0x93C1, 0x11CF, 0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64)

namespace marelco {

// An owned reference to a COM interface.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(T* pointer) : pointer_(pointer) {  // takes a reference of its own
    if (pointer_) pointer_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.pointer_) {}
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~ComPtr() { reset(); }

  void reset() {
    if (T* old = std::exchange(pointer_, nullptr)) old->Release();
  }
  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  T** put() {  // for out parameters: the callee's reference becomes ours
    reset();
    return &pointer_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }
  T* detach() { return std::exchange(pointer_, nullptr); }

  template <typename U>
  ComPtr<U> query() const {
    ComPtr<U> result;
    if (pointer_) pointer_->QueryInterface(__uuidof(U), result.put_void());
    return result;
  }

 private:
  T* pointer_ = nullptr;
};

inline std::wstring_view WideView(std::u16string_view text) {
  return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

inline std::u16string_view Utf16View(const wchar_t* text, size_t length) {
  return {reinterpret_cast<const char16_t*>(text), length};
}

// An owned BSTR.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::u16string_view text)
      : bstr_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()))) {}
  explicit Bstr(std::wstring_view text) : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
  ~Bstr() { SysFreeString(bstr_); }

  BSTR get() const { return bstr_; }
  BSTR* put() {
    SysFreeString(std::exchange(bstr_, nullptr));
    return &bstr_;
  }
  BSTR detach() { return std::exchange(bstr_, nullptr); }
  std::u16string str() const { return ToUtf16(bstr_); }

  // A BSTR's text; a null BSTR is the empty string.
  static std::u16string ToUtf16(BSTR bstr) { return std::u16string(Utf16View(bstr, SysStringLen(bstr))); }

 private:
  BSTR bstr_ = nullptr;
};

// An owned VARIANT, cleared when it ends.
class OleVariant {
 public:
  OleVariant() { VariantInit(&value_); }
  OleVariant(const OleVariant&) = delete;
  OleVariant& operator=(const OleVariant&) = delete;
  ~OleVariant() { VariantClear(&value_); }

  VARIANT* get() { return &value_; }
  const VARIANT* get() const { return &value_; }
  VARIANT* operator->() { return &value_; }
  VARIANT* put() {
    VariantClear(&value_);
    return &value_;
  }

 private:
  VARIANT value_;
};

}  // namespace marelco
