// A seeded fuzzer of Kalendo's COM boundary: random members, flags, argument counts, named arguments and
// VARIANTs through IDispatch::Invoke, and random calls through the _Kalendo table, null out-pointers
// among them. After every call the control must still answer, its answer must be a sane HRESULT with a
// well-formed EXCEPINFO, and a failed call must leave Text and Formato whole.
//
// MARELCO_FUZZ_SEED and MARELCO_FUZZ_CALLS set the seed and the number of calls (200,000 unless told;
// scripts/fuzz-dispatch runs longer ones); the run prints both, so that a failure can be replayed, and
// MARELCO_FUZZ_TRACE=1 prints progress, memory and slow calls, =2 every call before it is made.
#include <gtest/gtest.h>

#include <olectl.h>
#include <psapi.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "package/marelco_typelib.h"
#include "tests/package/ocx_path.h"
#include "tests/package/sinks.h"

namespace marelco {
namespace {

// Every member of _Kalendo.
constexpr DISPID kMembers[] = {
    DISPID_ABOUTBOX,          DISPID_VALUE,           DISPID_KALENDO_CAMBIAFECHA,  DISPID_KALENDO_CAMBIAFECHA2,
    DISPID_BACKCOLOR,         DISPID_ENABLED,         DISPID_FONT,                 DISPID_KALENDO_FORMATO,
    DISPID_FORECOLOR,         DISPID_KALENDO_TOOLTIPTEXT, DISPID_KALENDO_ANCHOMIN, DISPID_BORDERSTYLE,
    DISPID_KALENDO_HDC,       DISPID_KALENDO_LOCKED,  DISPID_KALENDO_MOUSEPOINTER, DISPID_KALENDO_MOUSEICON,
    DISPID_KALENDO_SELLENGTH, DISPID_KALENDO_SELSTART, DISPID_KALENDO_SELTEXT};

unsigned long long Setting(const char* name, unsigned long long fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::strtoull(value, nullptr, 0) : fallback;
}

std::wstring Read(_Kalendo* control, HRESULT (STDMETHODCALLTYPE _Kalendo::*getter)(BSTR*)) {
  Bstr value;
  EXPECT_EQ(S_OK, (control->*getter)(value.put()));
  return value.get() ? std::wstring(value.get(), SysStringLen(value.get())) : L"";
}

// The random inputs. Every VARIANT it makes owns what it points to until the next call is made.
class Inputs {
 public:
  explicit Inputs(unsigned long long seed, IDispatch* font, IDispatch* stranger)
      : random_(seed), font_(font), stranger_(stranger) {}

  int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }
  bool OneIn(int chance) { return Below(chance) == 0; }
  LONG AnyLong() { return static_cast<LONG>(random_()); }

  DISPID Member() {
    switch (Below(8)) {
      case 0: return AnyLong();
      case 1: return DISPID_ABOUTBOX - 1 - Below(16);
      case 2: return 0x68030009 + Below(8);
      default: return kMembers[Below(std::size(kMembers))];
    }
  }

  WORD Flags() {
    constexpr WORD common[] = {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF,
                               DISPATCH_METHOD | DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF,
                               DISPATCH_METHOD | DISPATCH_PROPERTYPUT, 0};
    return OneIn(10) ? static_cast<WORD>(random_()) : common[Below(std::size(common))];
  }

  std::wstring Text() {
    static const wchar_t* const samples[] = {L"07/03/2001", L"31/12/9999", L"01/01/100", L"29/02/2000",
                                             L"dd/mm/yyyy", L"dd/mmm/yyyy", L"dd/mmmm/yyyy", L"", L"  /  /    ",
                                             L"31/02/2027", L"0", L"-1", L"1e308", L"mmmm", L"\"", L"%s%n"};
    switch (Below(8)) {
      case 0: {  // random characters, NULs and unpaired surrogates among them
        std::wstring text(Below(40), L' ');
        for (auto& c : text) c = OneIn(4) ? AnyCharacter() : static_cast<wchar_t>(L'0' + Below(80));
        return text;
      }
      case 1:  // long texts, kept short of 10,000: Wine's EDIT shapes a run of digits in a time that grows with its square
        return OneIn(50) ? std::wstring(5000 + Below(5000), L"0d/m"[Below(4)]) : std::wstring(Below(300), L'9');
      default: return samples[Below(std::size(samples))];
    }
  }

  // Any UTF-16 unit but the Arabic ones (U+0600 to U+08FF, moved 0x300 down): an Arabic run that begins with a
  // combining mark kills a 64-bit process in Wine's EDIT, with no code of ours taking part
  // (tests/package/wine_faults/edit_arabic_mark.cpp shows it).
  wchar_t AnyCharacter() {
    auto c = static_cast<wchar_t>(random_());
    return c >= 0x0600 && c <= 0x08FF ? static_cast<wchar_t>(c - 0x300) : c;
  }

  BSTR String() {
    if (OneIn(20)) return nullptr;
    std::wstring text = Text();
    return Keep(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
  }

  // A VARIANT of any kind; by-reference ones point into storage kept until Clear.
  VARIANT Value(int depth = 0) {
    VARIANT value = {};
    switch (Below(depth > 0 ? 18 : 20)) {
      case 0: break;  // VT_EMPTY
      case 1: V_VT(&value) = VT_NULL; break;
      case 2: V_VT(&value) = VT_ERROR; V_ERROR(&value) = DISP_E_PARAMNOTFOUND; break;  // a missing argument
      case 3: V_VT(&value) = VT_I2; V_I2(&value) = static_cast<SHORT>(random_()); break;
      case 4: V_VT(&value) = VT_I4; V_I4(&value) = OneIn(2) ? Below(40) - 5 : AnyLong(); break;
      case 5: V_VT(&value) = VT_R8; V_R8(&value) = Double(); break;
      case 6: V_VT(&value) = VT_BOOL; V_BOOL(&value) = OneIn(3) ? static_cast<SHORT>(random_()) : -Below(2); break;
      case 7: case 8: V_VT(&value) = VT_BSTR; V_BSTR(&value) = String(); break;
      case 9: V_VT(&value) = VT_DISPATCH; V_DISPATCH(&value) = Object(); break;
      case 10: V_VT(&value) = VT_UNKNOWN; V_UNKNOWN(&value) = Object(); break;
      case 11: V_VT(&value) = VT_DATE; V_DATE(&value) = Double(); break;
      case 12: V_VT(&value) = VT_CY; V_CY(&value).int64 = static_cast<LONGLONG>(random_()); break;
      case 13: V_VT(&value) = VT_I8; V_I8(&value) = static_cast<LONGLONG>(random_()); break;
      case 14: V_VT(&value) = VT_UI1; V_UI1(&value) = static_cast<BYTE>(random_()); break;
      case 15: Array(value); break;
      case 16: V_VT(&value) = static_cast<VARTYPE>(OneIn(2) ? Below(0x50) : random_() & 0x0FFF); break;  // odd types
      case 17: V_VT(&value) = VT_DECIMAL; V_DECIMAL(&value).Lo64 = random_(); V_DECIMAL(&value).scale = Below(40); break;
      default: Reference(value, depth); break;
    }
    return value;
  }

  std::vector<VARIANT>& Arguments(int count) {
    arguments_.clear();
    for (int index = 0; index < count; ++index) arguments_.push_back(Value());
    return arguments_;
  }

  // Frees what the last call's inputs held. Odd types and references are not ours to clear.
  void Clear() {
    for (BSTR text : strings_) SysFreeString(text);
    for (SAFEARRAY* array : arrays_) SafeArrayDestroy(array);
    strings_.clear();
    arrays_.clear();
    references_.clear();
  }

 private:
  double Double() {
    constexpr double samples[] = {0, -0.0, 1, 36957.5, -657434, 2958465.99, 1e308, -1e308,
                                  std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::denorm_min()};
    return OneIn(2) ? samples[Below(std::size(samples))] : std::uniform_real_distribution<double>(-1e6, 1e7)(random_);
  }

  IDispatch* Object() {
    switch (Below(3)) {
      case 0: return nullptr;  // an object variable that holds nothing
      case 1: return font_;
      default: return stranger_;
    }
  }

  void Array(VARIANT& value) {
    const VARTYPE types[] = {VT_I4, VT_BSTR, VT_VARIANT, VT_BOOL};
    VARTYPE type = types[Below(std::size(types))];
    SAFEARRAY* array = SafeArrayCreateVector(type, 0, Below(4));
    if (!array) return;
    arrays_.push_back(array);
    V_VT(&value) = VT_ARRAY | type;
    V_ARRAY(&value) = array;
  }

  // A reference to a fresh value; a reference to a Variant holds one of any kind.
  void Reference(VARIANT& value, int depth) {
    references_.emplace_back();
    VARIANT& target = references_.back();
    if (OneIn(2)) {
      target = Value(depth + 1);
      V_VT(&value) = VT_BYREF | VT_VARIANT;
      V_VARIANTREF(&value) = &target;
      return;
    }
    do target = Value(depth + 1);
    while (!Referable(V_VT(&target)));
    V_VT(&value) = VT_BYREF | V_VT(&target);
    V_BYREF(&value) = V_VT(&target) == VT_DECIMAL ? static_cast<void*>(&V_DECIMAL(&target)) : &V_I4(&target);
  }

  static bool Referable(VARTYPE type) {
    return type < VT_VARIANT || type == VT_UNKNOWN || type == VT_DECIMAL || type == VT_UI1 || type == VT_I8;
  }

  BSTR Keep(BSTR text) {
    strings_.push_back(text);
    return text;
  }

  std::mt19937_64 random_;
  IDispatch* font_;
  IDispatch* stranger_;
  std::vector<VARIANT> arguments_;
  std::vector<BSTR> strings_;
  std::vector<SAFEARRAY*> arrays_;
  std::deque<VARIANT> references_;
};

class DispatchFuzz : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, CoInitialize(nullptr));
    control_ = NewKalendo();
    ASSERT_TRUE(control_);
    dispatch_ = control_.query<IDispatch>();
    ASSERT_EQ(S_OK, control_->get_Font(reinterpret_cast<IFontDisp**>(font_.put())));
  }
  void TearDown() override {
    if (HWND about = FindWindowW(nullptr, L"About Marelco")) SendMessageW(about, WM_COMMAND, IDOK, 0);
    font_.reset();
    dispatch_.reset();
    control_.reset();
    CoUninitialize();
  }

  // One Invoke with random inputs; returns the member it called.
  DISPID InvokeAtRandom(Inputs& inputs) {
    DISPID member = inputs.Member();
    WORD flags = inputs.Flags();
    auto& arguments = inputs.Arguments(inputs.OneIn(8) ? inputs.Below(6) : inputs.Below(2));
    std::vector<DISPID> names;
    int named = arguments.empty() ? 0 : inputs.Below(static_cast<int>(arguments.size()) + 1);
    for (int index = 0; index < named; ++index)
      names.push_back(inputs.OneIn(4) ? inputs.AnyLong() : index == 0 ? DISPID_PROPERTYPUT : index);
    DISPPARAMS params = {arguments.data(), names.empty() ? nullptr : names.data(), static_cast<UINT>(arguments.size()),
                         static_cast<UINT>(names.size())};

    if (trace_ > 1) {
      std::fprintf(stderr, "Invoke 0x%lx flags 0x%x named %d:", static_cast<unsigned long>(member), flags, named);
      for (const VARIANT& argument : arguments) std::fprintf(stderr, " %x", V_VT(&argument));
      std::fprintf(stderr, "\n");
      std::fflush(stderr);
    }
    OleVariant result;
    EXCEPINFO exception = {};
    UINT argumentError = 0;
    bool withException = !inputs.OneIn(4);
    HRESULT outcome = dispatch_->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                        inputs.OneIn(4) ? nullptr : result.get(), withException ? &exception : nullptr,
                                        inputs.OneIn(4) ? nullptr : &argumentError);
    if (withException) ExpectSane(outcome, exception, member, flags);
    EXPECT_TRUE(outcome == S_OK || FAILED(outcome)) << std::hex << outcome;
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    lastFailed_ = FAILED(outcome);
    return member;
  }

  void ExpectSane(HRESULT outcome, const EXCEPINFO& exception, DISPID member, WORD flags) {
    SCOPED_TRACE(testing::Message() << "member 0x" << std::hex << member << " flags 0x" << flags);
    if (outcome != DISP_E_EXCEPTION) {
      EXPECT_FALSE(exception.bstrSource || exception.bstrDescription) << "strings only with an exception";
      return;
    }
    EXPECT_TRUE(FAILED(exception.scode) || exception.wCode != 0) << "an exception names its error";
    if (exception.bstrDescription) {
      EXPECT_EQ(SysStringLen(exception.bstrDescription), wcslen(exception.bstrDescription));
    }
  }

  // One call through the interface table, a null out-pointer among the choices.
  DISPID CallAtRandom(Inputs& inputs) {
    Bstr text;
    LONG number = 0;
    SHORT shortNumber = 0;
    VARIANT_BOOL flag = inputs.OneIn(2) ? VARIANT_TRUE : VARIANT_FALSE;
    OLE_COLOR color = 0;
    ComPtr<IFontDisp> font;
    ComPtr<IPictureDisp> picture;
    bool null = inputs.OneIn(2);
    _Kalendo* c = control_.get();
    HRESULT outcome = S_OK;
    DISPID member = DISPID_UNKNOWN;
    auto get = [&](DISPID id, HRESULT got) {
      member = id;
      outcome = got;
      if (null) {
        EXPECT_EQ(E_POINTER, got) << "member 0x" << std::hex << id;
      }
    };
    int method = inputs.Below(27);
    if (trace_ > 1) std::fprintf(stderr, "table %d null %d\n", method, null), std::fflush(stderr);
    switch (method) {
      case 0: get(DISPID_VALUE, c->get_Text(null ? nullptr : text.put())); break;
      case 1: get(DISPID_KALENDO_FORMATO, c->get_Formato(null ? nullptr : text.put())); break;
      case 2: get(DISPID_KALENDO_SELTEXT, c->get_SelText(null ? nullptr : text.put())); break;
      case 3: get(DISPID_KALENDO_TOOLTIPTEXT, c->get_ToolTipText(null ? nullptr : text.put())); break;
      case 4: get(DISPID_KALENDO_CAMBIAFECHA, c->CambiaFecha(null ? nullptr : &flag)); break;
      case 5: get(DISPID_KALENDO_CAMBIAFECHA2, c->CambiaFecha2(null ? nullptr : &flag)); break;
      case 6: get(DISPID_BACKCOLOR, c->get_BackColor(null ? nullptr : &color)); break;
      case 7: get(DISPID_ENABLED, c->get_Enabled(null ? nullptr : &flag)); break;
      case 8: get(DISPID_FONT, c->get_Font(null ? nullptr : font.put())); break;
      case 9: get(DISPID_FORECOLOR, c->get_ForeColor(null ? nullptr : &color)); break;
      case 10: get(DISPID_KALENDO_ANCHOMIN, c->AnchoMin(null ? nullptr : &number)); break;
      case 11: get(DISPID_BORDERSTYLE, c->get_BorderStyle(null ? nullptr : &shortNumber)); break;
      case 12: get(DISPID_KALENDO_HDC, c->get_hdc(null ? nullptr : &number)); break;
      case 13: get(DISPID_KALENDO_LOCKED, c->get_Locked(null ? nullptr : &flag)); break;
      case 14: get(DISPID_KALENDO_MOUSEPOINTER, c->get_MousePointer(null ? nullptr : &shortNumber)); break;
      case 15: get(DISPID_KALENDO_MOUSEICON, c->get_MouseIcon(null ? nullptr : picture.put())); break;
      case 16: get(DISPID_KALENDO_SELLENGTH, c->get_SelLength(null ? nullptr : &number)); break;
      case 17: get(DISPID_KALENDO_SELSTART, c->get_SelStart(null ? nullptr : &number)); break;
      case 18: member = DISPID_VALUE, outcome = c->put_Text(inputs.String()); break;
      case 19: member = DISPID_KALENDO_FORMATO, outcome = c->put_Formato(inputs.String()); break;
      case 20: member = DISPID_KALENDO_SELTEXT, outcome = c->put_SelText(inputs.String()); break;
      case 21: member = DISPID_KALENDO_SELLENGTH, outcome = c->put_SelLength(inputs.OneIn(2) ? inputs.Below(20) - 2 : inputs.AnyLong()); break;
      case 22: member = DISPID_KALENDO_SELSTART, outcome = c->put_SelStart(inputs.OneIn(2) ? inputs.Below(20) - 2 : inputs.AnyLong()); break;
      case 23: member = DISPID_KALENDO_MOUSEPOINTER, outcome = c->put_MousePointer(static_cast<SHORT>(inputs.AnyLong())); break;
      case 24: member = DISPID_ABOUTBOX, outcome = c->About(); break;
      case 25: member = DISPID_FONT, outcome = c->putref_Font(null ? nullptr : reinterpret_cast<IFontDisp*>(&stranger_)); break;
      default: member = DISPID_KALENDO_MOUSEICON, outcome = c->putref_MouseIcon(null ? nullptr : reinterpret_cast<IPictureDisp*>(&stranger_)); break;
    }
    EXPECT_TRUE(outcome == S_OK || FAILED(outcome)) << std::hex << outcome;
    lastFailed_ = FAILED(outcome);
    return member;
  }

  // Now and then the control starts again from a date in one of its formats, so that stepping and selection
  // meet dates as well as the fuzzer's texts.
  void StartFromDate(Inputs& inputs) {
    static const wchar_t* const formats[] = {L"dd/mm/yyyy", L"dd/mmm/yyyy", L"dd/mmmm/yyyy"};
    ASSERT_EQ(S_OK, control_->put_Formato(Bstr(std::wstring_view(formats[inputs.Below(3)])).get()));
    ASSERT_EQ(S_OK, control_->put_Text(Bstr(std::wstring_view(L"15/06/2020")).get()));
    ASSERT_EQ(S_OK, control_->put_SelStart(inputs.Below(12)));
  }

  ComPtr<_Kalendo> control_;
  ComPtr<IDispatch> dispatch_;
  testing_sinks::EventSink stranger_;  // an object of the wrong kind wherever one is taken
  ComPtr<IDispatch> font_;
  bool lastFailed_ = false;
  // 1: progress with memory and objects every 5,000 calls; 2: also each call on stderr before it is made
  unsigned long long trace_ = Setting("MARELCO_FUZZ_TRACE", 0);
};

ULONG References(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

// Members that may write the text or the format before they fail.
bool Writes(DISPID member) {
  return member == DISPID_VALUE || member == DISPID_KALENDO_FORMATO || member == DISPID_KALENDO_SELTEXT || member == DISPID_KALENDO_CAMBIAFECHA ||
         member == DISPID_KALENDO_CAMBIAFECHA2;
}

TEST_F(DispatchFuzz, RandomCallsLeaveTheControlWholeAndAnswerSanely) {
  const unsigned long long seed = Setting("MARELCO_FUZZ_SEED", 13);
  const unsigned long long calls = Setting("MARELCO_FUZZ_CALLS", 200000);
  std::printf("dispatch fuzzer: seed %llu, %llu calls\n", seed, calls);
  Inputs inputs(seed, font_.get(), &stranger_);
  DWORD startTime = GetTickCount();
  unsigned long long failures = 0;
  ULONG keptByWine = 0;
  for (unsigned long long call = 0; call < calls; ++call) {
    if (call % 500 == 0) StartFromDate(inputs);
    if (call % 5000 == 0 && trace_) {
      PROCESS_MEMORY_COUNTERS memory = {};
      K32GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
      std::printf("at %llu: %lu ms, %zu kB\n", call, GetTickCount() - startTime,
                  static_cast<size_t>(memory.PagefileUsage / 1024));
    }
    std::wstring text = Read(control_.get(), &_Kalendo::get_Text);
    std::wstring format = Read(control_.get(), &_Kalendo::get_Formato);
    SCOPED_TRACE(testing::Message() << "call " << call);
    DWORD callStart = GetTickCount();
    bool throughTable = inputs.OneIn(3);
    DISPID member = throughTable ? CallAtRandom(inputs) : InvokeAtRandom(inputs);
    if (trace_ && GetTickCount() - callStart > 100)
      std::printf("call %llu to 0x%lx took %lu ms; text of %zu, format of %zu characters\n", call, member,
                  GetTickCount() - callStart, text.size(), format.size());
    inputs.Clear();
    // Wine's dispatch keeps a reference to an object it converted from VT_UNKNOWN for a put it refused: only
    // calls through the table are held to keeping none; the others' are counted.
    if (throughTable) {
      EXPECT_EQ(keptByWine, stranger_.references) << "call to 0x" << std::hex << member << " keeps its argument";
    }
    keptByWine = stranger_.references;
    if (HasFailure()) return;  // the seed and this call number replay it
    if (!lastFailed_) continue;
    ++failures;
    if (Writes(member)) continue;  // those must only still read, as Read checks on the next round
    ASSERT_EQ(text, Read(control_.get(), &_Kalendo::get_Text)) << "call " << call << " member 0x" << std::hex << member;
    ASSERT_EQ(format, Read(control_.get(), &_Kalendo::get_Formato)) << "call " << call << " member 0x" << std::hex << member;
    if (HasFailure()) return;
  }
  EXPECT_EQ(2u, References(control_.get())) << "nor the control: ours are the interface and its IDispatch";
  std::printf("dispatch fuzzer: %llu calls done, %llu of them refused, in %lu ms; Wine's dispatch kept %lu references\n",
              calls, failures, GetTickCount() - startTime, keptByWine);
}

}  // namespace
}  // namespace marelco
