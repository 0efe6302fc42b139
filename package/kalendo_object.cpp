// Kalendo's COM object: creation, IDispatch over the type library, the members of _Kalendo, events and
// the host side of the portable control.
#include "package/kalendo_object.h"

#include <algorithm>
#include <mutex>
#include <new>

#include "com/error_boundary.h"
#include "package/kalendo_control.h"
#include "package/module.h"
#include "package/ole_objects.h"
#include "pages/frm_about.h"

namespace marelco {
namespace {

// The persisted properties whose changes show in the control's picture; a new text comes with Change.
constexpr std::u16string_view kShownProperties[] = {u"BackColor", u"ForeColor", u"Font", u"Enabled", u"Locked",
                                                     u"Formato"};

void ByReference(VARIANT& argument, Integer* value) {
  V_VT(&argument) = VT_BYREF | VT_I2;
  V_I2REF(&argument) = value;
}

void ByReference(VARIANT& argument, Single* value) {
  V_VT(&argument) = VT_BYREF | VT_R4;
  V_R4REF(&argument) = value;
}

// Fills EXCEPINFO from the thread's error information, as ITypeInfo::Invoke does.
HRESULT ReportException(HRESULT failure, EXCEPINFO* exception) {
  if (!exception) return failure;
  *exception = {};
  exception->scode = failure;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) == S_OK) {
    info->GetSource(&exception->bstrSource);
    info->GetDescription(&exception->bstrDescription);
  }
  return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT CreateKalendoControl(REFIID iid, void** object) { return KalendoObject::Create(iid, object); }

namespace {

// The date services of one user locale, read from the platform once.
struct LocaleServices {
  std::wstring name;
  std::unique_ptr<Locale> locale = MakeLocale("");
  DateServices services{*locale};
};

// What every control of the process shares, made by the first one that needs it, on whichever thread.
std::mutex shared_mutex;
std::shared_ptr<LocaleServices> shared_dates;

}  // namespace

// The module's type library is read once; every control shares its type descriptions.
HRESULT KalendoObject::LoadTypeInfos(TypeInfos& infos) {
  std::lock_guard lock(shared_mutex);
  if (!sharedTypes_.vtable) {
    TypeInfos fresh;
    ComPtr<ITypeLib> library;
    HRESULT result = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, library.put());
    if (SUCCEEDED(result)) result = library->GetTypeInfoOfGuid(IID__Kalendo, fresh.dispatch.put());
    if (SUCCEEDED(result)) result = library->GetTypeInfoOfGuid(CLSID_Kalendo, fresh.coclass.put());
    HREFTYPE vtable = 0;
    if (SUCCEEDED(result)) result = fresh.dispatch->GetRefTypeOfImplType(-1, &vtable);
    if (SUCCEEDED(result)) result = fresh.dispatch->GetRefTypeInfo(vtable, fresh.vtable.put());
    if (FAILED(result)) return result;
    sharedTypes_ = std::move(fresh);
  }
  infos = sharedTypes_;
  return S_OK;
}

// The date services of the user's locale, shared by the controls made while that locale stays the user's.
std::shared_ptr<const DateServices> KalendoObject::UserDateServices() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
  std::lock_guard lock(shared_mutex);
  if (!shared_dates || shared_dates->name != name) {
    shared_dates = std::make_shared<LocaleServices>();
    shared_dates->name = name;
  }
  return {shared_dates, &shared_dates->services};
}

void KalendoObject::ReleaseShared() {
  std::lock_guard lock(shared_mutex);
  sharedTypes_ = {};
  shared_dates.reset();
}

HRESULT KalendoObject::Create(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  TypeInfos infos;
  if (HRESULT result = LoadTypeInfos(infos); FAILED(result)) return result;
  KalendoObject* control = nullptr;
  HRESULT result = Guarded(IID__Kalendo, [&] { control = new KalendoObject(std::move(infos)); });
  if (FAILED(result)) return result;
  result = control->QueryInterface(iid, object);
  control->Release();
  return result;
}

KalendoObject::KalendoObject(TypeInfos infos)
    : types_(std::move(infos)), dates_(UserDateServices()) {
  // The text box uses a standard font object, so that the one Font hands out is the box's own.
  auto& box = surface_.txtFecha();
  box.SetFont(MakeOleFont(box.GetFont() ? box.GetFont()->attributes() : Font::Attributes{}));
  kalendo_ = std::make_unique<Kalendo>(surface_, static_cast<Host&>(*this), *dates_, gdi_);
  surface_.SetFocusListener([this](bool entered) { TextBoxFocusChanged(entered); });
  surface_.SetFontListener([this] { FontObjectChanged(); });
  surface_.SetOwner(static_cast<_Kalendo*>(this));
}

KalendoObject::~KalendoObject() {
  surface_.SetOwner(nullptr);
  surface_.SetFocusListener(nullptr);
  surface_.SetFontListener(nullptr);
  InPlaceDeactivate();
  events_.DisconnectAll();
  propertyNotify_.DisconnectAll();
  try {
    kalendo_->Terminate();
  } catch (...) {
  }
}

STDMETHODIMP KalendoObject::QueryInterface(REFIID iid, void** object) {
  return QueryInterfaceFromTable(this,
                                 {
                                     Entry<KalendoObject, _Kalendo>(),
                                     Entry<KalendoObject, IDispatch, _Kalendo>(),
                                     Entry<KalendoObject, IProvideClassInfo, IProvideClassInfo2>(),
                                     Entry<KalendoObject, IProvideClassInfo2>(),
                                     Entry<KalendoObject, IConnectionPointContainer>(),
                                     Entry<KalendoObject, ISupportErrorInfo>(),
                                     Entry<KalendoObject, IOleObject>(),
                                     Entry<KalendoObject, IOleWindow, IOleInPlaceObject>(),
                                     Entry<KalendoObject, IOleInPlaceObject>(),
                                     Entry<KalendoObject, IOleInPlaceActiveObject>(),
                                     Entry<KalendoObject, IOleControl>(),
                                     Entry<KalendoObject, IViewObject, IViewObject2>(),
                                     Entry<KalendoObject, IViewObject2>(),
                                     Entry<KalendoObject, IDataObject>(),
                                     Entry<KalendoObject, IQuickActivate>(),
                                     Entry<KalendoObject, IPersist, IPersistStreamInit>(),
                                     Entry<KalendoObject, IPersistStreamInit>(),
                                     Entry<KalendoObject, IPersistPropertyBag>(),
                                     Entry<KalendoObject, IPersistStorage>(),
                                     Entry<KalendoObject, ISpecifyPropertyPages>(),
                                     Entry<KalendoObject, IPerPropertyBrowsing>(),
                                     Entry<KalendoObject, ICategorizeProperties>(),
                                     Entry<KalendoObject, IObjectSafety>(),
                                 },
                                 iid, object);
}

STDMETHODIMP_(ULONG) KalendoObject::Release() {
  ULONG count = refs_.Release();
  if (count == 0) delete this;
  return count;
}

// IDispatch

STDMETHODIMP KalendoObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

STDMETHODIMP KalendoObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  *info = ComPtr<ITypeInfo>(types_.dispatch).detach();
  return S_OK;
}

STDMETHODIMP KalendoObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  return types_.dispatch->GetIDsOfNames(names, count, ids);
}

STDMETHODIMP KalendoObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argumentError) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  DISPPARAMS none = {};
  if (!params) params = &none;
  if ((id == DISPID_KALENDO_CAMBIAFECHA || id == DISPID_KALENDO_CAMBIAFECHA2) && (flags & DISPATCH_METHOD))
    return InvokeStep(id, params, result, exception, argumentError);
  if (HRESULT refused = RefuseSurplusArguments(id, flags, *params); FAILED(refused)) return refused;
  SetErrorInfo(0, nullptr);
  return types_.vtable->Invoke(static_cast<_Kalendo*>(this), id, flags, params, result, exception, argumentError);
}

// Calls with arguments no member takes are refused here rather than by the type library's dispatch, which
// under Wine keeps a reference to an object it converted for a property put with a surplus argument, and
// hands the arguments of a property get on to the default member of the object returned: through a null
// pointer when that object is nothing, as MouseIcon is until one is set.
HRESULT KalendoObject::RefuseSurplusArguments(DISPID id, WORD flags, const DISPPARAMS& params) {
  if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) && params.cArgs > 1) return DISP_E_BADPARAMCOUNT;
  if (id != DISPID_KALENDO_MOUSEICON || !(flags & DISPATCH_PROPERTYGET) || params.cArgs == 0) return S_OK;
  ComPtr<IPictureDisp> icon;
  return SUCCEEDED(get_MouseIcon(icon.put())) && icon ? S_OK : DISP_E_BADPARAMCOUNT;
}

// CambiaFecha and CambiaFecha2 take Incremento as a Boolean by reference. Script clients pass their
// variables as references to Variants, which the type library's dispatch refuses for a Boolean reference:
// any argument that reads as a Boolean is taken here, and a Boolean reference gets the value back.
HRESULT KalendoObject::InvokeStep(DISPID id, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                  UINT* argumentError) {
  if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  if (params->cArgs == 0) return DISP_E_PARAMNOTFOUND;
  if (params->cArgs > 1) return DISP_E_BADPARAMCOUNT;
  if (!params->rgvarg) return E_INVALIDARG;
  VARIANT* argument = &params->rgvarg[0];
  if (V_VT(argument) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(argument)) argument = V_VARIANTREF(argument);
  OleVariant incremento;
  if (FAILED(VariantChangeType(incremento.get(), argument, 0, VT_BOOL))) {
    if (argumentError) *argumentError = 0;
    return DISP_E_TYPEMISMATCH;
  }
  VARIANT_BOOL value = V_BOOL(incremento.get());
  SetErrorInfo(0, nullptr);
  HRESULT outcome = id == DISPID_KALENDO_CAMBIAFECHA ? CambiaFecha(&value) : CambiaFecha2(&value);
  if (V_VT(argument) == (VT_BYREF | VT_BOOL) && V_BOOLREF(argument)) *V_BOOLREF(argument) = value;
  if (result) VariantInit(result);
  return FAILED(outcome) ? ReportException(outcome, exception) : S_OK;
}

// _Kalendo

template <typename Value, typename Getter>
HRESULT KalendoObject::Get(Value* out, Getter&& getter) {
  if (!out) return E_POINTER;
  return Call([&] { *out = getter(); });
}

HRESULT KalendoObject::GetString(BSTR* out, std::u16string (Kalendo::*getter)() const) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return Call([&] {
    Bstr text((kalendo_.get()->*getter)());
    if (!text.get()) throw std::bad_alloc();
    *out = text.detach();
  });
}

STDMETHODIMP KalendoObject::CambiaFecha(VARIANT_BOOL* Incremento) {
  if (!Incremento) return E_POINTER;
  return Call([&] { kalendo_->CambiaFecha(*Incremento); });
}

STDMETHODIMP KalendoObject::CambiaFecha2(VARIANT_BOOL* Incremento) {
  if (!Incremento) return E_POINTER;
  return Call([&] { kalendo_->CambiaFecha2(*Incremento); });
}

STDMETHODIMP KalendoObject::get_Text(BSTR* Text) { return GetString(Text, &Kalendo::Text); }
STDMETHODIMP KalendoObject::put_Text(BSTR Text) {
  return Call([&] { kalendo_->SetText(Bstr::ToUtf16(Text)); });
}

STDMETHODIMP KalendoObject::About() {
  const auto alive = KeepAlive();
  return pages::ShowAbout();
}

STDMETHODIMP KalendoObject::get_BackColor(OLE_COLOR* BackColor) {
  return Get(BackColor, [&] { return kalendo_->BackColor(); });
}
STDMETHODIMP KalendoObject::put_BackColor(OLE_COLOR BackColor) {
  return Call([&] { kalendo_->SetBackColor(BackColor); });
}

STDMETHODIMP KalendoObject::get_Enabled(VARIANT_BOOL* Enabled) {
  return Get(Enabled, [&] { return kalendo_->Enabled(); });
}
STDMETHODIMP KalendoObject::put_Enabled(VARIANT_BOOL Enabled) {
  return Call([&] { kalendo_->SetEnabled(Enabled); });
}

STDMETHODIMP KalendoObject::get_Font(IFontDisp** Font) {
  if (!Font) return E_POINTER;
  *Font = nullptr;
  return Call([&] { *Font = ToFontDisp(kalendo_->GetFont()).detach(); });
}
STDMETHODIMP KalendoObject::putref_Font(IFontDisp* Font) {
  return Call([&] {
    auto font = FromFontDisp(Font);
    if (!font) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
    kalendo_->SetFont(std::move(font));
  });
}

STDMETHODIMP KalendoObject::get_Formato(BSTR* Formato) { return GetString(Formato, &Kalendo::Formato); }
STDMETHODIMP KalendoObject::put_Formato(BSTR Formato) {
  return Call([&] { kalendo_->SetFormato(Bstr::ToUtf16(Formato)); });
}

STDMETHODIMP KalendoObject::get_ForeColor(OLE_COLOR* ForeColor) {
  return Get(ForeColor, [&] { return kalendo_->ForeColor(); });
}
STDMETHODIMP KalendoObject::put_ForeColor(OLE_COLOR ForeColor) {
  return Call([&] { kalendo_->SetForeColor(ForeColor); });
}

STDMETHODIMP KalendoObject::get_ToolTipText(BSTR* ToolTipText) {
  return GetString(ToolTipText, &Kalendo::ToolTipText);
}
STDMETHODIMP KalendoObject::put_ToolTipText(BSTR ToolTipText) {
  return Call([&] { kalendo_->SetToolTipText(Bstr::ToUtf16(ToolTipText)); });
}

STDMETHODIMP KalendoObject::AnchoMin(LONG* AnchoMin) {
  return Get(AnchoMin, [&] { return kalendo_->AnchoMin(); });
}

STDMETHODIMP KalendoObject::get_BorderStyle(SHORT* BorderStyle) {
  return Get(BorderStyle, [&] { return kalendo_->BorderStyle(); });
}

STDMETHODIMP KalendoObject::get_hdc(LONG* hdc) {
  return Get(hdc, [&] { return kalendo_->hdc(); });
}

STDMETHODIMP KalendoObject::get_Locked(VARIANT_BOOL* Locked) {
  return Get(Locked, [&] { return kalendo_->Locked(); });
}
STDMETHODIMP KalendoObject::put_Locked(VARIANT_BOOL Locked) {
  return Call([&] { kalendo_->SetLocked(Locked); });
}

STDMETHODIMP KalendoObject::get_MousePointer(SHORT* MousePointer) {
  return Get(MousePointer, [&] { return kalendo_->MousePointer(); });
}
STDMETHODIMP KalendoObject::put_MousePointer(SHORT MousePointer) {
  return Call([&] { kalendo_->SetMousePointer(MousePointer); });
}

STDMETHODIMP KalendoObject::get_MouseIcon(IPictureDisp** MouseIcon) {
  if (!MouseIcon) return E_POINTER;
  *MouseIcon = nullptr;
  return Call([&] {
    auto picture = kalendo_->MouseIcon();
    if (!picture) return;
    if (auto* ole = dynamic_cast<OlePicture*>(picture.get())) {
      *MouseIcon = ole->dispatch().detach();
      return;
    }
    // The core's own empty picture: one standard empty picture stands for it, the same at every read.
    if (emptyMouseIconOf_ != picture) {
      emptyMouseIcon_ = MakeEmptyPictureDisp();
      emptyMouseIconOf_ = picture;
    }
    *MouseIcon = ComPtr<IPictureDisp>(emptyMouseIcon_).detach();
  });
}
STDMETHODIMP KalendoObject::putref_MouseIcon(IPictureDisp* MouseIcon) {
  return Call([&] {
    auto picture = FromPictureDisp(MouseIcon);
    if (MouseIcon && !picture) throw RuntimeError(ErrorNumber::TypeMismatch);
    kalendo_->SetMouseIcon(std::move(picture));
  });
}

STDMETHODIMP KalendoObject::get_SelLength(LONG* SelLength) {
  return Get(SelLength, [&] { return kalendo_->SelLength(); });
}
STDMETHODIMP KalendoObject::put_SelLength(LONG SelLength) {
  return Call([&] { kalendo_->SetSelLength(SelLength); });
}

STDMETHODIMP KalendoObject::get_SelStart(LONG* SelStart) {
  return Get(SelStart, [&] { return kalendo_->SelStart(); });
}
STDMETHODIMP KalendoObject::put_SelStart(LONG SelStart) {
  return Call([&] { kalendo_->SetSelStart(SelStart); });
}

STDMETHODIMP KalendoObject::get_SelText(BSTR* SelText) { return GetString(SelText, &Kalendo::SelText); }
STDMETHODIMP KalendoObject::put_SelText(BSTR SelText) {
  return Call([&] { kalendo_->SetSelText(Bstr::ToUtf16(SelText)); });
}

// IProvideClassInfo2

STDMETHODIMP KalendoObject::GetClassInfo(ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = ComPtr<ITypeInfo>(types_.coclass).detach();
  return S_OK;
}

STDMETHODIMP KalendoObject::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = DIID___Kalendo;
  return S_OK;
}

// IConnectionPointContainer

STDMETHODIMP KalendoObject::EnumConnectionPoints(IEnumConnectionPoints** points) {
  return EnumerateConnectionPoints({&events_, &propertyNotify_}, points);
}

STDMETHODIMP KalendoObject::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  for (ConnectionPoint* candidate : {&events_, &propertyNotify_}) {
    if (IsEqualIID(iid, candidate->iid())) {
      *point = candidate;
      candidate->AddRef();
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

// ISupportErrorInfo

STDMETHODIMP KalendoObject::InterfaceSupportsErrorInfo(REFIID iid) {
  return IsEqualIID(iid, IID__Kalendo) ? S_OK : S_FALSE;
}

// Host

void KalendoObject::PropertyChanged(std::u16string_view name) {
  dirty_ = true;
  if (std::ranges::find(kShownProperties, name) != std::end(kShownProperties)) PictureChanged();
  std::wstring member(WideView(name));
  LPOLESTR names[] = {member.data()};
  DISPID id = DISPID_UNKNOWN;
  types_.dispatch->GetIDsOfNames(names, 1, &id);
  const auto alive = KeepAlive();
  for (const auto& sink : propertyNotify_.Sinks<IPropertyNotifySink>()) sink->OnChanged(id);
}

// Whoever holds the control's font object changed it (its size, say): the control saves and shows the change
// as one of Font itself.
void KalendoObject::FontObjectChanged() {
  Call([&] { PropertyChanged(u"Font"); });
}

void KalendoObject::Ambient(DISPID id, VARIANT* value) {
  VariantInit(value);
  auto ambients = clientSite_.query<IDispatch>();
  if (!ambients) return;
  DISPPARAMS none = {};
  if (FAILED(ambients->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr,
                              nullptr)))
    VariantClear(value);
}

OleColor KalendoObject::AmbientBackColor() {
  OleVariant color;
  Ambient(DISPID_AMBIENT_BACKCOLOR, color.get());
  if (FAILED(VariantChangeType(color.get(), color.get(), 0, VT_UI4))) return kButtonFaceColor;
  return V_UI4(color.get());
}

std::shared_ptr<Font> KalendoObject::AmbientFont() {
  OleVariant font;
  Ambient(DISPID_AMBIENT_FONT, font.get());
  if ((V_VT(font.get()) == VT_DISPATCH || V_VT(font.get()) == VT_UNKNOWN) && V_UNKNOWN(font.get())) {
    if (auto ambient = FromFontDisp(V_UNKNOWN(font.get()))) return ambient;
  }
  return MakeOleFont(Font::Attributes{});
}

void KalendoObject::FireEvent(DISPID id, std::span<VARIANT> arguments) {
  if (frozenEvents_ > 0) return;  // the container does not want events now
  DISPPARAMS params = {arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
  const auto alive = KeepAlive();
  for (const auto& sink : events_.Sinks<IDispatch>()) {
    OleVariant ignored;
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, ignored.get(), nullptr, nullptr);
  }
}

void KalendoObject::Change() {
  PictureChanged();
  FireEvent(DISPID_KALENDO_CHANGE);
}
void KalendoObject::Click() { FireEvent(DISPID_CLICK); }
void KalendoObject::DblClick() { FireEvent(DISPID_DBLCLICK); }

// A host that closed the control or destroyed its windows in its handler has taken the key: the control does
// nothing more with it.
void KalendoObject::FireKeyEvent(DISPID id, std::span<VARIANT> arguments, Integer& key) {
  const unsigned closes = closes_;
  FireEvent(id, arguments);
  if (closes_ != closes || !surface_.hwnd()) key = 0;
}

void KalendoObject::KeyDown(Integer& KeyCode, Integer& Shift) {
  VARIANT arguments[2];
  ByReference(arguments[0], &Shift);
  ByReference(arguments[1], &KeyCode);
  FireKeyEvent(DISPID_KEYDOWN, arguments, KeyCode);
}

void KalendoObject::KeyPress(Integer& KeyAscii) {
  VARIANT arguments[1];
  ByReference(arguments[0], &KeyAscii);
  FireKeyEvent(DISPID_KEYPRESS, arguments, KeyAscii);
}

void KalendoObject::KeyUp(Integer& KeyCode, Integer& Shift) {
  VARIANT arguments[2];
  ByReference(arguments[0], &Shift);
  ByReference(arguments[1], &KeyCode);
  FireKeyEvent(DISPID_KEYUP, arguments, KeyCode);
}

void KalendoObject::MouseMove(Integer& Button, Integer& Shift, Single& X, Single& Y) {
  VARIANT arguments[4];
  ByReference(arguments[0], &Y);
  ByReference(arguments[1], &X);
  ByReference(arguments[2], &Shift);
  ByReference(arguments[3], &Button);
  FireEvent(DISPID_KALENDO_MOUSEMOVE, arguments);
}

void KalendoObject::MouseUp(Integer& Button, Integer& Shift, Single& X, Single& Y) {
  VARIANT arguments[4];
  ByReference(arguments[0], &Y);
  ByReference(arguments[1], &X);
  ByReference(arguments[2], &Shift);
  ByReference(arguments[3], &Button);
  FireEvent(DISPID_KALENDO_MOUSEUP, arguments);
}

}  // namespace marelco
