// Kalendo through the interfaces a client without a container uses: IDispatch by dispatch identifier,
// the dual interface, errors, events and property notifications. The server is registered by the fixture.
#include <gtest/gtest.h>

#include <objsafe.h>
#include <oleacc.h>
#include <olectl.h>

#include <string>

#include "com/com_ptr.h"
#include "package/marelco_typelib.h"
#include "tests/package/ocx_path.h"
#include "tests/package/sinks.h"

namespace marelco {
namespace {

using testing_sinks::Connection;
using testing_sinks::EventSink;
using testing_sinks::PropertyNotifySink;

constexpr HRESULT kInvalidPropertyValue = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 380);

class Dispatch : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, CoInitialize(nullptr));
    control_ = NewKalendo();
    ASSERT_TRUE(control_);
    dispatch_ = control_.query<IDispatch>();
    ASSERT_TRUE(dispatch_);
  }
  void TearDown() override {
    dispatch_.reset();
    control_.reset();
    CoUninitialize();
  }

  HRESULT Invoke(DISPID id, WORD flags, std::initializer_list<VARIANT*> arguments, VARIANT* result = nullptr,
                 EXCEPINFO* exception = nullptr, UINT* argumentError = nullptr) {
    std::vector<VARIANT> values;
    for (auto it = arguments.end(); it != arguments.begin();) values.push_back(**--it);  // last argument first
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params = {values.data(), nullptr, static_cast<UINT>(values.size()), 0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
      params.rgdispidNamedArgs = &put;
      params.cNamedArgs = 1;
    }
    return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, exception, argumentError);
  }

  std::wstring Text() {
    Bstr text;
    EXPECT_EQ(S_OK, control_->get_Text(text.put()));
    return text.get() ? text.get() : L"";
  }

  void SetTextAndCaret(const wchar_t* text, LONG caret) {
    ASSERT_EQ(S_OK, control_->put_Text(Bstr(std::wstring_view(text)).get()));
    ASSERT_EQ(S_OK, control_->put_SelStart(caret));
  }

  ComPtr<_Kalendo> control_;
  ComPtr<IDispatch> dispatch_;
};

VARIANT Boolean(VARIANT_BOOL value) {
  VARIANT variant;
  V_VT(&variant) = VT_BOOL;
  V_BOOL(&variant) = value;
  return variant;
}

TEST_F(Dispatch, DefaultMemberIsTheText) {
  SetTextAndCaret(L"07/03/2001", 0);
  OleVariant value;
  ASSERT_EQ(S_OK, Invoke(DISPID_VALUE, DISPATCH_PROPERTYGET, {}, value.get()));
  ASSERT_EQ(VT_BSTR, V_VT(value.get()));
  EXPECT_EQ(L"07/03/2001", std::wstring(V_BSTR(value.get())));

  DISPID id = 1;
  LPOLESTR name = const_cast<LPOLESTR>(L"Text");
  EXPECT_EQ(S_OK, dispatch_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
  EXPECT_EQ(DISPID_VALUE, id);
}

TEST_F(Dispatch, SteppingTakesTheIncrementAsBooleanReferenceVariantReferenceOrValue) {
  SetTextAndCaret(L"31/01/2027", 4);

  VARIANT_BOOL flag = VARIANT_TRUE;
  VARIANT byBooleanReference;
  V_VT(&byBooleanReference) = VT_BYREF | VT_BOOL;
  V_BOOLREF(&byBooleanReference) = &flag;
  ASSERT_EQ(S_OK, Invoke(DISPID_KALENDO_CAMBIAFECHA2, DISPATCH_METHOD, {&byBooleanReference}));
  EXPECT_EQ(L"28/02/2027", Text());
  EXPECT_EQ(VARIANT_TRUE, flag);

  VARIANT scriptVariable;  // a script's variable: a reference to a Variant holding a number
  V_VT(&scriptVariable) = VT_I2;
  V_I2(&scriptVariable) = 0;
  VARIANT byVariantReference;
  V_VT(&byVariantReference) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&byVariantReference) = &scriptVariable;
  ASSERT_EQ(S_OK, Invoke(DISPID_KALENDO_CAMBIAFECHA2, DISPATCH_METHOD, {&byVariantReference}));
  EXPECT_EQ(L"28/01/2027", Text());
  EXPECT_EQ(VT_I2, V_VT(&scriptVariable)) << "the caller's variable keeps its type and value";
  EXPECT_EQ(0, V_I2(&scriptVariable));

  VARIANT byValue = Boolean(VARIANT_TRUE);
  ASSERT_EQ(S_OK, Invoke(DISPID_KALENDO_CAMBIAFECHA, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {&byValue}));
  EXPECT_EQ(L"28/02/2027", Text());
}

TEST_F(Dispatch, SteppingRefusesMissingSurplusAndUnreadableIncrements) {
  SetTextAndCaret(L"31/01/2027", 4);
  EXPECT_EQ(DISP_E_PARAMNOTFOUND, Invoke(DISPID_KALENDO_CAMBIAFECHA2, DISPATCH_METHOD, {}));
  VARIANT one = Boolean(VARIANT_TRUE), two = Boolean(VARIANT_TRUE);
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Invoke(DISPID_KALENDO_CAMBIAFECHA2, DISPATCH_METHOD, {&one, &two}));

  Bstr words(std::wstring_view(L"forwards"));
  VARIANT text;
  V_VT(&text) = VT_BSTR;
  V_BSTR(&text) = words.get();
  UINT argumentError = 99;
  EXPECT_EQ(DISP_E_TYPEMISMATCH,
            Invoke(DISPID_KALENDO_CAMBIAFECHA, DISPATCH_METHOD, {&text}, nullptr, nullptr, &argumentError));
  EXPECT_EQ(0u, argumentError);

  VARIANT nullReference;
  V_VT(&nullReference) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&nullReference) = nullptr;
  EXPECT_NE(S_OK, Invoke(DISPID_KALENDO_CAMBIAFECHA2, DISPATCH_METHOD, {&nullReference}));
  EXPECT_EQ(E_POINTER, control_->CambiaFecha2(nullptr));
  EXPECT_EQ(L"31/01/2027", Text()) << "nothing was stepped";
}

TEST_F(Dispatch, RefusedValueIsTheControlsErrorWithItsDescription) {
  VARIANT negative;
  V_VT(&negative) = VT_I4;
  V_I4(&negative) = -1;
  EXCEPINFO exception = {};
  ASSERT_EQ(DISP_E_EXCEPTION, Invoke(DISPID_KALENDO_SELSTART, DISPATCH_PROPERTYPUT, {&negative}, nullptr, &exception));
  EXPECT_EQ(kInvalidPropertyValue, exception.scode);
  EXPECT_EQ((std::wstring(L"Marelco.Kalendo") + L"Invalid property value"),
            std::wstring(exception.bstrSource) + exception.bstrDescription);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrHelpFile);

  EXPECT_EQ(kInvalidPropertyValue, control_->put_SelStart(-1));
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(S_OK, GetErrorInfo(0, info.put()));
  Bstr description;
  info->GetDescription(description.put());
  EXPECT_NE(0u, SysStringLen(description.get()));
  EXPECT_EQ(S_OK, control_.query<ISupportErrorInfo>()->InterfaceSupportsErrorInfo(IID__Kalendo));
}

TEST_F(Dispatch, ReadOnlyPropertiesAndWrongTypesAreRefusedWithoutHarm) {
  VARIANT number;
  V_VT(&number) = VT_I4;
  V_I4(&number) = 5;
  EXPECT_NE(S_OK, Invoke(DISPID_KALENDO_HDC, DISPATCH_PROPERTYPUT, {&number}));
  EXPECT_NE(S_OK, Invoke(DISPID_BORDERSTYLE, DISPATCH_PROPERTYPUT, {&number}));
  OleVariant value;
  EXPECT_EQ(S_OK, Invoke(DISPID_KALENDO_HDC, DISPATCH_PROPERTYGET, {}, value.get()));
  EXPECT_EQ(S_OK, Invoke(DISPID_BORDERSTYLE, DISPATCH_PROPERTYGET, {}, value.put()));

  PropertyNotifySink stranger;  // an object that is neither a string nor a font
  VARIANT object;
  V_VT(&object) = VT_UNKNOWN;
  V_UNKNOWN(&object) = &stranger;
  EXPECT_NE(S_OK, Invoke(DISPID_KALENDO_FORMATO, DISPATCH_PROPERTYPUT, {&object}));
  EXPECT_NE(S_OK, Invoke(DISPID_FONT, DISPATCH_PROPERTYPUTREF, {&object}));
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Invoke(DISPID_FONT, DISPATCH_PROPERTYPUTREF, {&number, &object}));
  EXPECT_EQ(0u, stranger.references) << "a refused call keeps no reference to its argument";
  EXPECT_NE(S_OK, Invoke(DISPID_VALUE, DISPATCH_PROPERTYGET, {&number, &number}, value.put()));
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Invoke(DISPID_KALENDO_MOUSEICON, DISPATCH_PROPERTYGET, {&number}, value.put()))
      << "arguments for the default member of a mouse icon that is nothing";
  EXPECT_EQ(S_OK, Invoke(DISPID_KALENDO_FORMATO, DISPATCH_PROPERTYGET, {}, value.put()));
  EXPECT_EQ(L"dd/mm/yyyy", std::wstring(V_BSTR(value.get())));
}

TEST_F(Dispatch, NullPointersAreRefused) {
  EXPECT_EQ(E_POINTER, control_->get_Text(nullptr));
  EXPECT_EQ(E_POINTER, control_->get_Font(nullptr));
  EXPECT_EQ(E_POINTER, control_->get_MouseIcon(nullptr));
  EXPECT_EQ(E_POINTER, control_->get_SelStart(nullptr));
  EXPECT_EQ(E_POINTER, control_->AnchoMin(nullptr));
  EXPECT_NE(S_OK, control_->putref_Font(nullptr));
  EXPECT_EQ(S_OK, control_->put_Text(nullptr)) << "a null string is the empty string";
  EXPECT_EQ(S_OK, control_->putref_MouseIcon(nullptr)) << "no mouse icon";
  OleVariant value;  // no DISPPARAMS at all: no arguments
  EXPECT_EQ(S_OK, dispatch_->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYGET, nullptr, value.get(), nullptr,
                                    nullptr));
  EXPECT_EQ(VT_BSTR, V_VT(value.get()));
}

// The sinks connected to a font object's property notifications.
int FontListeners(const ComPtr<IUnknown>& font) {
  ComPtr<IConnectionPoint> point;
  ComPtr<IEnumConnections> connections;
  if (FAILED(font.query<IConnectionPointContainer>()->FindConnectionPoint(IID_IPropertyNotifySink, point.put())))
    return -1;
  const HRESULT enumerated = point->EnumConnections(connections.put());
  if (enumerated == OLE_E_NOCONNECTION) return 0;
  if (FAILED(enumerated)) return -1;
  int count = 0;
  for (CONNECTDATA data = {}; connections->Next(1, &data, nullptr) == S_OK; ++count) data.pUnk->Release();
  return count;
}

TEST_F(Dispatch, FontIsTheTextBoxsOwnStandardFontObject) {
  ComPtr<IFontDisp> first, second;
  ASSERT_EQ(S_OK, control_->get_Font(first.put()));
  ASSERT_EQ(S_OK, control_->get_Font(second.put()));
  ASSERT_TRUE(first);
  EXPECT_EQ(first.query<IUnknown>().get(), second.query<IUnknown>().get());

  ComPtr<IFont> replacement;
  FONTDESC description = {sizeof description, const_cast<LPOLESTR>(L"Arial"), {{120000, 0}}, FW_BOLD, 0, 0, 0, 0};
  ASSERT_EQ(S_OK, OleCreateFontIndirect(&description, IID_IFont, replacement.put_void()));
  EXPECT_EQ(1, FontListeners(first.query<IUnknown>()));
  ASSERT_EQ(S_OK, control_->putref_Font(replacement.query<IFontDisp>().get()));
  ComPtr<IFontDisp> now;
  ASSERT_EQ(S_OK, control_->get_Font(now.put()));
  EXPECT_EQ(replacement.query<IUnknown>().get(), now.query<IUnknown>().get());
  EXPECT_EQ(0, FontListeners(first.query<IUnknown>())) << "the font let go is no longer heard";
  EXPECT_EQ(1, FontListeners(replacement.query<IUnknown>()));
  control_.reset();
  dispatch_.reset();
  EXPECT_EQ(0, FontListeners(replacement.query<IUnknown>())) << "nor the font of a control gone";
}

TEST_F(Dispatch, ClassInfoNamesTheEventInterface) {
  auto classInfo = control_.query<IProvideClassInfo2>();
  ASSERT_TRUE(classInfo);
  GUID source = {};
  ASSERT_EQ(S_OK, classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source));
  EXPECT_TRUE(IsEqualGUID(DIID___Kalendo, source));
  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(S_OK, classInfo->GetClassInfo(coclass.put()));
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, coclass->GetTypeAttr(&attributes));
  EXPECT_TRUE(IsEqualGUID(CLSID_Kalendo, attributes->guid));
  coclass->ReleaseTypeAttr(attributes);
}

TEST_F(Dispatch, EveryChangeOfTheTextIsRaisedToEachConnectedSink) {
  EventSink first, second;
  {
    Connection one(control_.get(), DIID___Kalendo, &first);
    Connection two(control_.get(), DIID___Kalendo, &second);
    ASSERT_EQ(S_OK, one.result());
    ASSERT_EQ(S_OK, two.result());
    SetTextAndCaret(L"31/01/2027", 4);
    VARIANT_BOOL forwards = VARIANT_TRUE;
    ASSERT_EQ(S_OK, control_->CambiaFecha2(&forwards));
  }
  EXPECT_GE(first.Count(DISPID_KALENDO_CHANGE), 2);
  EXPECT_EQ(first.Count(DISPID_KALENDO_CHANGE), second.Count(DISPID_KALENDO_CHANGE));
  const int before = first.Count(DISPID_KALENDO_CHANGE);
  ASSERT_EQ(S_OK, control_->put_Text(Bstr(std::wstring_view(L"01/01/2000")).get()));
  EXPECT_EQ(before, first.Count(DISPID_KALENDO_CHANGE)) << "a disconnected sink hears nothing";
  EXPECT_EQ(0u, first.references);
}

TEST_F(Dispatch, TheEventsAndTheNotificationsAreTheTwoConnectionPoints) {
  ComPtr<IEnumConnectionPoints> points;
  ASSERT_EQ(S_OK, control_.query<IConnectionPointContainer>()->EnumConnectionPoints(points.put()));
  IConnectionPoint* found[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(S_FALSE, points->Next(3, found, &fetched));
  ASSERT_EQ(2u, fetched);
  IID interfaces[2] = {};
  for (ULONG index = 0; index < fetched; ++index) {
    EXPECT_EQ(S_OK, found[index]->GetConnectionInterface(&interfaces[index]));
    found[index]->Release();
  }
  EXPECT_TRUE(IsEqualIID(DIID___Kalendo, interfaces[0]) && IsEqualIID(IID_IPropertyNotifySink, interfaces[1]));
}

TEST_F(Dispatch, PropertyChangesAreNotifiedByDispatchIdentifier) {
  PropertyNotifySink sink;
  Connection connection(control_.get(), IID_IPropertyNotifySink, &sink);
  ASSERT_EQ(S_OK, connection.result());
  ASSERT_EQ(S_OK, control_->put_Formato(Bstr(std::wstring_view(L"dd/mmmm/yyyy")).get()));
  EXPECT_EQ(std::vector<DISPID>{DISPID_KALENDO_FORMATO}, sink.changed);
  sink.changed.clear();
  EXPECT_EQ(kInvalidPropertyValue, control_->put_SelStart(-1));
  EXPECT_TRUE(sink.changed.empty()) << "a refused value marks nothing";
}

TEST_F(Dispatch, AboutShowsTheAboutBoxOnceAndReturnsAtOnce) {
  ASSERT_EQ(S_OK, Invoke(DISPID_ABOUTBOX, DISPATCH_METHOD, {}));
  ASSERT_EQ(S_OK, control_->About());
  HWND box = FindWindowW(nullptr, L"About Marelco");
  ASSERT_NE(nullptr, box);
  EXPECT_TRUE(IsWindowVisible(box));
  EXPECT_EQ(nullptr, FindWindowExW(nullptr, box, nullptr, L"About Marelco")) << "one box, not two";
  SendMessageW(box, WM_COMMAND, IDOK, 0);  // OK unloads the box
  EXPECT_FALSE(IsWindow(box));
}

// A script host or a browser asks each interface it uses to be safe for untrusted callers and data; each
// interface keeps its own options, and options beyond those two are refused.
TEST_F(Dispatch, ObjectSafetyKeepsTheTwoSafeOptionsPerInterfaceAndRefusesOthers) {
  constexpr DWORD kCaller = INTERFACESAFE_FOR_UNTRUSTED_CALLER;
  constexpr DWORD kData = INTERFACESAFE_FOR_UNTRUSTED_DATA;
  auto safety = control_.query<IObjectSafety>();
  ASSERT_TRUE(safety);
  const IID* interfaces[] = {&IID_IDispatch, &IID__Kalendo, &IID_IPersistPropertyBag, &IID_IPersistStreamInit,
                             &IID_IPersistStorage};
  for (const IID* iid : interfaces) {
    DWORD supported = 0, enabled = 1;
    ASSERT_EQ(S_OK, safety->GetInterfaceSafetyOptions(*iid, &supported, &enabled));
    EXPECT_EQ(kCaller | kData, supported);
    EXPECT_EQ(0u, enabled) << "nothing enabled before the host asks";
  }
  const struct {
    DWORD mask, enabled;
    HRESULT result;
    DWORD after;  // the options enabled afterwards, starting from both
  } cases[] = {
      {kCaller | kData, kCaller | kData, S_OK, kCaller | kData}, {kCaller, 0, S_OK, kData},
      {kData, 0, S_OK, kCaller},                                  {kCaller, kCaller | kData, S_OK, kCaller | kData},
      {INTERFACE_USES_DISPEX, INTERFACE_USES_DISPEX, E_FAIL, kCaller | kData},
      {INTERFACE_USES_SECURITY_MANAGER | kCaller, kCaller, E_FAIL, kCaller | kData},
  };
  for (const IID* iid : interfaces) {
    for (const auto& [mask, enabled, result, after] : cases) {
      ASSERT_EQ(S_OK, safety->SetInterfaceSafetyOptions(*iid, kCaller | kData, kCaller | kData));
      EXPECT_EQ(result, safety->SetInterfaceSafetyOptions(*iid, mask, enabled)) << mask << " " << enabled;
      DWORD supported = 0, now = 0;
      ASSERT_EQ(S_OK, safety->GetInterfaceSafetyOptions(*iid, &supported, &now));
      EXPECT_EQ(after, now) << mask << " " << enabled;
    }
    ASSERT_EQ(S_OK, safety->SetInterfaceSafetyOptions(*iid, kCaller | kData, 0));
  }
  ASSERT_EQ(S_OK, safety->SetInterfaceSafetyOptions(IID_IDispatch, kCaller, kCaller));
  safety = nullptr;
  safety = control_.query<IObjectSafety>();
  DWORD supported = 0, enabled = 0;
  ASSERT_EQ(S_OK, safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled));
  EXPECT_EQ(kCaller, enabled) << "the control keeps the options, not the interface that set them";
  ASSERT_EQ(S_OK, safety->GetInterfaceSafetyOptions(IID_IPersistPropertyBag, &supported, &enabled));
  EXPECT_EQ(0u, enabled) << "options belong to one interface";

  EXPECT_EQ(E_NOINTERFACE, safety->GetInterfaceSafetyOptions(IID_IOleObject, &supported, &enabled));
  EXPECT_EQ(0u, supported | enabled);
}

// Each object the server hands out keeps it loaded while someone holds it, even once the control it came
// from is gone: a screen reader may keep the text box's accessible object.
TEST(Server, CanUnloadOnceTheLastObjectIsGone) {
  ASSERT_EQ(S_OK, CoInitialize(nullptr));
  const struct {
    const char* object;
    ComPtr<IUnknown> (*take)(IUnknown* control);
  } holders[] = {
      {"the control", [](IUnknown* control) { return ComPtr<IUnknown>(control); }},
      {"its verbs' enumerator",
       [](IUnknown* control) {
         ComPtr<IEnumOLEVERB> verbs;
         ComPtr<IUnknown>(control).query<IOleObject>()->EnumVerbs(verbs.put());
         return verbs.query<IUnknown>();
       }},
      {"its answers to property browsers",
       [](IUnknown* control) {
         auto browsing = ComPtr<IUnknown>(control).query<IPerPropertyBrowsing>();
         return ComPtr<IUnknown>(static_cast<IUnknown*>(browsing.get()));
       }},
      {"the accessible object of its text box",
       [](IUnknown* control) {
         HWND surface = nullptr;
         ComPtr<IUnknown>(control).query<IOleWindow>()->GetWindow(&surface);
         ComPtr<IUnknown> accessible;
         AccessibleObjectFromWindow(FindWindowExW(surface, nullptr, L"Edit", nullptr), OBJID_CLIENT,
                                    __uuidof(IAccessible), accessible.put_void());
         return accessible;
       }},
      {"its class object",
       [](IUnknown*) {
         ComPtr<IUnknown> factory;
         CoGetClassObject(CLSID_Kalendo, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.put_void());
         return factory;
       }},
  };
  for (const auto& holder : holders) {
    SCOPED_TRACE(holder.object);
    ComPtr<IUnknown> held;
    {
      ComPtr<IUnknown> control;
      ASSERT_EQ(S_OK, CoCreateInstance(CLSID_Kalendo, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control.put_void()));
      ASSERT_NE(nullptr, GetModuleHandleW(L"Marelco.ocx"));
      held = holder.take(control.get());
    }
    ASSERT_TRUE(held);
    EXPECT_EQ(S_FALSE, ServerCanUnloadNow());
    held.reset();
    EXPECT_EQ(S_OK, ServerCanUnloadNow());
  }
  CoUninitialize();
}

}  // namespace
}  // namespace marelco
