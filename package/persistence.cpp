#include "package/persistence.h"

#include <olectl.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "dates/runtime_error.h"
#include "package/ole_objects.h"
#include "package/saved_picture.h"
#include "win32/variant_scalars.h"

namespace marelco {
namespace {

constexpr std::uint32_t kStreamMagic = 0x4C414B4D;  // "MKAL"
constexpr std::uint32_t kStreamVersion = 1;
constexpr std::uint32_t kMaxEntries = 256;
constexpr std::uint32_t kMaxStringLength = 1 << 20;
constexpr std::uint32_t kPictureMagic = 0x0000746C;  // "lt", which starts every saved standard picture

// A value of the core as a VARIANT; objects become the standard font and picture objects.
void ToVariant(const Variant& value, VARIANT* out) {
  VariantInit(out);
  if (win32::ToVariantScalar(value, out)) return;
  switch (value.type()) {
    case VariantType::Font:
      if (auto font = ToFontDisp(value.ToFont())) {
        V_VT(out) = VT_DISPATCH;
        V_DISPATCH(out) = font.detach();
      }
      return;
    case VariantType::Picture: {
      auto picture = value.ToPicture();
      if (!picture) return;
      auto* ole = dynamic_cast<OlePicture*>(picture.get());
      V_VT(out) = VT_DISPATCH;
      V_DISPATCH(out) = (ole ? ole->dispatch() : MakeEmptyPictureDisp()).detach();
      return;
    }
    default: return;
  }
}

// A VARIANT as a value of the core: type mismatch (13) for what has no such reading.
Variant FromVariant(const VARIANT* value) {
  if (auto scalar = win32::FromVariantScalar(*value)) return std::move(*scalar);
  switch (V_VT(value)) {
    case VT_UNKNOWN:
    case VT_DISPATCH: {
      IUnknown* object = V_UNKNOWN(value);
      if (!object) return Variant::FromPicture(nullptr);
      if (auto font = FromFontDisp(object)) return Variant::FromFont(std::move(font));
      // A saved picture without an image is read as the core's own empty one, which every control shares.
      if (auto picture = FromPictureDisp(object))
        return Variant::FromPicture(picture->IsEmpty() ? MakeEmptyPicture() : std::move(picture));
      throw RuntimeError(ErrorNumber::TypeMismatch);
    }
    default: {
      OleVariant number;
      if (FAILED(VariantChangeType(number.get(), const_cast<VARIANT*>(value), 0, VT_R8))) throw RuntimeError(ErrorNumber::TypeMismatch);
      return Variant::FromDouble(V_R8(number.get()));
    }
  }
}

bool IsObject(const Variant& value) {
  return value.type() == VariantType::Font || value.type() == VariantType::Picture;
}

// Reading and writing the stream, each failing with an HRESULT thrown as StreamError.
struct StreamError {
  HRESULT result;
};

void Write(IStream* stream, const void* data, ULONG size) {
  ULONG written = 0;
  HRESULT result = stream->Write(data, size, &written);
  if (FAILED(result) || written != size) throw StreamError{FAILED(result) ? result : STG_E_MEDIUMFULL};
}

void Read(IStream* stream, void* data, ULONG size) {
  ULONG read = 0;
  HRESULT result = stream->Read(data, size, &read);
  if (FAILED(result) || read != size) throw StreamError{FAILED(result) ? result : STG_E_READFAULT};
}

template <typename Number>
void WriteNumber(IStream* stream, Number number) {
  Write(stream, &number, sizeof number);
}

template <typename Number>
Number ReadNumber(IStream* stream) {
  Number number{};
  Read(stream, &number, sizeof number);
  return number;
}

void WriteString(IStream* stream, const std::u16string& text) {
  WriteNumber<std::uint32_t>(stream, static_cast<std::uint32_t>(text.size()));
  Write(stream, text.data(), static_cast<ULONG>(text.size() * sizeof(char16_t)));
}

std::u16string ReadString(IStream* stream) {
  const auto length = ReadNumber<std::uint32_t>(stream);
  if (length > kMaxStringLength) throw StreamError{E_UNEXPECTED};
  std::u16string text(length, u'\0');
  Read(stream, text.data(), length * sizeof(char16_t));
  return text;
}

// Objects are saved as they save themselves, behind their class; only standard fonts and pictures load.
void WriteObject(IStream* stream, IUnknown* object) {
  ComPtr<IPersistStream> persist;
  if (!object || FAILED(object->QueryInterface(IID_IPersistStream, persist.put_void()))) throw StreamError{E_UNEXPECTED};
  if (HRESULT result = OleSaveToStream(persist.get(), stream); FAILED(result)) throw StreamError{result};
}

// A saved standard picture: the "lt" header with the length of its image, then the image. The image is read
// and checked here, and the picture object reads a copy of what was checked.
ComPtr<IStream> ReadSavedPicture(IStream* stream) {
  const auto magic = ReadNumber<std::uint32_t>(stream);
  const auto length = ReadNumber<std::uint32_t>(stream);
  if (magic != kPictureMagic || length > kMaxSavedPictureSize) throw StreamError{E_UNEXPECTED};
  std::vector<std::byte> image(length);
  if (length) Read(stream, image.data(), length);
  if (!IsWholeSavedPicture(image)) throw StreamError{E_UNEXPECTED};
  ComPtr<IStream> copy;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, copy.put()))) throw StreamError{E_OUTOFMEMORY};
  WriteNumber(copy.get(), magic);
  WriteNumber(copy.get(), length);
  if (length) Write(copy.get(), image.data(), length);
  copy->Seek({}, STREAM_SEEK_SET, nullptr);
  return copy;
}

ComPtr<IUnknown> ReadObject(IStream* stream) {
  CLSID clsid = {};
  if (HRESULT result = ReadClassStm(stream, &clsid); FAILED(result)) throw StreamError{result};
  if (!IsEqualCLSID(clsid, CLSID_StdFont) && !IsEqualCLSID(clsid, CLSID_StdPicture)) throw StreamError{E_UNEXPECTED};
  const ComPtr<IStream> source = IsEqualCLSID(clsid, CLSID_StdPicture) ? ReadSavedPicture(stream) : stream;
  ComPtr<IPersistStream> persist;
  HRESULT result = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistStream, persist.put_void());
  if (SUCCEEDED(result)) result = persist->Load(source.get());
  if (FAILED(result)) throw StreamError{result};
  return persist.query<IUnknown>();
}

void WriteValue(IStream* stream, const Variant& value) {
  OleVariant variant;
  ToVariant(value, variant.get());
  const VARTYPE type = V_VT(variant.get());
  WriteNumber<std::uint16_t>(stream, type);
  switch (type) {
    case VT_EMPTY: return;
    case VT_BOOL: WriteNumber<std::int16_t>(stream, V_BOOL(variant.get())); return;
    case VT_I2: WriteNumber<std::int16_t>(stream, V_I2(variant.get())); return;
    case VT_I4: WriteNumber<std::int32_t>(stream, V_I4(variant.get())); return;
    case VT_R4: WriteNumber<float>(stream, V_R4(variant.get())); return;
    case VT_R8: WriteNumber<double>(stream, V_R8(variant.get())); return;
    case VT_BSTR: WriteString(stream, Bstr::ToUtf16(V_BSTR(variant.get()))); return;
    case VT_DISPATCH: WriteObject(stream, V_DISPATCH(variant.get())); return;
    default: throw StreamError{E_UNEXPECTED};
  }
}

Variant ReadValue(IStream* stream) {
  switch (ReadNumber<std::uint16_t>(stream)) {
    case VT_EMPTY: return {};
    case VT_BOOL: return Variant::FromBoolean(ReadNumber<std::int16_t>(stream));
    case VT_I2: return Variant::FromInteger(ReadNumber<std::int16_t>(stream));
    case VT_I4: return Variant::FromLong(ReadNumber<std::int32_t>(stream));
    case VT_R4: return Variant::FromSingle(ReadNumber<float>(stream));
    case VT_R8: return Variant::FromDouble(ReadNumber<double>(stream));
    case VT_BSTR: return Variant::FromString(ReadString(stream));
    case VT_DISPATCH: {
      OleVariant object;
      V_VT(object.get()) = VT_UNKNOWN;
      V_UNKNOWN(object.get()) = ReadObject(stream).detach();
      return FromVariant(object.get());
    }
    default: throw StreamError{E_UNEXPECTED};
  }
}

}  // namespace

Variant ComPropertyBag::ReadProperty(std::u16string_view key, const Variant& defaultValue) {
  std::wstring name(WideView(key));
  OleVariant value;
  // Objects are asked for as objects, so that the container creates them from what it stored.
  V_VT(value.get()) = IsObject(defaultValue) || key == u"MouseIcon" ? VT_UNKNOWN : VT_EMPTY;
  V_UNKNOWN(value.get()) = nullptr;
  if (FAILED(bag_->Read(name.c_str(), value.get(), log_))) {
    VariantInit(value.get());
    return defaultValue;
  }
  return FromVariant(value.get());
}

void ComPropertyBag::WriteProperty(std::u16string_view key, const Variant& value, const Variant& defaultValue) {
  if (EqualsDefault(value, defaultValue)) return;
  std::wstring name(WideView(key));
  OleVariant variant;
  ToVariant(value, variant.get());
  if (V_VT(variant.get()) == VT_EMPTY) return;
  if (FAILED(bag_->Write(name.c_str(), variant.get()))) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
}

HRESULT SaveBagToStream(const MemoryPropertyBag& bag, IStream* stream) {
  if (!stream) return E_POINTER;
  try {
    WriteNumber(stream, kStreamMagic);
    WriteNumber(stream, kStreamVersion);
    WriteNumber<std::uint32_t>(stream, static_cast<std::uint32_t>(bag.entries().size()));
    for (const auto& [key, value] : bag.entries()) {
      WriteString(stream, key);
      WriteValue(stream, value);
    }
    return S_OK;
  } catch (const StreamError& error) {
    return error.result;
  }
}

HRESULT LoadBagFromStream(IStream* stream, MemoryPropertyBag& bag) {
  if (!stream) return E_POINTER;
  try {
    if (ReadNumber<std::uint32_t>(stream) != kStreamMagic || ReadNumber<std::uint32_t>(stream) != kStreamVersion)
      return E_UNEXPECTED;
    const auto count = ReadNumber<std::uint32_t>(stream);
    if (count > kMaxEntries) return E_UNEXPECTED;
    for (std::uint32_t index = 0; index < count; ++index) {
      std::u16string key = ReadString(stream);
      bag.Put(key, ReadValue(stream));
    }
    return S_OK;
  } catch (const StreamError& error) {
    return error.result;
  }
}

}  // namespace marelco
