// Kalendo's COM object: creation, IDispatch over the type library, the members of _Kalendo and its connection
// points.
#include "package/kalendo_object.h"

#include <functional>
#include <mutex>
#include <new>

#include "com/class_info.h"
#include "com/error_boundary.h"
#include "package/kalendo_control.h"
#include "package/module.h"
#include "package/ole_objects.h"
#include "package/property_browsing.h"
#include "pages/frm_about.h"

namespace marelco {
namespace {

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

std::mutex shared_mutex;  // guards KalendoObject::current_

}  // namespace

// The module's type library is read once; the date services are read again when the user's locale changes.
HRESULT KalendoObject::GetShared(std::shared_ptr<const Shared>& shared) {
  wchar_t localeName[LOCALE_NAME_MAX_LENGTH] = {};
  GetUserDefaultLocaleName(localeName, LOCALE_NAME_MAX_LENGTH);
  std::lock_guard lock(shared_mutex);
  if (!current_ || current_->localeName != localeName) {
    auto fresh = std::make_shared<Shared>();
    fresh->localeName = localeName;
    if (current_) {
      fresh->dispatch = current_->dispatch;
      fresh->vtable = current_->vtable;
      fresh->coclass = current_->coclass;
    } else {
      ComPtr<ITypeLib> library;
      HRESULT result = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, library.put());
      if (SUCCEEDED(result)) result = library->GetTypeInfoOfGuid(IID__Kalendo, fresh->dispatch.put());
      if (SUCCEEDED(result)) result = library->GetTypeInfoOfGuid(CLSID_Kalendo, fresh->coclass.put());
      HREFTYPE vtable = 0;
      if (SUCCEEDED(result)) result = fresh->dispatch->GetRefTypeOfImplType(-1, &vtable);
      if (SUCCEEDED(result)) result = fresh->dispatch->GetRefTypeInfo(vtable, fresh->vtable.put());
      if (FAILED(result)) return result;
    }
    current_ = std::move(fresh);
  }
  shared = current_;
  return S_OK;
}

void KalendoObject::ReleaseShared() {
  std::lock_guard lock(shared_mutex);
  current_.reset();
}

HRESULT KalendoObject::Create(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  std::shared_ptr<const Shared> shared;
  HRESULT loaded = S_OK;
  KalendoObject* control = nullptr;
  HRESULT result = Guarded(IID__Kalendo, [&] {
    loaded = GetShared(shared);
    if (SUCCEEDED(loaded)) control = new KalendoObject(std::move(shared));
  });
  if (FAILED(result)) return result;
  if (FAILED(loaded)) return loaded;
  result = control->QueryInterface(iid, object);
  control->Release();
  return result;
}

KalendoObject::KalendoObject(std::shared_ptr<const Shared> shared)
    : shared_(std::move(shared)), kalendo_(surface_, host_, shared_->dates, gdi_) {
  // The text box uses a standard font object, so that the one Font hands out is the box's own.
  auto& box = surface_.txtFecha();
  box.SetFont(MakeOleFont(box.GetFont() ? box.GetFont()->attributes() : Font::Attributes{}));
  surface_.SetListener(this);
}

KalendoObject::~KalendoObject() {
  surface_.SetListener(nullptr);
  inPlace_.Deactivate();
  events_.DisconnectAll();
  try {
    kalendo_.Terminate();
  } catch (...) {
  }
}

STDMETHODIMP KalendoObject::QueryInterface(REFIID iid, void** object) {
  // Interfaces that few clients ask for are tear-offs, made when asked for.
  IUnknown* const identity = static_cast<_Kalendo*>(this);
  if (PropertyBrowsing::AnswersFor(iid)) return CreateComObject<PropertyBrowsing>(iid, object, identity);
  if (ClassInfo::AnswersFor(iid))
    return CreateComObject<ClassInfo>(iid, object, identity, shared_->coclass.get(), DIID___Kalendo);
  if (QuickActivation::AnswersFor(iid)) return CreateComObject<QuickActivation>(iid, object, *this);
  if (StoragePersistence::AnswersFor(iid)) return CreateComObject<StoragePersistence>(iid, object, *this);
  if (ObjectSafety::AnswersFor(iid)) return CreateComObject<ObjectSafety>(iid, object, identity, safety_);
  if (ErrorInfoSupport::AnswersFor(iid)) return CreateComObject<ErrorInfoSupport>(iid, object, identity, IID__Kalendo);
  return QueryInterfaceFromTable(this,
                                 {
                                     Entry<KalendoObject, _Kalendo>(),
                                     Entry<KalendoObject, IDispatch, _Kalendo>(),
                                     Entry<KalendoObject, IConnectionPointContainer>(),
                                     Entry<KalendoObject, IOleObject>(),
                                     Entry<KalendoObject, IOleWindow, IOleInPlaceObject>(),
                                     Entry<KalendoObject, IOleInPlaceObject>(),
                                     Entry<KalendoObject, IOleInPlaceActiveObject>(),
                                     Entry<KalendoObject, IOleControl>(),
                                     Entry<KalendoObject, IViewObject, IViewObjectEx>(),
                                     Entry<KalendoObject, IViewObject2, IViewObjectEx>(),
                                     Entry<KalendoObject, IViewObjectEx>(),
                                     Entry<KalendoObject, IDataObject>(),
                                     Entry<KalendoObject, IPersist, IPersistStreamInit>(),
                                     Entry<KalendoObject, IPersistStreamInit>(),
                                     Entry<KalendoObject, IPersistPropertyBag>(),
                                 },
                                 iid, object);
}

// The destructor still calls out (a site left in-place active hears of the deactivation) and holds the control
// across those calls: the count stays above zero while it runs, so that they do not destroy it a second time.
STDMETHODIMP_(ULONG) KalendoObject::Release() {
  ULONG count = refs_.Release();
  if (count == 0) {
    refs_.AddRef();
    delete this;
  }
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
  *info = ComPtr<ITypeInfo>(shared_->dispatch).detach();
  return S_OK;
}

STDMETHODIMP KalendoObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  return shared_->dispatch->GetIDsOfNames(names, count, ids);
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
  return shared_->vtable->Invoke(static_cast<_Kalendo*>(this), id, flags, params, result, exception, argumentError);
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
  return Call([&] { *out = std::invoke(getter, kalendo_); });
}

HRESULT KalendoObject::Get(BSTR* out, std::u16string (Kalendo::*getter)() const) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return Call([&] {
    Bstr text((kalendo_.*getter)());
    if (!text.get()) throw std::bad_alloc();
    *out = text.detach();
  });
}

template <typename Setter, typename Value>
HRESULT KalendoObject::Put(Setter setter, Value value) {
  return Call([&] { std::invoke(setter, kalendo_, value); });
}

HRESULT KalendoObject::Put(void (Kalendo::*setter)(const std::u16string&), BSTR value) {
  return Call([&] { (kalendo_.*setter)(Bstr::ToUtf16(value)); });
}

STDMETHODIMP KalendoObject::CambiaFecha(VARIANT_BOOL* Incremento) {
  if (!Incremento) return E_POINTER;
  return Call([&] { kalendo_.CambiaFecha(*Incremento); });
}

STDMETHODIMP KalendoObject::CambiaFecha2(VARIANT_BOOL* Incremento) {
  if (!Incremento) return E_POINTER;
  return Call([&] { kalendo_.CambiaFecha2(*Incremento); });
}

STDMETHODIMP KalendoObject::get_Text(BSTR* Text) { return Get(Text, &Kalendo::Text); }
STDMETHODIMP KalendoObject::put_Text(BSTR Text) { return Put(&Kalendo::SetText, Text); }

STDMETHODIMP KalendoObject::About() {
  const auto alive = KeepAlive();
  return pages::ShowAbout();
}

STDMETHODIMP KalendoObject::get_BackColor(OLE_COLOR* BackColor) { return Get(BackColor, &Kalendo::BackColor); }
STDMETHODIMP KalendoObject::put_BackColor(OLE_COLOR BackColor) { return Put(&Kalendo::SetBackColor, BackColor); }
STDMETHODIMP KalendoObject::get_Enabled(VARIANT_BOOL* Enabled) { return Get(Enabled, &Kalendo::Enabled); }
STDMETHODIMP KalendoObject::put_Enabled(VARIANT_BOOL Enabled) { return Put(&Kalendo::SetEnabled, Enabled); }

STDMETHODIMP KalendoObject::get_Font(IFontDisp** Font) {
  if (!Font) return E_POINTER;
  *Font = nullptr;
  return Call([&] { *Font = ToFontDisp(kalendo_.GetFont()).detach(); });
}
STDMETHODIMP KalendoObject::putref_Font(IFontDisp* Font) {
  return Call([&] {
    auto font = FromFontDisp(Font);
    if (!font) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
    kalendo_.SetFont(std::move(font));
  });
}

STDMETHODIMP KalendoObject::get_Formato(BSTR* Formato) { return Get(Formato, &Kalendo::Formato); }
STDMETHODIMP KalendoObject::put_Formato(BSTR Formato) { return Put(&Kalendo::SetFormato, Formato); }
STDMETHODIMP KalendoObject::get_ForeColor(OLE_COLOR* ForeColor) { return Get(ForeColor, &Kalendo::ForeColor); }
STDMETHODIMP KalendoObject::put_ForeColor(OLE_COLOR ForeColor) { return Put(&Kalendo::SetForeColor, ForeColor); }
STDMETHODIMP KalendoObject::get_ToolTipText(BSTR* ToolTipText) { return Get(ToolTipText, &Kalendo::ToolTipText); }
STDMETHODIMP KalendoObject::put_ToolTipText(BSTR ToolTipText) { return Put(&Kalendo::SetToolTipText, ToolTipText); }
STDMETHODIMP KalendoObject::AnchoMin(LONG* AnchoMin) { return Get(AnchoMin, &Kalendo::AnchoMin); }
STDMETHODIMP KalendoObject::get_BorderStyle(SHORT* BorderStyle) { return Get(BorderStyle, &Kalendo::BorderStyle); }
STDMETHODIMP KalendoObject::get_hdc(LONG* hdc) { return Get(hdc, &Kalendo::hdc); }
STDMETHODIMP KalendoObject::get_Locked(VARIANT_BOOL* Locked) { return Get(Locked, &Kalendo::Locked); }
STDMETHODIMP KalendoObject::put_Locked(VARIANT_BOOL Locked) { return Put(&Kalendo::SetLocked, Locked); }

STDMETHODIMP KalendoObject::get_MousePointer(SHORT* MousePointer) {
  return Get(MousePointer, &Kalendo::MousePointer);
}
STDMETHODIMP KalendoObject::put_MousePointer(SHORT MousePointer) {
  return Put(&Kalendo::SetMousePointer, MousePointer);
}

STDMETHODIMP KalendoObject::get_MouseIcon(IPictureDisp** MouseIcon) {
  if (!MouseIcon) return E_POINTER;
  *MouseIcon = nullptr;
  return Call([&] {
    auto picture = kalendo_.MouseIcon();
    if (!picture) return;
    if (auto* ole = dynamic_cast<OlePicture*>(picture.get())) {
      *MouseIcon = ole->dispatch().detach();
      return;
    }
    // The core's own empty picture: one standard empty picture stands for it, the same at every read.
    if (!emptyMouseIcon_) emptyMouseIcon_ = MakeEmptyPictureDisp();
    *MouseIcon = ComPtr<IPictureDisp>(emptyMouseIcon_).detach();
  });
}
STDMETHODIMP KalendoObject::putref_MouseIcon(IPictureDisp* MouseIcon) {
  return Call([&] {
    auto picture = FromPictureDisp(MouseIcon);
    if (MouseIcon && !picture) throw RuntimeError(ErrorNumber::TypeMismatch);
    kalendo_.SetMouseIcon(std::move(picture));
  });
}

STDMETHODIMP KalendoObject::get_SelLength(LONG* SelLength) { return Get(SelLength, &Kalendo::SelLength); }
STDMETHODIMP KalendoObject::put_SelLength(LONG SelLength) { return Put(&Kalendo::SetSelLength, SelLength); }
STDMETHODIMP KalendoObject::get_SelStart(LONG* SelStart) { return Get(SelStart, &Kalendo::SelStart); }
STDMETHODIMP KalendoObject::put_SelStart(LONG SelStart) { return Put(&Kalendo::SetSelStart, SelStart); }
STDMETHODIMP KalendoObject::get_SelText(BSTR* SelText) { return Get(SelText, &Kalendo::SelText); }
STDMETHODIMP KalendoObject::put_SelText(BSTR SelText) { return Put(&Kalendo::SetSelText, SelText); }

// IConnectionPointContainer

STDMETHODIMP KalendoObject::EnumConnectionPoints(IEnumConnectionPoints** points) {
  return events_.EnumConnectionPoints(points);
}

STDMETHODIMP KalendoObject::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  return events_.FindConnectionPoint(iid, point);
}

// Whoever holds the control's font object changed it (its size, say): the control saves and shows the change
// as one of Font itself.
void KalendoObject::FontObjectChanged() {
  Call([&] { host_.PropertyChanged(u"Font"); });
}

}  // namespace marelco
