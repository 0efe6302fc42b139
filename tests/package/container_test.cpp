// Kalendo in containers: saving to and loading from property bags, streams and storages; bad saved data;
// a container of our own that records the order of its calls; Wine's ATL host.
#include <gtest/gtest.h>

#include <olectl.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "package/categorize_properties.h"
#include "package/marelco_typelib.h"
#include "tests/package/atl_host.h"
#include "tests/package/ocx_path.h"
#include "tests/package/property_bag.h"
#include "tests/package/sinks.h"
#include "tests/package/site.h"
#include "tests/win32/pixels.h"
#include "tests/win32/resource_count.h"
#include "tests/win32/window_test_support.h"
#include "win32/window_support.h"

namespace marelco {
namespace {

using testing_bag::PropertyBag;
using testing_site::Site;

// Create, activate in place, save and release, this many times over.
constexpr int kLifetimeCycles = 10000;

std::wstring Text(_Kalendo* control, HRESULT (STDMETHODCALLTYPE _Kalendo::*getter)(BSTR*)) {
  Bstr text;
  EXPECT_EQ(S_OK, (control->*getter)(text.put()));
  return text.get() ? text.get() : L"";
}

// Every persisted property of a control, as one comparable value.
struct Persisted {
  std::wstring formato, text, toolTip, fontName;
  OLE_COLOR back = 0, fore = 0;
  VARIANT_BOOL enabled = 0, locked = 0;
  SHORT pointer = 0;
  CY fontSize = {};
  BOOL fontBold = FALSE;
  bool hasMouseIcon = false;

  static Persisted Of(_Kalendo* control) {
    Persisted p;
    p.formato = Text(control, &_Kalendo::get_Formato);
    p.text = Text(control, &_Kalendo::get_Text);
    p.toolTip = Text(control, &_Kalendo::get_ToolTipText);
    control->get_BackColor(&p.back);
    control->get_ForeColor(&p.fore);
    control->get_Enabled(&p.enabled);
    control->get_Locked(&p.locked);
    control->get_MousePointer(&p.pointer);
    ComPtr<IFontDisp> font;
    control->get_Font(font.put());
    if (auto ole = font.query<IFont>()) {
      Bstr name;
      ole->get_Name(name.put());
      p.fontName = name.get() ? name.get() : L"";
      ole->get_Size(&p.fontSize);
      ole->get_Bold(&p.fontBold);
    }
    ComPtr<IPictureDisp> icon;
    control->get_MouseIcon(icon.put());
    p.hasMouseIcon = static_cast<bool>(icon);
    return p;
  }
  friend std::ostream& operator<<(std::ostream& out, const Persisted& p) {
    return out << testing::PrintToString(p.formato) << " " << testing::PrintToString(p.text) << " "
               << testing::PrintToString(p.toolTip) << " " << testing::PrintToString(p.fontName) << " " << p.back
               << " " << p.fore << " " << p.enabled << " " << p.locked << " " << p.pointer << " "
               << p.fontSize.int64 << " " << p.fontBold << " " << p.hasMouseIcon;
  }
  bool operator==(const Persisted& o) const {
    return formato == o.formato && toolTip == o.toolTip && fontName == o.fontName &&
           back == o.back && fore == o.fore && enabled == o.enabled && locked == o.locked && pointer == o.pointer &&
           fontSize.int64 == o.fontSize.int64 && fontBold == o.fontBold && hasMouseIcon == o.hasMouseIcon;
  }
};

ComPtr<IFontDisp> NewFont(const wchar_t* name, ULONG size, SHORT weight = FW_NORMAL) {
  ComPtr<IFontDisp> font;
  FONTDESC description = {sizeof description, const_cast<LPOLESTR>(name), {{size, 0}}, weight, 0, 0, 0, 0};
  EXPECT_EQ(S_OK, OleCreateFontIndirect(&description, IID_IFontDisp, font.put_void()));
  return font;
}

void ChangeEveryProperty(_Kalendo* control) {
  ASSERT_EQ(S_OK, control->put_Formato(Bstr(std::wstring_view(L"dd/mmmm/yyyy")).get()));
  ASSERT_EQ(S_OK, control->put_BackColor(RGB(10, 20, 30)));
  ASSERT_EQ(S_OK, control->put_ForeColor(RGB(200, 100, 50)));
  ASSERT_EQ(S_OK, control->put_ToolTipText(Bstr(std::wstring_view(L"Fecha de entrega")).get()));
  ASSERT_EQ(S_OK, control->put_Locked(VARIANT_TRUE));
  ASSERT_EQ(S_OK, control->put_Enabled(VARIANT_FALSE));
  ASSERT_EQ(S_OK, control->put_MousePointer(2));
  ASSERT_EQ(S_OK, control->putref_Font(NewFont(L"Arial", 120000, FW_BOLD).get()));
  ASSERT_EQ(S_OK, control->put_Text(Bstr(std::wstring_view(L"7/3/2001")).get()));
}

// What a control whose date text was well formed when saved shows after loading: today, in its format.
std::wstring TodayIn(const wchar_t* format) {
  auto control = NewKalendo();
  control->put_Formato(Bstr(std::wstring_view(format)).get());
  return Text(control.get(), &_Kalendo::get_Text);
}

// A control just loaded is clean until a change; loading or starting it again answers `again` and changes nothing.
void ExpectLoadedOnce(const ComPtr<_Kalendo>& copy, const std::function<HRESULT()>& startAgain, HRESULT again) {
  auto persist = copy.query<IPersistStreamInit>();
  EXPECT_EQ(S_FALSE, persist->IsDirty());
  EXPECT_EQ(again, startAgain());
  EXPECT_EQ(S_FALSE, persist->IsDirty());
  ASSERT_EQ(S_OK, copy->put_Locked(VARIANT_FALSE));
  EXPECT_EQ(S_OK, persist->IsDirty());
}

class Container : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ASSERT_TRUE(NewKalendo()) << "Marelco.ocx must be registered";
  }
  void TearDown() override { OleUninitialize(); }
};

TEST_F(Container, StreamCarriesEveryPersistedPropertyIntoANewInstance) {
  auto original = NewKalendo();
  ASSERT_EQ(S_OK, original.query<IPersistStreamInit>()->InitNew());
  ChangeEveryProperty(original.get());
  EXPECT_EQ(S_OK, original.query<IPersistStreamInit>()->IsDirty());
  ULARGE_INTEGER sizeMax = {};
  ASSERT_EQ(S_OK, original.query<IPersistStreamInit>()->GetSizeMax(&sizeMax));
  ComPtr<IStream> stream;
  ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
  ASSERT_EQ(S_OK, original.query<IPersistStreamInit>()->Save(stream.get(), TRUE));
  EXPECT_EQ(S_FALSE, original.query<IPersistStreamInit>()->IsDirty());
  ULARGE_INTEGER written = {};
  stream->Seek({}, STREAM_SEEK_CUR, &written);
  EXPECT_EQ(written.QuadPart, sizeMax.QuadPart) << "the size announced is the size written";

  stream->Seek({}, STREAM_SEEK_SET, nullptr);
  auto copy = NewKalendo();
  ASSERT_EQ(S_OK, copy.query<IPersistStreamInit>()->Load(stream.get()));
  const Persisted saved = Persisted::Of(original.get()), loaded = Persisted::Of(copy.get());
  EXPECT_EQ(saved, loaded);
  EXPECT_EQ(L"07/March/2001", saved.text) << "written as a date of the format";
  EXPECT_EQ(TodayIn(L"dd/mmmm/yyyy"), loaded.text);
  EXPECT_TRUE(loaded.fontBold);
  EXPECT_EQ(VARIANT_FALSE, loaded.enabled);
  EXPECT_EQ(E_UNEXPECTED, copy.query<IPersistStreamInit>()->InitNew()) << "an instance starts only once";
  ExpectLoadedOnce(copy, [&] { return copy.query<IPersistStreamInit>()->Load(stream.get()); }, E_UNEXPECTED);
}

TEST_F(Container, PropertyBagCarriesEveryPersistedPropertyAndOnlyWhatDiffersFromDefaults) {
  auto original = NewKalendo();
  ASSERT_EQ(S_OK, original.query<IPersistPropertyBag>()->InitNew());
  PropertyBag fresh;
  ASSERT_EQ(S_OK, original.query<IPersistPropertyBag>()->Save(&fresh, TRUE, FALSE));
  EXPECT_EQ(0u, fresh.values.count(L"Formato"));
  EXPECT_EQ(0u, fresh.values.count(L"Text")) << "a well formed date is not stored";
  EXPECT_EQ(1u, fresh.values.count(L"MouseIcon")) << "the new instance's empty picture differs from none";
  auto reloaded = NewKalendo();
  ASSERT_EQ(S_OK, reloaded.query<IPersistPropertyBag>()->Load(&fresh, nullptr));
  ComPtr<IPictureDisp> icon, again;
  ASSERT_EQ(S_OK, reloaded->get_MouseIcon(icon.put()));
  ASSERT_EQ(S_OK, reloaded->get_MouseIcon(again.put()));
  EXPECT_TRUE(icon && icon.get() == again.get() &&
              icon.query<IUnknown>().get() != ComPtr<IUnknown>(V_UNKNOWN(&fresh.values[L"MouseIcon"])).query<IUnknown>().get())
      << "a saved empty picture is read as the control's own";

  ChangeEveryProperty(original.get());
  PropertyBag bag;
  ASSERT_EQ(S_OK, original.query<IPersistPropertyBag>()->Save(&bag, TRUE, FALSE));
  EXPECT_EQ(VT_BSTR, V_VT(&bag.values[L"Formato"]));
  auto copy = NewKalendo();
  ASSERT_EQ(S_OK, copy.query<IPersistPropertyBag>()->Load(&bag, nullptr));
  EXPECT_EQ(Persisted::Of(original.get()), Persisted::Of(copy.get()));
  EXPECT_EQ((std::vector<VARTYPE>{VT_UNKNOWN, VT_UNKNOWN, VT_EMPTY}),
            (std::vector<VARTYPE>{bag.asked[L"Font"], bag.asked[L"MouseIcon"], bag.asked[L"Formato"]}))
      << "objects are asked for as objects, the rest as stored";
  ExpectLoadedOnce(copy, [&] { return copy.query<IPersistPropertyBag>()->Load(&bag, nullptr); }, E_UNEXPECTED);
  EXPECT_EQ(0u, bag.references);

  // A stored text that is not in the form of the format is shown verbatim.
  Bstr stored(std::wstring_view(L"7/3/2001"));
  VARIANT text;
  V_VT(&text) = VT_BSTR;
  V_BSTR(&text) = stored.get();
  PropertyBag withText;
  withText.Put(L"Text", text);
  auto shown = NewKalendo();
  ASSERT_EQ(S_OK, shown.query<IPersistPropertyBag>()->Load(&withText, nullptr));
  EXPECT_EQ(L"7/3/2001", Text(shown.get(), &_Kalendo::get_Text));
}

TEST_F(Container, StorageCarriesEveryPersistedProperty) {
  ComPtr<ILockBytes> bytes;
  ASSERT_EQ(S_OK, CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.put()));
  ComPtr<IStorage> storage;
  ASSERT_EQ(S_OK, StgCreateDocfileOnILockBytes(bytes.get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                               storage.put()));
  auto original = NewKalendo();
  ASSERT_EQ(S_OK, original.query<IPersistStorage>()->InitNew(storage.get()));
  ChangeEveryProperty(original.get());
  ASSERT_EQ(S_OK, original.query<IPersistStorage>()->Save(storage.get(), TRUE));
  auto copy = NewKalendo();
  ASSERT_EQ(S_OK, copy.query<IPersistStorage>()->Load(storage.get()));
  EXPECT_EQ(Persisted::Of(original.get()), Persisted::Of(copy.get()));
  EXPECT_EQ(CO_E_ALREADYINITIALIZED, copy.query<IPersistStorage>()->InitNew(storage.get()));
  ExpectLoadedOnce(copy, [&] { return copy.query<IPersistStorage>()->Load(storage.get()); }, CO_E_ALREADYINITIALIZED);
}

TEST_F(Container, BadSavedDataIsRefusedWithAnErrorNeverACrash) {
  auto original = NewKalendo();
  ASSERT_EQ(S_OK, original.query<IPersistStreamInit>()->InitNew());
  ChangeEveryProperty(original.get());
  ComPtr<IStream> stream;
  ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
  ASSERT_EQ(S_OK, original.query<IPersistStreamInit>()->Save(stream.get(), TRUE));
  STATSTG stat = {};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<unsigned char> good(stat.cbSize.QuadPart);
  stream->Seek({}, STREAM_SEEK_SET, nullptr);
  stream->Read(good.data(), static_cast<ULONG>(good.size()), nullptr);

  std::mt19937 random(20261207);
  int refused = 0;
  for (int round = 0; round < 150; ++round) {
    std::vector<unsigned char> bytes = good;
    if (round % 3 == 0) bytes.resize(random() % bytes.size());           // cut short
    for (int flips = 1 + random() % 8; flips > 0 && !bytes.empty(); --flips)  // damaged
      bytes[random() % bytes.size()] = static_cast<unsigned char>(random());
    ComPtr<IStream> damaged;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, damaged.put()));
    damaged->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    damaged->Seek({}, STREAM_SEEK_SET, nullptr);
    auto control = NewKalendo();
    refused += FAILED(control.query<IPersistStreamInit>()->Load(damaged.get()));
    Bstr text;
    EXPECT_EQ(S_OK, control->get_Text(text.put()));
  }
  EXPECT_GT(refused, 50);
  // A stream of another format, one too short for a header and one of more entries than a control saves are
  // refused, and the control is left as created; one of as many entries as the format allows loads.
  auto entries = [header = std::string(good.begin(), good.begin() + 8)](std::uint32_t count, std::uint32_t written) {
    std::string bytes = header + std::string(reinterpret_cast<const char*>(&count), sizeof count);
    for (std::uint32_t index = 0; index < written; ++index) bytes += std::string("\1\0\0\0x\0\0\0", 8);  // "x": empty
    return bytes;
  };
  for (const auto& [bytes, expected] : {std::pair<std::string, HRESULT>{"another form", E_UNEXPECTED},
                                        {"ab", STG_E_READFAULT}, {entries(257, 0), E_UNEXPECTED},
                                        {entries(256, 256), S_OK}}) {
    ComPtr<IStream> foreign;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, foreign.put()));
    foreign->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    foreign->Seek({}, STREAM_SEEK_SET, nullptr);
    auto control = NewKalendo();
    EXPECT_EQ(expected, control.query<IPersistStreamInit>()->Load(foreign.get())) << bytes.size();
    EXPECT_EQ(FAILED(expected) ? S_OK : E_UNEXPECTED, control.query<IPersistStreamInit>()->InitNew()) << bytes.size();
  }

  struct BadValue {
    const wchar_t* key;
    VARIANT value;
    HRESULT expected;
  };
  auto number = [](double value) {
    VARIANT variant;
    V_VT(&variant) = VT_R8;
    V_R8(&variant) = value;
    return variant;
  };
  Bstr words(std::wstring_view(L"not a colour"));
  VARIANT text;
  V_VT(&text) = VT_BSTR;
  V_BSTR(&text) = words.get();
  testing_sinks::PropertyNotifySink stranger;
  VARIANT object;
  V_VT(&object) = VT_UNKNOWN;
  V_UNKNOWN(&object) = &stranger;
  const BadValue bad[] = {
      {L"BackColor", text, MAKE_HRESULT(1, FACILITY_CONTROL, 13)},
      {L"MousePointer", number(1e300), MAKE_HRESULT(1, FACILITY_CONTROL, 6)},
      {L"SelStart", number(-5), MAKE_HRESULT(1, FACILITY_CONTROL, 380)},
      {L"Font", object, MAKE_HRESULT(1, FACILITY_CONTROL, 13)},
  };
  for (const auto& value : bad) {
    PropertyBag bag;
    bag.Put(value.key, value.value);
    auto control = NewKalendo();
    EXPECT_EQ(value.expected, control.query<IPersistPropertyBag>()->Load(&bag, nullptr))
        << testing::PrintToString(std::wstring(value.key));
  }
}

// Every interface the control answers for, whether the object carries it or makes it when asked, leads to every
// other and to one IUnknown.
TEST_F(Container, EveryInterfaceIsOneIdentity) {
  const IID* interfaces[] = {&IID__Kalendo,          &IID_IDispatch,          &IID_IProvideClassInfo,
                             &IID_IProvideClassInfo2, &IID_ISupportErrorInfo,  &IID_IQuickActivate,
                             &IID_IPersistStorage,    &IID_IObjectSafety,      &IID_ISpecifyPropertyPages,
                             &IID_IOleObject,         &IID_IPersistStreamInit, &IID_IConnectionPointContainer};
  auto control = NewKalendo();
  const ComPtr<IUnknown> identity = control.query<IUnknown>();
  for (const IID* from : interfaces) {
    ComPtr<IUnknown> start;
    ASSERT_EQ(S_OK, control->QueryInterface(*from, start.put_void())) << testing::PrintToString(*from);
    EXPECT_EQ(identity.get(), start.query<IUnknown>().get()) << testing::PrintToString(*from);
    for (const IID* to : interfaces) {
      ComPtr<IUnknown> reached;
      EXPECT_EQ(S_OK, start->QueryInterface(*to, reached.put_void())) << testing::PrintToString(*to);
    }
  }
}

// A method of an interface the control answers, called with null for a pointer or with a value it does not take.
struct Refused {
  const char* call;
  HRESULT expected;
  HRESULT (*make)(const ComPtr<IUnknown>& control);
};
#define REFUSED(Interface, call, expected) \
  { #Interface "::" #call, expected, [](const ComPtr<IUnknown>& c) -> HRESULT { return c.query<Interface>()->call; } }

// What the rows pass for the arguments they do not refuse.
struct Arguments {
  SIZEL size = {1000, 500};
  RECT rect = {0, 0, 10, 10};
  RECTL rectl = {0, 0, 10, 10};
  DWORD dword = 0;
  OLEVERB verbs[2] = {};
  ITypeInfo* typeInfo = nullptr;
  DISPID dispid = 0;
  HDC dc = GetDC(nullptr);  // the screen's
  FORMATETC text = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  FORMATETC picture = {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
  STGMEDIUM medium = {};
  CLSID clsid = {};
  testing_sinks::PropertyNotifySink sink;  // answers for no event interface
  testing_sinks::DataSink adviseSink;
} given;

ComPtr<IConnectionPoint> EventPoint(const ComPtr<IUnknown>& control) {
  ComPtr<IConnectionPoint> point;
  control.query<IConnectionPointContainer>()->FindConnectionPoint(DIID___Kalendo, point.put());
  return point;
}
ComPtr<IEnumOLEVERB> Verbs(const ComPtr<IUnknown>& control) {
  ComPtr<IEnumOLEVERB> verbs;
  control.query<IOleObject>()->EnumVerbs(verbs.put());
  return verbs;
}

std::vector<BYTE> SavedBytes(const ComPtr<_Kalendo>& control, BOOL clearDirty = FALSE) {
  ComPtr<IStream> stream;
  EXPECT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
  EXPECT_EQ(S_OK, control.query<IPersistStreamInit>()->Save(stream.get(), clearDirty));
  HGLOBAL memory = nullptr;
  GetHGlobalFromStream(stream.get(), &memory);
  const auto* bytes = static_cast<const BYTE*>(GlobalLock(memory));
  std::vector<BYTE> saved(bytes, bytes + GlobalSize(memory));
  GlobalUnlock(memory);
  return saved;
}

// Every method of the OLE interfaces refuses a null pointer it would write through or read, and a value it does
// not take (an aspect it does not draw, a format it does not render, a verb or a connection it does not know),
// with its error; the control is as before: the same saved bytes, not dirty, not in a window.
TEST_F(Container, EveryOleMethodRefusesNullAndBadArgumentsAndChangesNothing) {
  const Refused rows[] = {
      REFUSED(IDispatch, GetTypeInfoCount(nullptr), E_POINTER),
      REFUSED(IDispatch, GetTypeInfo(0, 0, nullptr), E_POINTER),
      REFUSED(IDispatch, GetTypeInfo(1, 0, &given.typeInfo), DISP_E_BADINDEX),
      REFUSED(IDispatch, GetIDsOfNames(IID_IOleObject, nullptr, 1, 0, &given.dispid), DISP_E_UNKNOWNINTERFACE),
      REFUSED(IDispatch, GetIDsOfNames(IID_NULL, nullptr, 1, 0, &given.dispid), E_POINTER),
      REFUSED(IDispatch, Invoke(DISPID_VALUE, IID_IOleObject, 0, DISPATCH_PROPERTYGET, nullptr, nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE),
      REFUSED(IOleObject, GetClientSite(nullptr), E_POINTER),
      REFUSED(IOleObject, SetHostNames(nullptr, nullptr), S_OK),
      REFUSED(IOleObject, SetMoniker(OLEWHICHMK_OBJREL, nullptr), E_NOTIMPL),
      REFUSED(IOleObject, GetMoniker(0, OLEWHICHMK_OBJREL, nullptr), E_NOTIMPL),
      REFUSED(IOleObject, InitFromData(nullptr, TRUE, 0), E_NOTIMPL),
      REFUSED(IOleObject, GetClipboardData(0, nullptr), E_NOTIMPL),
      REFUSED(IOleObject, DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, nullptr), E_UNEXPECTED),
      REFUSED(IOleObject, DoVerb(OLEIVERB_UIACTIVATE, nullptr, nullptr, 0, nullptr, nullptr), E_UNEXPECTED),
      REFUSED(IOleObject, DoVerb(1, nullptr, nullptr, 0, nullptr, nullptr), OLEOBJ_S_INVALIDVERB),
      REFUSED(IOleObject, DoVerb(-99, nullptr, nullptr, 0, nullptr, nullptr), E_NOTIMPL),
      REFUSED(IOleObject, EnumVerbs(nullptr), E_POINTER),
      REFUSED(IOleObject, GetUserClassID(nullptr), E_POINTER),
      REFUSED(IOleObject, GetUserType(USERCLASSTYPE_FULL, nullptr), E_INVALIDARG),
      REFUSED(IOleObject, SetExtent(DVASPECT_ICON, &given.size), DV_E_DVASPECT),
      REFUSED(IOleObject, SetExtent(DVASPECT_CONTENT, nullptr), E_POINTER),
      REFUSED(IOleObject, GetExtent(DVASPECT_THUMBNAIL, &given.size), DV_E_DVASPECT),
      REFUSED(IOleObject, GetExtent(DVASPECT_CONTENT, nullptr), E_POINTER),
      REFUSED(IOleObject, Advise(nullptr, &given.dword), E_INVALIDARG),
      REFUSED(IOleObject, Advise(&given.adviseSink, nullptr), E_INVALIDARG),
      REFUSED(IOleObject, Unadvise(12345), OLE_E_NOCONNECTION),
      REFUSED(IOleObject, EnumAdvise(nullptr), E_POINTER),
      REFUSED(IOleObject, GetMiscStatus(DVASPECT_CONTENT, nullptr), E_POINTER),
      REFUSED(IOleObject, SetColorScheme(nullptr), E_NOTIMPL),
      REFUSED(IOleInPlaceObject, GetWindow(nullptr), E_POINTER),
      REFUSED(IOleInPlaceObject, ContextSensitiveHelp(TRUE), E_NOTIMPL),
      REFUSED(IOleInPlaceObject, InPlaceDeactivate(), S_OK),
      REFUSED(IOleInPlaceObject, UIDeactivate(), S_OK),
      REFUSED(IOleInPlaceObject, SetObjectRects(nullptr, &given.rect), E_POINTER),
      REFUSED(IOleInPlaceObject, ReactivateAndUndo(), E_NOTIMPL),
      REFUSED(IOleInPlaceActiveObject, TranslateAccelerator(nullptr), E_INVALIDARG),
      REFUSED(IOleInPlaceActiveObject, ResizeBorder(nullptr, nullptr, FALSE), S_OK),
      REFUSED(IOleControl, GetControlInfo(nullptr), E_POINTER),
      REFUSED(IOleControl, OnMnemonic(nullptr), S_OK),
      REFUSED(IOleControl, OnAmbientPropertyChange(12345), S_OK),
      REFUSED(IViewObjectEx, Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, given.dc, &given.rectl, nullptr, nullptr, 0), DV_E_DVASPECT),
      REFUSED(IViewObjectEx, Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &given.rectl, nullptr, nullptr, 0), E_INVALIDARG),
      REFUSED(IViewObjectEx, Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, given.dc, nullptr, nullptr, nullptr, 0), E_INVALIDARG),
      REFUSED(IViewObjectEx, GetColorSet(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr), S_FALSE),
      REFUSED(IViewObjectEx, Freeze(DVASPECT_DOCPRINT, -1, nullptr, &given.dword), DV_E_DVASPECT),
      REFUSED(IViewObjectEx, Freeze(DVASPECT_CONTENT, -1, nullptr, nullptr), E_POINTER),
      REFUSED(IViewObjectEx, Unfreeze(12345), OLE_E_NOCONNECTION),
      REFUSED(IViewObjectEx, GetAdvise(nullptr, nullptr, nullptr), S_OK),
      {"IViewObjectEx::GetAdvise of a view no one advised: nothing", S_OK, [](const ComPtr<IUnknown>& c) {
         DWORD aspects = 9, flags = 9;
         IAdviseSink* sink = &given.adviseSink;
         const HRESULT answer = c.query<IViewObjectEx>()->GetAdvise(&aspects, &flags, &sink);
         return aspects || flags || sink ? E_UNEXPECTED : answer;
       }},
      REFUSED(IViewObjectEx, GetExtent(DVASPECT_ICON, -1, nullptr, &given.size), DV_E_DVASPECT),
      REFUSED(IViewObjectEx, GetExtent(DVASPECT_CONTENT, -1, nullptr, nullptr), E_POINTER),
      REFUSED(IViewObjectEx, GetRect(DVASPECT_ICON, &given.rectl), DV_E_DVASPECT),
      REFUSED(IViewObjectEx, GetRect(DVASPECT_CONTENT, nullptr), E_POINTER),
      REFUSED(IViewObjectEx, GetViewStatus(nullptr), E_POINTER),
      REFUSED(IViewObjectEx, QueryHitPoint(DVASPECT_CONTENT, nullptr, POINT{}, 0, &given.dword), E_POINTER),
      REFUSED(IViewObjectEx, QueryHitPoint(DVASPECT_CONTENT, &given.rect, POINT{}, 0, nullptr), E_POINTER),
      REFUSED(IViewObjectEx, QueryHitRect(DVASPECT_CONTENT, &given.rect, nullptr, 0, &given.dword), E_POINTER),
      REFUSED(IViewObjectEx, QueryHitRect(DVASPECT_ICON, &given.rect, &given.rect, 0, &given.dword), DV_E_DVASPECT),
      REFUSED(IViewObjectEx, GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr), E_NOTIMPL),
      REFUSED(IDataObject, GetData(nullptr, &given.medium), E_INVALIDARG),
      REFUSED(IDataObject, GetData(&given.picture, nullptr), E_INVALIDARG),
      REFUSED(IDataObject, GetData(&given.text, &given.medium), DV_E_FORMATETC),
      REFUSED(IDataObject, GetDataHere(&given.picture, &given.medium), DATA_E_FORMATETC),
      REFUSED(IDataObject, QueryGetData(nullptr), E_INVALIDARG),
      REFUSED(IDataObject, QueryGetData(&given.text), DV_E_FORMATETC),
      REFUSED(IDataObject, GetCanonicalFormatEtc(nullptr, &given.picture), E_INVALIDARG),
      REFUSED(IDataObject, GetCanonicalFormatEtc(&given.picture, nullptr), E_INVALIDARG),
      REFUSED(IDataObject, SetData(&given.picture, &given.medium, FALSE), E_NOTIMPL),
      REFUSED(IDataObject, EnumFormatEtc(DATADIR_GET, nullptr), E_INVALIDARG),
      REFUSED(IDataObject, EnumFormatEtc(DATADIR_SET, nullptr), E_INVALIDARG),
      REFUSED(IDataObject, DAdvise(nullptr, 0, &given.adviseSink, &given.dword), E_INVALIDARG),
      REFUSED(IDataObject, DAdvise(&given.picture, 0, nullptr, &given.dword), E_INVALIDARG),
      {"IDataObject::DAdvise(a format it does not render), connection zeroed", DV_E_FORMATETC,
       [](const ComPtr<IUnknown>& c) {
         DWORD connection = 99;
         const HRESULT answer = c.query<IDataObject>()->DAdvise(&given.text, 0, &given.adviseSink, &connection);
         return connection ? E_UNEXPECTED : answer;
       }},
      REFUSED(IDataObject, DUnadvise(12345), OLE_E_NOCONNECTION),
      REFUSED(IDataObject, EnumDAdvise(nullptr), E_POINTER),
      REFUSED(IPersistStreamInit, GetClassID(nullptr), E_POINTER),
      REFUSED(IPersistStreamInit, Load(nullptr), E_POINTER),
      REFUSED(IPersistStreamInit, Save(nullptr, TRUE), E_POINTER),
      REFUSED(IPersistStreamInit, GetSizeMax(nullptr), E_POINTER),
      REFUSED(IPersistStreamInit, InitNew(), E_UNEXPECTED),
      REFUSED(IPersistPropertyBag, Load(nullptr, nullptr), E_POINTER),
      REFUSED(IPersistPropertyBag, Save(nullptr, TRUE, TRUE), E_POINTER),
      REFUSED(IPersistStorage, InitNew(nullptr), E_POINTER),
      REFUSED(IPersistStorage, Load(nullptr), E_POINTER),
      REFUSED(IPersistStorage, Save(nullptr, TRUE), E_POINTER),
      REFUSED(IConnectionPointContainer, EnumConnectionPoints(nullptr), E_POINTER),
      REFUSED(IConnectionPointContainer, FindConnectionPoint(IID_IPropertyNotifySink, nullptr), E_POINTER),
      {"IConnectionPointContainer::FindConnectionPoint(IID_IDispatch, &point), point nulled", CONNECT_E_NOCONNECTION,
       [](const ComPtr<IUnknown>& c) {
         IConnectionPoint* point = EventPoint(c).get();  // no longer held: only its value is wanted
         const HRESULT answer = c.query<IConnectionPointContainer>()->FindConnectionPoint(IID_IDispatch, &point);
         return point ? E_UNEXPECTED : answer;
       }},
      {"IConnectionPoint::GetConnectionInterface(nullptr)", E_POINTER, [](const ComPtr<IUnknown>& c) { return EventPoint(c)->GetConnectionInterface(nullptr); }},
      {"IConnectionPoint::GetConnectionPointContainer(nullptr)", E_POINTER, [](const ComPtr<IUnknown>& c) { return EventPoint(c)->GetConnectionPointContainer(nullptr); }},
      {"IConnectionPoint::Advise(nullptr, &cookie)", E_POINTER, [](const ComPtr<IUnknown>& c) { return EventPoint(c)->Advise(nullptr, &given.dword); }},
      {"IConnectionPoint::Advise(&sink, nullptr)", E_POINTER, [](const ComPtr<IUnknown>& c) { return EventPoint(c)->Advise(&given.sink, nullptr); }},
      {"IConnectionPoint::Advise(a sink of another interface)", CONNECT_E_CANNOTCONNECT, [](const ComPtr<IUnknown>& c) { return EventPoint(c)->Advise(&given.sink, &given.dword); }},
      {"IConnectionPoint::Unadvise(12345)", CONNECT_E_NOCONNECTION, [](const ComPtr<IUnknown>& c) { return EventPoint(c)->Unadvise(12345); }},
      {"IConnectionPoint::EnumConnections(nullptr)", E_POINTER, [](const ComPtr<IUnknown>& c) { return EventPoint(c)->EnumConnections(nullptr); }},
      {"IEnumOLEVERB::Next(2, verbs, nullptr)", E_POINTER, [](const ComPtr<IUnknown>& c) { return Verbs(c)->Next(2, given.verbs, nullptr); }},
      {"IEnumOLEVERB::Clone(nullptr)", E_POINTER, [](const ComPtr<IUnknown>& c) { return Verbs(c)->Clone(nullptr); }},
      REFUSED(IQuickActivate, QuickActivate(nullptr, nullptr), E_POINTER),
      REFUSED(IQuickActivate, SetContentExtent(nullptr), E_POINTER),
      REFUSED(IQuickActivate, GetContentExtent(nullptr), E_POINTER),
      REFUSED(IObjectSafety, GetInterfaceSafetyOptions(IID_IDispatch, nullptr, &given.dword), E_POINTER),
      REFUSED(IObjectSafety, GetInterfaceSafetyOptions(IID_IOleObject, &given.dword, &given.dword), E_NOINTERFACE),
      REFUSED(IObjectSafety, SetInterfaceSafetyOptions(IID_IOleObject, INTERFACESAFE_FOR_UNTRUSTED_CALLER, 0), E_NOINTERFACE),
      REFUSED(IObjectSafety, SetInterfaceSafetyOptions(IID_IDispatch, INTERFACE_USES_SECURITY_MANAGER, 0), E_FAIL),
      REFUSED(ISpecifyPropertyPages, GetPages(nullptr), E_POINTER),
      REFUSED(IPerPropertyBrowsing, GetDisplayString(DISPID_FONT, nullptr), E_NOTIMPL),
      REFUSED(IPerPropertyBrowsing, MapPropertyToPage(DISPID_FONT, nullptr), E_POINTER),
      REFUSED(IPerPropertyBrowsing, GetPredefinedStrings(DISPID_FONT, nullptr, nullptr), E_NOTIMPL),
      REFUSED(IPerPropertyBrowsing, GetPredefinedValue(DISPID_FONT, 0, nullptr), E_NOTIMPL),
      REFUSED(ICategorizeProperties, MapPropertyToCategory(DISPID_FONT, nullptr), E_POINTER),
      REFUSED(ICategorizeProperties, GetCategoryName(PROPCAT_Font, 0, nullptr), E_POINTER),
      REFUSED(IProvideClassInfo2, GetClassInfo(nullptr), E_POINTER),
      REFUSED(IProvideClassInfo2, GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, nullptr), E_POINTER),
      REFUSED(IProvideClassInfo2, GetGUID(99, &given.clsid), E_INVALIDARG),
      REFUSED(ISupportErrorInfo, InterfaceSupportsErrorInfo(IID_IOleObject), S_FALSE),
  };
#undef REFUSED
  for (const Refused& row : rows) {
    auto control = NewKalendo();
    ASSERT_EQ(S_OK, control.query<IPersistStreamInit>()->InitNew());
    ASSERT_EQ(S_OK, control->put_Text(Bstr(std::wstring_view(L"09/12/1948")).get()));
    const std::vector<BYTE> before = SavedBytes(control, TRUE);
    EXPECT_EQ(row.expected, row.make(control.query<IUnknown>())) << row.call;
    EXPECT_EQ(before, SavedBytes(control)) << row.call;
    EXPECT_EQ(S_FALSE, control.query<IPersistStreamInit>()->IsDirty()) << row.call;
    HWND window = nullptr;
    control.query<IOleInPlaceObject>()->GetWindow(&window);
    EXPECT_FALSE(IsWindowVisible(window)) << row.call;
  }
}

TEST_F(Container, OffersItsPageThenTheStockFontAndColourPagesAndSortsTheirProperties) {
  auto control = NewKalendo();
  CAUUID pages = {};
  ASSERT_EQ(S_OK, control.query<ISpecifyPropertyPages>()->GetPages(&pages));
  ASSERT_EQ(3u, pages.cElems);
  const CLSID font = {0x7EBDAAE0, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};
  const CLSID colour = {0x7EBDAAE1, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};
  EXPECT_TRUE(IsEqualCLSID(CLSID_ppg, pages.pElems[0]));
  EXPECT_TRUE(IsEqualCLSID(font, pages.pElems[1]));
  EXPECT_TRUE(IsEqualCLSID(colour, pages.pElems[2]));
  CoTaskMemFree(pages.pElems);

  auto browsing = control.query<IPerPropertyBrowsing>();
  CLSID page = {};
  EXPECT_EQ(S_OK, browsing->MapPropertyToPage(DISPID_BACKCOLOR, &page));
  EXPECT_TRUE(IsEqualCLSID(colour, page));
  EXPECT_EQ(S_OK, browsing->MapPropertyToPage(DISPID_FONT, &page));
  EXPECT_TRUE(IsEqualCLSID(font, page));
  EXPECT_EQ(PERPROP_E_NOPAGEAVAILABLE, browsing->MapPropertyToPage(DISPID_VALUE, &page));

  const IID browsersAsk = {0x4D07FC10, 0xF931, 0x11CE, {0xB0, 0x01, 0x00, 0xAA, 0x00, 0x68, 0x84, 0xE5}};
  ComPtr<ICategorizeProperties> categories;
  ASSERT_EQ(S_OK, control->QueryInterface(browsersAsk, categories.put_void()));
  EXPECT_EQ(control.query<IUnknown>().get(), categories.query<IUnknown>().get()) << "one identity";
  EXPECT_TRUE(categories.query<IOleObject>() && categories.query<ISpecifyPropertyPages>());
  PROPCAT category = 0;
  EXPECT_EQ(S_OK, categories->MapPropertyToCategory(DISPID_BACKCOLOR, &category));
  EXPECT_EQ(PROPCAT_Appearance, category);
  EXPECT_EQ(S_OK, categories->MapPropertyToCategory(DISPID_FORECOLOR, &category));
  EXPECT_EQ(PROPCAT_Appearance, category);
  EXPECT_EQ(S_OK, categories->MapPropertyToCategory(DISPID_FONT, &category));
  EXPECT_EQ(PROPCAT_Font, category);
  EXPECT_TRUE(FAILED(categories->MapPropertyToCategory(DISPID_VALUE, &category))) << "left to the browser";
}

TEST_F(Container, InPlaceActivationMovesTheSurfaceIntoTheContainersWindowAndBack) {
  Site site;
  site.window = CreateWindowExW(0, L"STATIC", L"form", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_NE(nullptr, site.window);
  site.ambientFont = NewFont(L"Courier New", 140000);
  {
    auto control = NewKalendo();
    auto object = control.query<IOleObject>();
    ASSERT_EQ(S_OK, object->SetClientSite(&site));
    PropertyBag empty;
    ASSERT_EQ(S_OK, control.query<IPersistPropertyBag>()->Load(&empty, nullptr));
    const Persisted loaded = Persisted::Of(control.get());
    EXPECT_NEAR(140000, loaded.fontSize.int64, 2500) << "a control saved with no font takes the container's, "
                                                        << "at a size of the platform's fonts";
    site.calls.clear();
    ASSERT_EQ(S_OK, object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, site.window, nullptr));
    EXPECT_EQ((std::vector<std::string>{"CanInPlaceActivate", "OnInPlaceActivate", "GetWindow", "GetWindowContext"}),
              site.calls);

    HWND surface = nullptr;
    ASSERT_EQ(S_OK, control.query<IOleWindow>()->GetWindow(&surface));
    EXPECT_EQ(site.window, GetParent(surface));
    EXPECT_EQ(win32::testing::EdgesOf(win32::testing::PlaceIn(surface)), (win32::testing::Edges{10, 10, 150, 40}));
    HWND edit = FindWindowExW(surface, nullptr, L"Edit", nullptr);
    ASSERT_NE(nullptr, edit);
    ASSERT_EQ(S_OK, control->put_Text(Bstr(std::wstring_view(L"01/02/2003")).get()));
    EXPECT_EQ(win32::WindowText(edit), L"01/02/2003");

    site.calls.clear();
    EXPECT_EQ(S_OK, control.query<IOleControl>()->OnAmbientPropertyChange(DISPID_AMBIENT_BACKCOLOR));
    EXPECT_EQ(std::vector<std::string>{"Ambient " + std::to_string(DISPID_AMBIENT_BACKCOLOR)}, site.calls);
    site.calls.clear();
    site.ambientFont = NewFont(L"Arial", 90000);
    EXPECT_EQ(S_OK, control.query<IOleControl>()->OnAmbientPropertyChange(DISPID_AMBIENT_FONT));
    EXPECT_EQ(std::vector<std::string>{"Ambient " + std::to_string(DISPID_AMBIENT_FONT)}, site.calls);
    EXPECT_EQ(loaded, Persisted::Of(control.get())) << "the surface takes the name, the text box keeps its font";

    site.calls.clear();
    ASSERT_EQ(S_OK, control.query<IOleInPlaceObject>()->InPlaceDeactivate());
    EXPECT_EQ(std::vector<std::string>{"OnInPlaceDeactivate"}, site.calls);
    EXPECT_NE(site.window, GetParent(surface)) << "parked again";
    EXPECT_EQ(S_OK, object->Close(OLECLOSE_NOSAVE));
    EXPECT_EQ(S_OK, object->SetClientSite(nullptr));
  }
  EXPECT_EQ(0u, site.references);
  DestroyWindow(site.window);
}

TEST_F(Container, QuickActivationTakesTheSiteAndConnectsTheSinksInOneCall) {
  for (const auto& [withEvents, withNotifications] : {std::pair{true, true}, {true, false}, {false, true}}) {
    Site site;
    testing_sinks::EventSink events;
    testing_sinks::PropertyNotifySink notifications;
    auto control = NewKalendo();
    auto quick = control.query<IQuickActivate>();
    ASSERT_TRUE(quick);
    QACONTAINER container = {};
    const bool older = !withEvents || !withNotifications;  // passes the structures' shorter forms
    container.cbSize = older ? offsetof(QACONTAINER, dwAmbientFlags) : sizeof container;
    container.pClientSite = &site;
    container.pPropertyNotifySink = withNotifications ? &notifications : nullptr;
    container.pUnkEventSink = withEvents ? &events : nullptr;
    QACONTROL answer = {};
    answer.cbSize = older ? offsetof(QACONTROL, dwPointerActivationPolicy) : sizeof answer;
    ASSERT_EQ(S_OK, quick->QuickActivate(&container, &answer));
    EXPECT_EQ(0x20191u, answer.dwMiscStatus);
    EXPECT_EQ(static_cast<DWORD>(VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND), answer.dwViewStatus);
    EXPECT_EQ(withEvents, answer.dwEventCookie != 0);
    EXPECT_EQ(withNotifications, answer.dwPropNotifyCookie != 0);
    ComPtr<IOleClientSite> given;
    control.query<IOleObject>()->GetClientSite(given.put());
    EXPECT_EQ(static_cast<IOleClientSite*>(&site), given.get());
    given.reset();

    ASSERT_EQ(S_OK, control.query<IPersistStreamInit>()->InitNew());
    ASSERT_EQ(S_OK, control->put_Text(Bstr(std::wstring_view(L"01/02/2003")).get()));
    EXPECT_EQ(withEvents, events.Count(1) >= 1) << "Change";
    ASSERT_EQ(S_OK, control->put_Formato(Bstr(std::wstring_view(L"dd/mmm/yyyy")).get()));
    EXPECT_EQ(withNotifications, !notifications.changed.empty());

    SIZEL extent = {5000, 1000};
    EXPECT_EQ(S_OK, quick->SetContentExtent(&extent));
    SIZEL read = {};
    EXPECT_EQ(S_OK, quick->GetContentExtent(&read));
    EXPECT_EQ(5000, read.cx);

    container.cbSize = sizeof(ULONG);
    EXPECT_EQ(E_INVALIDARG, quick->QuickActivate(&container, &answer)) << "too short to hold the site";
    control.query<IOleObject>()->SetClientSite(nullptr);
    quick.reset();
    control.reset();
    EXPECT_EQ(0u, site.references);
    EXPECT_EQ(0u, events.references) << "disconnected when the control goes";
    EXPECT_EQ(0u, notifications.references);
  }
}

// A container that paints without flicker asks whether the control covers its rectangle, and where it is hit.
TEST_F(Container, TheViewTellsAContainerThatItIsOpaqueAndWhereItIsHit) {
  auto control = NewKalendo();
  auto view = control.query<IViewObjectEx>();
  DWORD status = 0, hit = 0;
  ASSERT_EQ(S_OK, view->GetViewStatus(&status));
  EXPECT_EQ(static_cast<DWORD>(VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND), status);
  const RECT bounds = {10, 10, 150, 40};
  const std::pair<RECT, DWORD> hits[] = {{{10, 10, 10, 10}, HITRESULT_HIT},   {{149, 39, 149, 39}, HITRESULT_HIT},
                                         {{150, 9, 150, 9}, HITRESULT_OUTSIDE}, {{0, 0, 11, 11}, HITRESULT_HIT},
                                         {{150, 40, 200, 60}, HITRESULT_OUTSIDE}};
  for (const auto& [at, expected] : hits) {  // a rectangle of no size is a point
    ASSERT_EQ(S_OK, at.left == at.right ? view->QueryHitPoint(DVASPECT_CONTENT, &bounds, {at.left, at.top}, 0, &hit)
                                        : view->QueryHitRect(DVASPECT_CONTENT, &bounds, &at, 0, &hit));
    EXPECT_EQ(expected, hit) << at.left << "," << at.top;
  }
  for (SIZEL extent : {SIZEL{5000, 1000}, SIZEL{5000, 2000}, SIZEL{6000, 2000}}) {  // each side changed alone
    ASSERT_EQ(S_OK, control.query<IOleObject>()->SetExtent(DVASPECT_CONTENT, &extent));
    RECTL rect = {};
    ASSERT_EQ(S_OK, view->GetRect(DVASPECT_CONTENT, &rect));
    EXPECT_EQ((std::vector<LONG>{0, 0, extent.cx, extent.cy}), (std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}));
  }
}

// A site that offers IOleInPlaceSiteEx hears of activation and deactivation through it; when it answers that it has
// painted the control's picture already, no window of the control waits for an erase or a paint after activation.
TEST_F(Container, ASiteThatPaintedTheControlSeesNoRepaintAtActivation) {
  const struct {
    bool offersEx;
    BOOL noRedraw;
    std::vector<std::string> told;  // of activation and deactivation
  } sites[] = {{false, FALSE, {"OnInPlaceActivate", "OnInPlaceDeactivate"}},
               {true, FALSE, {"OnInPlaceActivateEx 0", "OnInPlaceDeactivateEx 1"}},
               {true, TRUE, {"OnInPlaceActivateEx 0", "OnInPlaceDeactivateEx 1"}}};
  for (const auto& [offersEx, noRedraw, told] : sites) {
    Site site;
    site.window = win32::testing::TestForm::Shared().hwnd();
    site.offersEx = offersEx;
    site.noRedraw = noRedraw;
    testing_sinks::DataSink viewed;
    auto control = NewKalendo();
    ASSERT_EQ(S_OK, control.query<IViewObject2>()->SetAdvise(DVASPECT_CONTENT, 0, &viewed));
    HWND surface = nullptr;
    if (offersEx) control.query<IOleWindow>()->GetWindow(&surface);  // parked before, or made in the site's window
    ASSERT_EQ(S_OK, control.query<IOleObject>()->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, site.window, nullptr));
    control.query<IOleWindow>()->GetWindow(&surface);
    EXPECT_EQ(1, viewed.views) << "a new size: " << told[0];
    bool waits = GetUpdateRect(surface, nullptr, FALSE);
    for (HWND child = GetWindow(surface, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      waits |= GetUpdateRect(child, nullptr, FALSE) != FALSE;
    EXPECT_EQ(!noRedraw, waits) << told[0];
    EXPECT_TRUE(IsWindowVisible(surface));
    ASSERT_EQ(S_OK, control.query<IOleInPlaceObject>()->InPlaceDeactivate());
    EXPECT_EQ(told, (std::vector<std::string>{site.calls[1], site.calls.back()}));
    control.query<IOleObject>()->SetClientSite(nullptr);
  }
}

TEST_F(Container, WinesAtlHostsTheControl) {
  testing_atl::HostedKalendo form;
  ASSERT_TRUE(form.control());
  ASSERT_EQ(S_OK, form.control()->put_Text(Bstr(std::wstring_view(L"31/12/1999")).get()));
  HWND edit = form.Constituent(L"Edit");
  EXPECT_TRUE(IsChild(form.window(), edit));
  wchar_t shown[32] = {};
  GetWindowTextW(edit, shown, 32);
  EXPECT_EQ(std::wstring(L"31/12/1999"), shown);
}

// The pixels of a control's view drawn into a memory device context of the given size, white beforehand.
std::vector<std::uint32_t> DrawnView(IViewObject* view, LONG width, LONG height) {
  const RECTL bounds = {0, 0, width, height};
  return win32::testing::Pixels::Drawn(width, height, [&](HDC dc) {
           EXPECT_EQ(S_OK, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0));
         }).data;
}

TEST_F(Container, InactiveControlDrawsItsDateAndAFrozenViewKeepsItsPicture) {
  auto control = NewKalendo();
  auto view = control.query<IViewObject2>();
  ASSERT_TRUE(view);
  ASSERT_EQ(S_OK, control->put_Text(Bstr(std::wstring_view(L"01/01/2000")).get()));
  const auto first = DrawnView(view.get(), 160, 40);
  EXPECT_NE(std::vector<std::uint32_t>(first.size(), 0xFFFFFF), first) << "something was drawn";

  DWORD freeze = 0;
  ASSERT_EQ(S_OK, view->Freeze(DVASPECT_CONTENT, -1, nullptr, &freeze));
  DWORD again = 0;
  EXPECT_EQ(VIEW_S_ALREADY_FROZEN, view->Freeze(DVASPECT_CONTENT, -1, nullptr, &again));
  EXPECT_EQ(freeze, again);
  ASSERT_EQ(S_OK, control->put_Text(Bstr(std::wstring_view(L"28/12/2099")).get()));
  EXPECT_EQ(first, DrawnView(view.get(), 160, 40)) << "frozen";

  EXPECT_EQ(OLE_E_NOCONNECTION, view->Unfreeze(freeze + 1));
  ASSERT_EQ(S_OK, view->Unfreeze(freeze));
  EXPECT_NE(first, DrawnView(view.get(), 160, 40)) << "the new date";
  EXPECT_EQ(OLE_E_NOCONNECTION, view->Unfreeze(freeze)) << "only once";
}

// How a container ends a control's lifetime: it closes the control and takes back its site; it lets go of the
// control still active in place, whose site then hears of the deactivation as the control goes; or, as the
// WinForms host does, it deactivates the control (which parks its windows), takes back its site and lets go
// without closing it.
enum class Ending { Close, LetGoWhileActive, Deactivate };

// One lifetime of a control in the site's window: created, activated in place, saved, ended and released.
void Lifetime(Site& site, Ending ending = Ending::Close, const wchar_t* toolTip = L"") {
  auto control = NewKalendo();
  ASSERT_TRUE(control);
  auto object = control.query<IOleObject>();
  object->SetClientSite(&site);
  control.query<IPersistStreamInit>()->InitNew();
  ASSERT_EQ(S_OK, object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, site.window, nullptr));
  control->put_ToolTipText(Bstr(std::wstring_view(toolTip)).get());
  PropertyBag bag;
  ASSERT_EQ(S_OK, control.query<IPersistPropertyBag>()->Save(&bag, TRUE, FALSE));
  if (ending == Ending::Deactivate) {
    ASSERT_EQ(S_OK, control.query<IOleInPlaceObject>()->InPlaceDeactivate());
  }
  if (ending == Ending::Close) object->Close(OLECLOSE_NOSAVE);
  if (ending != Ending::LetGoWhileActive) object->SetClientSite(nullptr);
  site.calls.clear();
  object.reset();
  control.reset();
  if (ending == Ending::LetGoWhileActive) {
    EXPECT_EQ(std::vector<std::string>{"OnInPlaceDeactivate"}, site.calls);
  }
  site.calls.clear();
}

// After the last control, no window of the library is left, hidden or not; the server unloads, and loads again.
TEST_F(Container, ManyLifetimesLeaveNothingBehindAndTheServerFreeToUnload) {
  using namespace win32::testing;
  Site site;
  site.window = CreateWindowExW(0, L"STATIC", L"form", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                nullptr, nullptr);
  int windowsOfThread = 0;  // the form's and the input method's, made with the first text box
  for (int load = 0; load <= 20 && !HasFatalFailure(); ++load) {
    Lifetime(site, Ending::Deactivate, L"tip");
    CoFreeUnusedLibraries();
    ASSERT_EQ(nullptr, GetModuleHandleW(L"Marelco.ocx")) << "unloaded";
    if (load == 0) windowsOfThread = CountWindows();
    EXPECT_EQ(windowsOfThread, CountWindows()) << "load " << load;
  }
  Lifetime(site);  // window classes, type information and caches, made once
  site.calls.reserve(16);
  const int windows = CountWindows();
  const std::optional<int> gdiObjects = CountGdiObjects();
  const std::uint64_t heap = HeapBytesInUse();
  for (int cycle = 0; cycle < kLifetimeCycles && !HasFatalFailure(); ++cycle)
    Lifetime(site, cycle % 2 ? Ending::LetGoWhileActive : Ending::Close);
  EXPECT_EQ(windows, CountWindows());
  EXPECT_EQ(gdiObjects, CountGdiObjects());
  EXPECT_LT(HeapBytesInUse(), heap + kLifetimeCycles) << "less than one byte for each lifetime";
  EXPECT_EQ(0u, site.references);
  EXPECT_EQ(0u, site.frame.references);
  DestroyWindow(site.window);

  ASSERT_NE(nullptr, GetModuleHandleW(L"Marelco.ocx"));
  EXPECT_EQ(S_OK, ServerCanUnloadNow());
}

// A site whose window is gone: the activation fails with the platform's error, the site hears of its end, and
// the control's window stays hidden in its parking place, ready for a site whose window lives.
TEST_F(Container, ActivationInAWindowThatIsGoneFailsAndLeavesNothingShown) {
  Site site;
  site.window = CreateWindowExW(0, L"STATIC", L"gone", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                nullptr, nullptr);
  DestroyWindow(site.window);
  {
    auto control = NewKalendo();
    auto object = control.query<IOleObject>();
    ASSERT_EQ(S_OK, object->SetClientSite(&site));
    ASSERT_EQ(S_OK, control.query<IPersistStreamInit>()->InitNew());
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_WINDOW_HANDLE),
              object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site, 0, site.window, nullptr));
    EXPECT_EQ("OnInPlaceDeactivate", site.calls.back());
    HWND surface = nullptr;
    ASSERT_EQ(S_OK, control.query<IOleWindow>()->GetWindow(&surface));
    EXPECT_FALSE(GetWindowLongW(surface, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(0, site.frame.activeObjectCalls);
    object->SetClientSite(nullptr);
  }
  EXPECT_EQ(0u, site.references);
  EXPECT_EQ(0u, site.frame.references);
}

HWND property_frame = nullptr;

// Closes the platform's property frame once it shows; runs inside its modal loop.
void CALLBACK ClosePropertyFrame(HWND, UINT, UINT_PTR, DWORD) {
  HWND frame = FindWindowW(L"#32770", nullptr);
  if (!frame || !IsWindowVisible(frame)) return;
  property_frame = frame;
  PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
}

// The properties verb, listed with the others: the site's own frame when it shows one, the platform's otherwise.
TEST_F(Container, ThePropertiesVerbOpensAPropertyFrame) {
  Site site;
  auto control = NewKalendo();
  auto object = control.query<IOleObject>();
  ASSERT_EQ(S_OK, object->SetClientSite(&site));
  ComPtr<IEnumOLEVERB> verbs;
  ASSERT_EQ(S_OK, object->EnumVerbs(verbs.put()));
  std::vector<LONG> listed;
  for (OLEVERB verb; verbs->Next(1, &verb, nullptr) == S_OK; CoTaskMemFree(verb.lpszVerbName))
    listed.push_back(verb.lVerb);
  EXPECT_EQ((std::vector<LONG>{0, -1, -3, -4, -5, -7}), listed);

  site.propertyFrameAnswer = S_OK;
  EXPECT_EQ(S_OK, object->DoVerb(OLEIVERB_PROPERTIES, nullptr, &site, 0, nullptr, nullptr));
  EXPECT_EQ(std::vector<std::string>{"ShowPropertyFrame"}, site.calls);
  site.propertyFrameAnswer = E_NOTIMPL;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, ClosePropertyFrame);
  EXPECT_EQ(S_OK, object->DoVerb(OLEIVERB_PROPERTIES, nullptr, &site, 0, nullptr, nullptr));
  KillTimer(nullptr, timer);
  EXPECT_NE(nullptr, std::exchange(property_frame, nullptr)) << "the platform's frame showed";
  object->SetClientSite(nullptr);
}

}  // namespace
}  // namespace marelco
