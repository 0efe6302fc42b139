// A seeded fuzzer of Kalendo's saved properties: IPersistStreamInit::Load, IPersistStorage::Load and
// IPersistPropertyBag::Load fed saves of controls with varied properties, mutated (bytes flipped, inserted,
// deleted, cut short; values of the wrong type, huge numbers and strings; keys missing and surplus; streams
// that fail on Read; storages without the stream), and now and then random data. Every Load must answer
// with an HRESULT, and the control must still answer afterwards. After a Load that succeeded, a save, a load
// of that save into a fresh control and a second save must agree: the same bytes or bag, and the same
// properties read back through IDispatch.
//
// MARELCO_FUZZ_SEED and MARELCO_FUZZ_INPUTS set the seed and the number of inputs (1,000 unless told;
// scripts/fuzz-persistence runs longer ones); the run prints both, so that a failure can be replayed, and
// MARELCO_FUZZ_TRACE=1 prints each input before it is loaded, =2 its bytes too.
#include <gtest/gtest.h>

#include <olectl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "control/kalendo.h"
#include "package/persistence.h"
#include "package/marelco_typelib.h"
#include "tests/package/ocx_path.h"
#include "tests/package/property_bag.h"
#include "tests/package/sinks.h"

namespace marelco {
namespace {

using Bytes = std::vector<BYTE>;
using testing_bag::PropertyBag;

constexpr wchar_t kContents[] = L"Contents";

unsigned long long Setting(const char* name, unsigned long long fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::strtoull(value, nullptr, 0) : fallback;
}

template <typename Interface>
ComPtr<Interface> As(_Kalendo* control) {
  return ComPtr<_Kalendo>(control).query<Interface>();
}

// A stream over bytes in memory that can be told to fail: Read fails with an error, or gives fewer bytes
// than asked, once `readable` bytes have been read.
class FaultyStream final : public testing_sinks::StackObject<IStream> {
 public:
  enum class Fault { None, ReadError, ShortRead };

  FaultyStream(Bytes bytes, Fault fault, size_t readable)
      : bytes_(std::move(bytes)), fault_(fault), readable_(fault == Fault::None ? bytes_.size() : readable) {}

  STDMETHODIMP Read(void* data, ULONG size, ULONG* read) override {
    const size_t available = std::min(bytes_.size(), readable_) - std::min(position_, std::min(bytes_.size(), readable_));
    const ULONG given = static_cast<ULONG>(std::min<size_t>(size, available));
    if (given) std::memcpy(data, bytes_.data() + position_, given);
    position_ += given;
    if (read) *read = given;
    if (given < size && fault_ == Fault::ReadError) return STG_E_READFAULT;
    return given < size ? S_FALSE : S_OK;
  }
  STDMETHODIMP Write(const void*, ULONG, ULONG* written) override {
    if (written) *written = 0;
    return STG_E_ACCESSDENIED;
  }
  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
    long long base = origin == STREAM_SEEK_SET ? 0 : origin == STREAM_SEEK_CUR ? static_cast<long long>(position_)
                                                                               : static_cast<long long>(bytes_.size());
    if (origin > STREAM_SEEK_END || base + move.QuadPart < 0) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<size_t>(base + move.QuadPart);
    if (position) position->QuadPart = position_;
    return S_OK;
  }
  STDMETHODIMP SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
  STDMETHODIMP CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP Commit(DWORD) override { return S_OK; }
  STDMETHODIMP Revert() override { return S_OK; }
  STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  STDMETHODIMP Stat(STATSTG* status, DWORD) override {
    *status = {};
    status->type = STGTY_STREAM;
    status->cbSize.QuadPart = bytes_.size();
    return S_OK;
  }
  STDMETHODIMP Clone(IStream**) override { return E_NOTIMPL; }

 private:
  Bytes bytes_;
  Fault fault_;
  size_t readable_;
  size_t position_ = 0;
};

ComPtr<IStream> MemoryStream(const Bytes& bytes) {
  ComPtr<IStream> stream;
  EXPECT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
  if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  stream->Seek({}, STREAM_SEEK_SET, nullptr);
  return stream;
}

Bytes Contents(IStream* stream) {
  STATSTG status = {};
  stream->Stat(&status, STATFLAG_NONAME);
  Bytes bytes(static_cast<size_t>(status.cbSize.QuadPart));
  stream->Seek({}, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  if (!bytes.empty()) stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  bytes.resize(read);
  return bytes;
}

ComPtr<IStorage> NewStorage() {
  ComPtr<ILockBytes> lockBytes;
  ComPtr<IStorage> storage;
  EXPECT_EQ(S_OK, CreateILockBytesOnHGlobal(nullptr, TRUE, lockBytes.put()));
  EXPECT_EQ(S_OK, StgCreateDocfileOnILockBytes(lockBytes.get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                               storage.put()));
  return storage;
}

// The bytes of a stream of that name in the storage; none when there is no such stream.
Bytes StreamOf(IStorage* storage, const wchar_t* name) {
  ComPtr<IStream> stream;
  if (FAILED(storage->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put()))) return {};
  return Contents(stream.get());
}

// A picture of each kind a control may carry as its mouse icon.
ComPtr<IPictureDisp> NewPicture(int kind) {
  PICTDESC description = {sizeof description, PICTYPE_NONE, {}};
  if (kind == 1) {
    description.picType = PICTYPE_ICON;
    description.icon.hicon = LoadIconW(nullptr, IDI_APPLICATION);
  } else if (kind == 2) {
    static const WORD pixels[8] = {0x55AA, 0xAA55, 0x55AA, 0xAA55, 0x55AA, 0xAA55, 0x55AA, 0xAA55};
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = CreateBitmap(8, 8, 1, 1, pixels);
  }
  ComPtr<IPictureDisp> picture;
  EXPECT_EQ(S_OK, OleCreatePictureIndirect(&description, IID_IPictureDisp, kind == 2, picture.put_void()));
  return picture;
}

ComPtr<IFontDisp> NewFont(const wchar_t* name, LONGLONG size, SHORT weight, BOOL italic) {
  FONTDESC description = {sizeof description, const_cast<LPOLESTR>(name), {{static_cast<DWORD>(size), 0}}, weight, 0,
                          italic, 0, 0};
  ComPtr<IFontDisp> font;
  EXPECT_EQ(S_OK, OleCreateFontIndirect(&description, IID_IFontDisp, font.put_void()));
  return font;
}

// What a control saved, in each form.
struct Save {
  Bytes stream;
  PropertyBag bag;
};

// The random inputs.
class Inputs {
 public:
  explicit Inputs(unsigned long long seed) : random_(seed) {}

  int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }
  bool OneIn(int chance) { return Below(chance) == 0; }
  unsigned Any() { return static_cast<unsigned>(random_()); }
  template <typename Item, size_t count>
  const Item& Pick(const Item (&items)[count]) {
    return items[Below(count)];
  }

  // One of the keys the control saves.
  std::wstring SavedKey() {
    const auto saved = Kalendo::SavedProperties();
    return std::wstring(WideView(saved[Below(static_cast<int>(saved.size()))].key));
  }

  std::wstring Text() {
    static const wchar_t* const samples[] = {L"07/03/2001",   L"7/3/2001",   L"31/12/9999", L"29/02/2000",
                                             L"31/02/2027",   L"",           L"no date",    L"15/June/2020",
                                             L"dd/mm/yyyy",   L"2001-03-07", L"12",         L"-1.5E3",
                                             L"True",         L"\"",         L"a\r\nb",     L"x\0y"};
    switch (Below(10)) {
      case 0: {  // random characters, NULs and unpaired surrogates among them
        std::wstring text(Below(40), L' ');
        for (auto& c : text) c = OneIn(4) ? AnyCharacter() : static_cast<wchar_t>(L' ' + Below(96));
        return text;
      }
      case 1:  // long texts; a long run of digits costs Wine's EDIT a time that grows with its square, so
               // only other characters run long
        return OneIn(20) ? std::wstring(20000 + Below(40000), L"ad/ "[Below(4)]) : std::wstring(Below(400), L'9');
      default: {
        const wchar_t* sample = Pick(samples);
        return std::wstring(sample, sample == samples[15] ? 3 : std::wcslen(sample));
      }
    }
  }

  // Any character but a nonspacing mark: Wine's shaping of a mark that follows a ligature and one more
  // character reads past its glyphs (GPOS_apply_MarkToLigature in gdi32), so that any EDIT showing, for
  // instance, "\uFB01%\u0301" in Arial crashes.
  wchar_t AnyCharacter() {
    for (;;) {
      const auto c = static_cast<wchar_t>(Any());
      WORD type = 0;
      if (!GetStringTypeW(CT_CTYPE3, &c, 1, &type) || !(type & C3_NONSPACING)) return c;
    }
  }

  std::wstring Format() {
    static const wchar_t* const formats[] = {L"dd/mm/yyyy", L"dd/mmm/yyyy", L"dd/mmmm/yyyy", L"yyyy-mm-dd",
                                             L"dddd d mmmm yyyy", L"", L"mmmm", L"0.00", L"hh:nn", L"\"x\""};
    return OneIn(6) ? Text() : Pick(formats);
  }

  // A VARIANT of any kind a bag might hold; what it owns is kept by `owner`.
  void Value(OleVariant& owner, IUnknown* stranger, const std::vector<ComPtr<IDispatch>>& objects) {
    VARIANT* value = owner.put();
    switch (Below(18)) {
      case 0: break;  // VT_EMPTY
      case 1: V_VT(value) = VT_NULL; break;
      case 2: V_VT(value) = VT_ERROR; V_ERROR(value) = DISP_E_PARAMNOTFOUND; break;
      case 3: V_VT(value) = VT_I2; V_I2(value) = static_cast<SHORT>(Any()); break;
      case 4: V_VT(value) = VT_I4; V_I4(value) = OneIn(2) ? Below(40) - 5 : static_cast<LONG>(Any()); break;
      case 5: V_VT(value) = VT_R8; V_R8(value) = Double(); break;
      case 6: V_VT(value) = VT_BOOL; V_BOOL(value) = OneIn(3) ? static_cast<SHORT>(Any()) : -Below(2); break;
      case 7: case 8: {
        std::wstring text = OneIn(3) ? Number() : Text();
        V_VT(value) = VT_BSTR;
        V_BSTR(value) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        break;
      }
      case 9: V_VT(value) = VT_DATE; V_DATE(value) = Double(); break;
      case 10: V_VT(value) = VT_CY; V_CY(value).int64 = static_cast<LONGLONG>(random_()); break;
      case 11: V_VT(value) = VT_I8; V_I8(value) = static_cast<LONGLONG>(random_()); break;
      case 12: V_VT(value) = VT_R4; V_R4(value) = static_cast<float>(Double()); break;
      case 13: {
        V_VT(value) = VT_ARRAY | VT_I4;
        V_ARRAY(value) = SafeArrayCreateVector(VT_I4, 0, Below(4));
        break;
      }
      case 14: V_VT(value) = static_cast<VARTYPE>(OneIn(2) ? VT_DECIMAL : VT_UI4); V_UI4(value) = Any(); break;
      case 15: {  // a reference to a number or to a Variant, or a reference to nothing
        referencedNumber_ = static_cast<LONG>(Any());
        V_VT(&referencedVariant_) = VT_R8;
        V_R8(&referencedVariant_) = Double();
        const bool toVariant = OneIn(2);
        V_VT(value) = VT_BYREF | (toVariant ? VT_VARIANT : VT_I4);
        V_BYREF(value) = OneIn(4) ? nullptr : toVariant ? static_cast<void*>(&referencedVariant_) : &referencedNumber_;
        break;
      }
      default: {  // an object: none, a stranger, a font or a picture
        const int which = Below(static_cast<int>(objects.size()) + 2);
        IUnknown* object = which == 0 ? nullptr : which == 1 ? stranger : objects[which - 2].get();
        V_VT(value) = OneIn(2) ? VT_DISPATCH : VT_UNKNOWN;
        V_UNKNOWN(value) = object;
        if (object) object->AddRef();
        break;
      }
    }
  }

  // One change, or up to four.
  int Changes() { return OneIn(2) ? 1 : 1 + Below(4); }

  void Mutate(Bytes& bytes, const std::vector<Save>& seeds) {
    for (int count = Changes(); count > 0; --count) {
      const size_t at = bytes.empty() ? 0 : Below(static_cast<int>(bytes.size()));
      switch (Below(8)) {
        case 0: if (!bytes.empty()) bytes[at] ^= static_cast<BYTE>(1 << Below(8)); break;
        case 1: if (!bytes.empty()) bytes[at] = static_cast<BYTE>(Any()); break;
        case 2: bytes.insert(bytes.begin() + at, 1 + Below(8), static_cast<BYTE>(Any())); break;
        case 3: bytes.erase(bytes.begin() + at, bytes.begin() + std::min(bytes.size(), at + 1 + Below(16))); break;
        case 4: bytes.resize(at); break;
        case 5: {  // a length or count that claims too much or too little
          static const uint32_t numbers[] = {0, 1, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x100000, 0x100001, 257, 0xFFFF};
          const uint32_t number = Pick(numbers);
          if (at + 4 <= bytes.size()) std::memcpy(bytes.data() + at, &number, 4);
          break;
        }
        case 6: {  // a piece of the stream repeated
          const size_t length = std::min<size_t>(bytes.size() - at, 1 + Below(64));
          Bytes piece(bytes.begin() + at, bytes.begin() + at + length);
          bytes.insert(bytes.begin() + Below(static_cast<int>(bytes.size()) + 1), piece.begin(), piece.end());
          break;
        }
        default: {  // the tail of another save
          const Bytes& other = seeds[Below(static_cast<int>(seeds.size()))].stream;
          const size_t from = Below(static_cast<int>(other.size()));
          bytes.resize(at);
          bytes.insert(bytes.end(), other.begin() + from, other.end());
          break;
        }
      }
    }
  }

  Bytes RandomBytes(const Bytes& header) {
    Bytes bytes = OneIn(2) ? Bytes(header.begin(), header.begin() + std::min<size_t>(8, header.size())) : Bytes();
    for (int count = Below(200); count > 0; --count) bytes.push_back(static_cast<BYTE>(Any()));
    return bytes;
  }

 private:
  double Double() {
    static const double samples[] = {0, -0.0, 1, 0.5, 1.5, 2.5, 32767.5, 32768, -32769, 2147483647.5, 4294967295.0,
                                     1e300, -1e300, std::numeric_limits<double>::infinity(),
                                     std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::denorm_min()};
    return OneIn(2) ? Pick(samples) : std::uniform_real_distribution<double>(-1e10, 1e10)(random_);
  }

  std::wstring Number() {
    static const wchar_t* const numbers[] = {L"0", L"-1", L" 12 ", L"2147483648", L"1e308", L"1e309", L"-32769",
                                             L"0x10", L"&H8000000F", L"1.5", L"inf", L"nan", L"True", L"false"};
    return Pick(numbers);
  }

  std::mt19937_64 random_;
  LONG referencedNumber_ = 0;
  VARIANT referencedVariant_ = {};
};

// Every property of a control a host reads back, as one printable text, but those left out. The device
// context is always left out: it is the control's own.
std::wstring Properties(_Kalendo* control, const std::vector<std::wstring>& leftOut) {
  static const std::pair<DISPID, const wchar_t*> kRead[] = {{DISPID_VALUE, L"Text"},
                                                            {DISPID_KALENDO_FORMATO, L"Formato"},
                                                            {DISPID_BACKCOLOR, L"BackColor"},
                                                            {DISPID_ENABLED, L"Enabled"},
                                                            {DISPID_FORECOLOR, L"ForeColor"},
                                                            {DISPID_KALENDO_TOOLTIPTEXT, L"ToolTipText"},
                                                            {DISPID_BORDERSTYLE, L"BorderStyle"},
                                                            {DISPID_KALENDO_LOCKED, L"Locked"},
                                                            {DISPID_KALENDO_MOUSEPOINTER, L"MousePointer"},
                                                            {DISPID_KALENDO_SELLENGTH, L"SelLength"},
                                                            {DISPID_KALENDO_SELSTART, L"SelStart"},
                                                            {DISPID_KALENDO_SELTEXT, L"SelText"}};
  auto dispatch = As<IDispatch>(control);
  std::wstring text;
  for (const auto& [id, name] : kRead) {
    if (std::find(leftOut.begin(), leftOut.end(), name) != leftOut.end()) continue;
    OleVariant value, shown;
    DISPPARAMS none = {};
    HRESULT result = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value.get(),
                                      nullptr, nullptr);
    text += std::wstring(name) + L"=";
    if (FAILED(result) || FAILED(VariantChangeType(shown.get(), value.get(), 0, VT_BSTR))) {
      text += L"(failed);";
      continue;
    }
    text += std::wstring(V_BSTR(shown.get()), SysStringLen(V_BSTR(shown.get()))) + L";";
  }
  ComPtr<IFontDisp> fontDisp;
  control->get_Font(fontDisp.put());
  if (auto font = fontDisp.query<IFont>()) {
    Bstr name;
    CY size = {};
    BOOL bold = FALSE, italic = FALSE;
    font->get_Name(name.put());
    font->get_Size(&size);
    font->get_Bold(&bold);
    font->get_Italic(&italic);
    text += L"Font=" + std::wstring(name.get() ? name.get() : L"") + L" " + std::to_wstring(size.int64) +
            (bold ? L" bold" : L"") + (italic ? L" italic" : L"") + L";";
  }
  ComPtr<IPictureDisp> iconDisp;
  control->get_MouseIcon(iconDisp.put());
  SHORT type = -1;
  if (auto icon = iconDisp.query<IPicture>()) icon->get_Type(&type);
  text += L"MouseIcon=" + std::to_wstring(type);
  return text;
}

std::wstring Read(_Kalendo* control, HRESULT (STDMETHODCALLTYPE _Kalendo::*getter)(BSTR*)) {
  Bstr value;
  EXPECT_EQ(S_OK, (control->*getter)(value.put()));
  return value.get() ? std::wstring(value.get(), SysStringLen(value.get())) : L"";
}

// An object is saved as itself, but a picture without an image only as such: each save may make its own.
bool IsEmptyPicture(IUnknown* object) {
  SHORT type = -1;
  auto picture = ComPtr<IUnknown>(object).query<IPicture>();
  return picture && SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_NONE;
}

bool SameValue(const VARIANT& a, const VARIANT& b) {
  if (V_VT(&a) != V_VT(&b)) return false;
  switch (V_VT(&a)) {
    case VT_BSTR: return VarBstrCmp(V_BSTR(&a), V_BSTR(&b), 0, 0) == static_cast<HRESULT>(VARCMP_EQ);
    case VT_DISPATCH: case VT_UNKNOWN:
      return V_UNKNOWN(&a) == V_UNKNOWN(&b) || (IsEmptyPicture(V_UNKNOWN(&a)) && IsEmptyPicture(V_UNKNOWN(&b)));
    default: return VarCmp(const_cast<VARIANT*>(&a), const_cast<VARIANT*>(&b), 0, 0) == static_cast<HRESULT>(VARCMP_EQ);
  }
}

bool SameBag(const PropertyBag& a, const PropertyBag& b) {
  return a.values.size() == b.values.size() &&
         std::equal(a.values.begin(), a.values.end(), b.values.begin(), [](const auto& x, const auto& y) {
           return x.first == y.first && SameValue(x.second, y.second);
         });
}

// The ways a saved form reaches the control.
enum class Form { Stream, Storage, Bag };
const char* Name(Form form) { return form == Form::Stream ? "stream" : form == Form::Storage ? "storage" : "bag"; }

class PersistenceFuzz : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    objects_.push_back(NewFont(L"Arial", 120000, FW_BOLD, FALSE).query<IDispatch>());
    objects_.push_back(NewFont(L"Courier New", 80000, FW_NORMAL, TRUE).query<IDispatch>());
    for (int kind = 0; kind < 3; ++kind) objects_.push_back(NewPicture(kind).query<IDispatch>());
  }
  void TearDown() override {
    seeds_.clear();
    objects_.clear();
    OleUninitialize();
  }

  // Real saves of controls whose every property is set at random.
  void MakeSeeds(Inputs& inputs, int count) {
    for (int index = 0; index < count; ++index) {
      auto control = NewKalendo();
      ASSERT_EQ(S_OK, control.query<IPersistStreamInit>()->InitNew());
      Bstr format(std::wstring_view(inputs.Format()));
      control->put_Formato(format.get());
      if (!inputs.OneIn(3)) control->put_Text(Bstr(std::wstring_view(inputs.Text())).get());
      if (inputs.OneIn(2)) control->put_BackColor(inputs.OneIn(2) ? inputs.Any() & 0xFFFFFF : 0x80000005);
      if (inputs.OneIn(2)) control->put_ForeColor(inputs.Any() & 0xFFFFFF);
      if (inputs.OneIn(2)) control->put_ToolTipText(Bstr(std::wstring_view(inputs.Text())).get());
      if (inputs.OneIn(3)) control->put_Locked(VARIANT_TRUE);
      if (inputs.OneIn(3)) control->put_Enabled(VARIANT_FALSE);
      if (inputs.OneIn(2)) control->put_MousePointer(static_cast<SHORT>(inputs.Below(16)));
      if (inputs.OneIn(2)) control->putref_Font(objects_[inputs.Below(2)].query<IFontDisp>().get());
      if (inputs.OneIn(2)) control->putref_MouseIcon(objects_[2 + inputs.Below(3)].query<IPictureDisp>().get());
      control->put_SelStart(inputs.Below(12));
      control->put_SelLength(inputs.Below(4));
      Save save;
      auto stream = MemoryStream({});
      ASSERT_EQ(S_OK, control.query<IPersistStreamInit>()->Save(stream.get(), TRUE));
      save.stream = Contents(stream.get());
      ASSERT_EQ(S_OK, control.query<IPersistPropertyBag>()->Save(&save.bag, TRUE, FALSE));
      seeds_.push_back(std::move(save));
    }
  }

  // Loads the input into a fresh control; returns the control and the answer.
  ComPtr<_Kalendo> LoadInput(Inputs& inputs, Form form, HRESULT& answer) {
    const Save& seed = seeds_[inputs.Below(static_cast<int>(seeds_.size()))];
    auto control = NewKalendo();
    if (form == Form::Bag) {
      PropertyBag bag(seed.bag);
      MutateBag(inputs, bag);
      if (trace_ > 1) Print(bag);
      answer = control.query<IPersistPropertyBag>()->Load(&bag, nullptr);
      return control;
    }
    Bytes bytes = inputs.OneIn(20) ? inputs.RandomBytes(seed.stream) : seed.stream;
    if (!inputs.OneIn(10)) inputs.Mutate(bytes, seeds_);
    if (trace_ > 1) {
      for (BYTE byte : bytes) std::fprintf(stderr, "%02x", byte);
      std::fprintf(stderr, "\n");
    }
    if (form == Form::Stream) {
      const auto fault = static_cast<FaultyStream::Fault>(inputs.OneIn(4) ? 1 + inputs.Below(2) : 0);
      FaultyStream stream(bytes, fault, inputs.Below(static_cast<int>(bytes.size()) + 1));
      answer = control.query<IPersistStreamInit>()->Load(&stream);
      EXPECT_EQ(0u, stream.references) << "the control keeps no reference to the stream";
      return control;
    }
    auto storage = NewStorage();
    const int shape = inputs.Below(16);
    if (shape == 0) {  // a storage in place of the stream
      ComPtr<IStorage> inner;
      storage->CreateStorage(kContents, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, inner.put());
    } else if (shape > 1) {  // 1: no stream at all
      ComPtr<IStream> stream;
      storage->CreateStream(shape == 2 ? L"Other" : kContents, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                            0, stream.put());
      if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    }
    answer = control.query<IPersistStorage>()->Load(storage.get());
    return control;
  }

  void Print(const PropertyBag& bag) {
    for (const auto& [key, value] : bag.values) {
      OleVariant shown;
      const bool readable = SUCCEEDED(VariantChangeType(shown.get(), const_cast<VARIANT*>(&value), 0, VT_BSTR));
      std::fprintf(stderr, "  %ls: %x", key.c_str(), V_VT(&value));
      if (readable) {
        for (UINT i = 0; i < SysStringLen(V_BSTR(shown.get())); ++i) std::fprintf(stderr, " %04x", V_BSTR(shown.get())[i]);
      }
      std::fprintf(stderr, "\n");
    }
  }

  void MutateBag(Inputs& inputs, PropertyBag& bag) {
    for (int count = inputs.Changes(); count > 0; --count) {
      const std::wstring key = inputs.OneIn(8) ? inputs.Text() : inputs.SavedKey();
      if (inputs.OneIn(4)) {
        bag.Remove(key);
        continue;
      }
      OleVariant value;
      inputs.Value(value, &stranger_, objects_);
      bag.Put(key, *value.get());
    }
  }

  // Saves the control in the form it was loaded from.
  HRESULT SaveAs(Form form, _Kalendo* control, Save& save) {
    if (form == Form::Bag) return As<IPersistPropertyBag>(control)->Save(&save.bag, TRUE, FALSE);
    if (form == Form::Stream) {
      auto stream = MemoryStream({});
      HRESULT result = As<IPersistStreamInit>(control)->Save(stream.get(), TRUE);
      save.stream = Contents(stream.get());
      return result;
    }
    auto storage = NewStorage();
    HRESULT result = As<IPersistStorage>(control)->Save(storage.get(), FALSE);
    save.stream = StreamOf(storage.get(), kContents);
    return result;
  }

  HRESULT LoadAs(Form form, _Kalendo* control, Save& save) {
    if (form == Form::Bag) return As<IPersistPropertyBag>(control)->Load(&save.bag, nullptr);
    if (form == Form::Stream) return As<IPersistStreamInit>(control)->Load(MemoryStream(save.stream).get());
    auto storage = NewStorage();
    ComPtr<IStream> stream;
    storage->CreateStream(kContents, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.put());
    if (!save.stream.empty()) stream->Write(save.stream.data(), static_cast<ULONG>(save.stream.size()), nullptr);
    stream.reset();
    return As<IPersistStorage>(control)->Load(storage.get());
  }

  // Save, load into a fresh control, save again: both saves and both controls agree. A date text in the
  // form its format gives is not saved: the fresh control shows today's date in that format instead, with
  // the selection cut at the end of today's text.
  void ExpectRoundTrip(Form form, _Kalendo* loaded) {
    Save first, second;
    ASSERT_EQ(S_OK, SaveAs(form, loaded, first)) << "a loaded control saves";
    auto fresh = NewKalendo();
    ASSERT_EQ(S_OK, LoadAs(form, fresh.get(), first)) << "its save loads";
    ASSERT_EQ(S_OK, SaveAs(form, fresh.get(), second));
    const std::wstring text = Read(loaded, &_Kalendo::get_Text), freshText = Read(fresh.get(), &_Kalendo::get_Text);
    std::vector<std::wstring> leftOut;
    bool selectionMoved = false;
    if (text != freshText) {
      const std::wstring format = Read(loaded, &_Kalendo::get_Formato);
      ASSERT_EQ(TodayIn(format), freshText) << "an unsaved text loads as today's date";
      ASSERT_EQ(text, Formatted(text, format)) << "a text is left unsaved only when it is in its format's form";
      ASSERT_NE(text, Formatted(text, L"\"@\"yyyy")) << "and is a date";
      LONG caret = 0, length = 0;
      loaded->get_SelStart(&caret);
      loaded->get_SelLength(&length);
      leftOut = {L"Text", L"SelText"};
      if (static_cast<size_t>(caret) > freshText.size()) leftOut.push_back(L"SelStart");
      if (static_cast<size_t>(caret + length) > freshText.size()) leftOut.push_back(L"SelLength");
      selectionMoved = length > 0 || leftOut.size() > 2;
    }
    ASSERT_EQ(Properties(loaded, leftOut), Properties(fresh.get(), leftOut))
        << "the reloaded control reads back the same properties";
    if (selectionMoved) return;  // the saves differ in the selection
    if (form == Form::Bag) {
      ASSERT_TRUE(SameBag(first.bag, second.bag)) << "the second save is the first";
    } else {
      ASSERT_EQ(first.stream, second.stream) << "the second save is the first";
    }
  }

  // Today's date in the format, as a fresh control shows it.
  std::wstring TodayIn(const std::wstring& format) {
    auto control = NewKalendo();
    control->put_Formato(Bstr(std::wstring_view(format)).get());
    return Read(control.get(), &_Kalendo::get_Text);
  }

  // The text written in the format, by another control.
  std::wstring Formatted(const std::wstring& text, const std::wstring& format) {
    auto other = NewKalendo();
    other->put_Formato(Bstr(std::wstring_view(format)).get());
    other->put_Text(Bstr(std::wstring_view(text)).get());
    return Read(other.get(), &_Kalendo::get_Text);
  }

  std::vector<Save> seeds_;
  std::vector<ComPtr<IDispatch>> objects_;  // fonts and pictures a bag may hold
  testing_sinks::EventSink stranger_;       // an object of the wrong kind
  unsigned long long trace_ = Setting("MARELCO_FUZZ_TRACE", 0);  // 1: each input on stderr before it loads; 2: its bytes too
};

TEST_F(PersistenceFuzz, LoadsAnswerAndWhatLoadsSavesAndReloadsAlike) {
  const unsigned long long seed = Setting("MARELCO_FUZZ_SEED", 13);
  const unsigned long long count = Setting("MARELCO_FUZZ_INPUTS", 1000);
  std::printf("persistence fuzzer: seed %llu, %llu inputs\n", seed, count);
  Inputs inputs(seed);
  ASSERT_NO_FATAL_FAILURE(MakeSeeds(inputs, 16));
  const DWORD start = GetTickCount();
  unsigned long long loaded[3] = {}, refused[3] = {};
  for (unsigned long long input = 0; input < count; ++input) {
    const auto form = static_cast<Form>(input % 3);
    SCOPED_TRACE(testing::Message() << "input " << input << " (" << Name(form) << ")");
    if (trace_) std::fprintf(stderr, "input %llu (%s)\n", input, Name(form)), std::fflush(stderr);
    HRESULT answer = E_FAIL;
    auto control = LoadInput(inputs, form, answer);
    ASSERT_TRUE(answer == S_OK || FAILED(answer)) << std::hex << answer;
    Read(control.get(), &_Kalendo::get_Text);  // it still answers
    if (FAILED(answer)) {
      ++refused[input % 3];
      continue;
    }
    ++loaded[input % 3];
    ASSERT_NO_FATAL_FAILURE(ExpectRoundTrip(form, control.get()));
    if (HasFailure()) return;
  }
  std::printf("persistence fuzzer: %llu inputs in %lu ms; loaded/refused: streams %llu/%llu, storages %llu/%llu, "
              "bags %llu/%llu\n",
              count, GetTickCount() - start, loaded[0], refused[0], loaded[1], refused[1], loaded[2], refused[2]);
}

// A saved selection comes back cut to the loaded text, through a bag and through a stream; the saved selected
// text is never written into the date, and loading raises no Change but that of the text itself.
TEST_F(PersistenceFuzz, ASavedSelectionLoadsCutToTheTextAndLeavesTheTextAlone) {
  struct Saved {
    const wchar_t* format;
    const wchar_t* text;  // null: not stored, so the control shows today's date
    LONG start, length;   // -1: not stored
  };
  const Saved rows[] = {{L"dd/mm/yyyy", nullptr, -1, -1},  {L"dd/mm/yyyy", L"7/3/2001", 4, 0},
                        {L"dd/mm/yyyy", nullptr, 3, 2},    {L"dd/mmm/yyyy", nullptr, 7, 4},
                        {L"dd/mmmm/yyyy", nullptr, 0, 2},  {L"dd/mm/yyyy", L"7/3/2001", 6, 10},
                        {L"dd/mmmm/yyyy", L"7/3/2001", 40, 3}};
  const std::wstring creationText = TodayIn(L"dd/mm/yyyy");
  const auto u16 = [](const wchar_t* text) { return std::u16string(text, text + wcslen(text)); };
  for (const Saved& row : rows) {
    MemoryPropertyBag saved({{u"Formato", Variant::FromString(u16(row.format))}});
    if (row.text) saved.Put(u"Text", Variant::FromString(u16(row.text)));
    if (row.start >= 0) {
      saved.Put(u"SelLength", Variant::FromLong(row.length));
      saved.Put(u"SelStart", Variant::FromLong(row.start));
      saved.Put(u"SelText", Variant::FromString(u"1948"));
    }
    Save save;
    ComPropertyBag bag(&save.bag, nullptr);
    for (const auto& [key, value] : saved.entries()) bag.WriteProperty(key, value, Variant());
    auto stream = MemoryStream({});
    ASSERT_EQ(S_OK, SaveBagToStream(saved, stream.get()));
    save.stream = Contents(stream.get());

    const std::wstring text = row.text ? row.text : TodayIn(row.format);
    const LONG start = std::min<LONG>(row.start < 0 ? 0 : row.start, text.size());
    const LONG length = std::min<LONG>(row.length < 0 ? 0 : row.length, text.size() - start);
    for (const Form form : {Form::Bag, Form::Stream}) {
      SCOPED_TRACE(testing::Message() << Name(form) << " " << row.format << " " << row.start << "+" << row.length);
      auto control = NewKalendo();
      testing_sinks::EventSink events;
      testing_sinks::Connection connection(control.get(), DIID___Kalendo, &events);
      ASSERT_EQ(S_OK, LoadAs(form, control.get(), save));
      EXPECT_EQ(text, Read(control.get(), &_Kalendo::get_Text));
      LONG loadedStart = -1, loadedLength = -1;
      control->get_SelStart(&loadedStart);
      control->get_SelLength(&loadedLength);
      EXPECT_EQ(std::make_pair(start, length), std::make_pair(loadedStart, loadedLength));
      EXPECT_EQ(text == creationText ? 0 : 1, events.Count(DISPID_KALENDO_CHANGE));
    }
  }
}

// The platform's picture object trusts the sizes inside a saved image; a damaged one must be refused before it
// reads past the image (a bitmap header claiming 64 MB crashed Wine's, found by the fuzzer).
TEST_F(PersistenceFuzz, DamagedPicturesAreRefusedBeforeThePictureReadsThem) {
  struct Damage {
    int picture;      // 1: icon, 2: bitmap (NewPicture)
    int at;           // from the start of the image, behind the picture's "lt" header and length
    uint32_t number;  // written there
    const char* what;
    HRESULT expected = E_UNEXPECTED;
  };
  const Damage damages[] = {
      {1, 2, 0x00010002, "not damaged: a cursor of one image", S_OK},
      {2, 14, 0x04000028, "bitmap header size beyond the image"},   {2, 14, 36, "a bitmap header of no known size"},
      {2, 10, 0x7FFFFFF0, "pixels beyond the image"},               {2, 22, 0x00100000, "more rows than the image holds"},
      {2, 18, 0xFFFFFFF8, "a negative width"},                      {2, 28, 0x00000007, "no such colour depth"},
      {2, 28, 0, "a depth of no bits"},                             {2, 46, 0x00010000, "more colours than the depth has"},
      {1, 18, 0x00FFFFFF, "icon image beyond the file"},            {1, 14, 0x00000010, "icon image larger than its entry"},
      {1, 4, 0x0000FFFF, "more icon entries than the file holds"},  {1, 30, 0x00010000, "icon rows beyond its image"},
      {2, -8, 0x12345678, "no picture header"},                     {2, -4, 0x00FFFFFF, "an image longer than the stream"},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.what);
    auto original = NewKalendo();
    ASSERT_EQ(S_OK, original.query<IPersistStreamInit>()->InitNew());
    ASSERT_EQ(S_OK, original->putref_MouseIcon(NewPicture(damage.picture).get()));
    auto stream = MemoryStream({});
    ASSERT_EQ(S_OK, original.query<IPersistStreamInit>()->Save(stream.get(), TRUE));
    Bytes bytes = Contents(stream.get());
    const BYTE header[] = {'l', 't', 0, 0};
    const auto found = std::search(bytes.begin(), bytes.end(), std::begin(header), std::end(header));
    ASSERT_NE(bytes.end(), found);
    const size_t at = static_cast<size_t>(found - bytes.begin() + 8 + damage.at);
    ASSERT_LE(at + 4, bytes.size());

    auto whole = NewKalendo();
    ASSERT_EQ(S_OK, whole.query<IPersistStreamInit>()->Load(MemoryStream(bytes).get())) << "undamaged, it loads";
    std::memcpy(bytes.data() + at, &damage.number, 4);
    auto damaged = NewKalendo();
    EXPECT_EQ(damage.expected, damaged.query<IPersistStreamInit>()->Load(MemoryStream(bytes).get()));
  }
}

// A bitmap file of `width` x `height` pixels (top down when negative) of `bits` bits, behind a palette of
// `colours` colours, with a header of `header` bytes.
Bytes BitmapFile(long long width, long long height, long long bits, long long colours, long long header = 40) {
  const long long pixelsAt = 14 + header + colours * 4;
  Bytes file(pixelsAt + (width * bits + 31) / 32 * 4 * std::llabs(height));
  const struct { size_t at; long long number; size_t size; } fields[] = {{0, 'B' | 'M' << 8, 2}, {2, static_cast<long long>(file.size()), 4}, {10, pixelsAt, 4}, {14, header, 4},
                {18, width, 4}, {22, height, 4}, {26, 1, 2}, {28, bits, 2}, {46, colours, 4}};
  for (const auto& field : fields) std::memcpy(file.data() + field.at, &field.number, field.size);
  return file;
}

// A mouse icon is only kept and saved, so it may be any picture; an image the platform decodes itself (a GIF, a
// bitmap file) must come back from a save as it went in, unless it is wider than a picture may be.
TEST_F(PersistenceFuzz, AMouseIconOfAnImageFileSavedInAStreamLoadsBack) {
  const Bytes gif = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0xFF, 0xFF,
                     0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00,
                     0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
  const std::pair<Bytes, HRESULT> images[] = {
      {gif, S_OK}, {BitmapFile(1, 1, 32, 256), S_OK}, {BitmapFile(1, 1, 24, 0, 108), S_OK},  // with a palette; V4
      {BitmapFile(32768, 1, 1, 2), S_OK},  {BitmapFile(32769, 1, 1, 2), E_UNEXPECTED},
      {BitmapFile(1, -32768, 1, 2), S_OK}, {BitmapFile(1, -32769, 1, 2), E_UNEXPECTED},
      {BitmapFile(1, 32768, 1, 2), S_OK},  {BitmapFile(1, 32769, 1, 2), E_UNEXPECTED}};
  for (const auto& [image, expected] : images) {
    SCOPED_TRACE(image.size());
    ComPtr<IPictureDisp> picture;
    ASSERT_EQ(S_OK, OleLoadPicture(MemoryStream(image).get(), static_cast<LONG>(image.size()), FALSE,
                                   IID_IPictureDisp, picture.put_void()));
    auto original = NewKalendo();
    ASSERT_EQ(S_OK, original.query<IPersistStreamInit>()->InitNew());
    ASSERT_EQ(S_OK, original->putref_MouseIcon(picture.get()));
    auto stream = MemoryStream({});
    ASSERT_EQ(S_OK, original.query<IPersistStreamInit>()->Save(stream.get(), TRUE));
    const Bytes saved = Contents(stream.get());
    ASSERT_NE(saved.end(), std::search(saved.begin(), saved.end(), image.begin(), image.end())) << "saved as it was";

    auto loaded = NewKalendo();
    ASSERT_EQ(expected, loaded.query<IPersistStreamInit>()->Load(MemoryStream(saved).get()));
    if (FAILED(expected)) continue;
    ComPtr<IPictureDisp> icon;
    ASSERT_EQ(S_OK, loaded->get_MouseIcon(icon.put()));
    SHORT type = PICTYPE_NONE;
    ASSERT_EQ(S_OK, icon.query<IPicture>()->get_Type(&type));
    EXPECT_EQ(PICTYPE_BITMAP, type);
    auto again = MemoryStream({});
    ASSERT_EQ(S_OK, loaded.query<IPersistStreamInit>()->Save(again.get(), TRUE));
    EXPECT_EQ(saved, Contents(again.get()));
  }
}

}  // namespace
}  // namespace marelco
