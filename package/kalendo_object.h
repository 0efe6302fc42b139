// The COM object of the control Kalendo: one object, many interfaces. The portable Kalendo does the work;
// this object turns COM calls into its calls and its host requests (events, property changes, ambients)
// into calls on the container.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <span>

#include "com/com_object.h"
#include "com/com_ptr.h"
#include "com/error_boundary.h"
#include "com/tear_off.h"
#include "control/kalendo.h"
#include "package/connection_point.h"
#include "package/kalendo_events.h"
#include "package/kalendo_in_place.h"
#include "package/kalendo_persist.h"
#include "package/kalendo_safety.h"
#include "package/kalendo_view.h"
#include "package/marelco_typelib.h"
#include "win32/handles.h"
#include "win32/surface_window.h"
#include "win32/window_picture.h"
#include "win32/windows_gdi.h"

namespace marelco {

class KalendoObject;

// IQuickActivate: a container that knows it hands the site, the sinks and the ambient state over in one call at
// creation; others never ask, so it is a tear-off.
class QuickActivation final : public TearOff<QuickActivation, IQuickActivate> {
 public:
  explicit QuickActivation(KalendoObject& control);

  STDMETHODIMP QuickActivate(QACONTAINER* container, QACONTROL* control) override;
  STDMETHODIMP SetContentExtent(LPSIZEL size) override;
  STDMETHODIMP GetContentExtent(LPSIZEL size) override;

 private:
  KalendoObject& control_;
};

class KalendoObject final : public _Kalendo,
                            public IConnectionPointContainer,
                            public IOleObject,
                            public IOleInPlaceObject,
                            public IOleInPlaceActiveObject,
                            public IOleControl,
                            public IViewObjectEx,
                            public IDataObject,
                            public IPersistStreamInit,
                            public IPersistPropertyBag,
                            private win32::SurfaceListener {
 public:
  static HRESULT Create(REFIID iid, void** object);
  // Lets go of what the controls of the process share (type descriptions, date services), once none lives:
  // the server is about to be unloaded. The next control reads them afresh.
  static void ReleaseShared();

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return refs_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override;

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override;

  // _Kalendo
  STDMETHODIMP CambiaFecha(VARIANT_BOOL* Incremento) override;
  STDMETHODIMP CambiaFecha2(VARIANT_BOOL* Incremento) override;
  STDMETHODIMP get_Text(BSTR* Text) override;
  STDMETHODIMP put_Text(BSTR Text) override;
  STDMETHODIMP About() override;
  STDMETHODIMP get_BackColor(OLE_COLOR* BackColor) override;
  STDMETHODIMP put_BackColor(OLE_COLOR BackColor) override;
  STDMETHODIMP get_Enabled(VARIANT_BOOL* Enabled) override;
  STDMETHODIMP put_Enabled(VARIANT_BOOL Enabled) override;
  STDMETHODIMP get_Font(IFontDisp** Font) override;
  STDMETHODIMP putref_Font(IFontDisp* Font) override;
  STDMETHODIMP get_Formato(BSTR* Formato) override;
  STDMETHODIMP put_Formato(BSTR Formato) override;
  STDMETHODIMP get_ForeColor(OLE_COLOR* ForeColor) override;
  STDMETHODIMP put_ForeColor(OLE_COLOR ForeColor) override;
  STDMETHODIMP get_ToolTipText(BSTR* ToolTipText) override;
  STDMETHODIMP put_ToolTipText(BSTR ToolTipText) override;
  STDMETHODIMP AnchoMin(LONG* AnchoMin) override;
  STDMETHODIMP get_BorderStyle(SHORT* BorderStyle) override;
  STDMETHODIMP get_hdc(LONG* hdc) override;
  STDMETHODIMP get_Locked(VARIANT_BOOL* Locked) override;
  STDMETHODIMP put_Locked(VARIANT_BOOL Locked) override;
  STDMETHODIMP get_MousePointer(SHORT* MousePointer) override;
  STDMETHODIMP put_MousePointer(SHORT MousePointer) override;
  STDMETHODIMP get_MouseIcon(IPictureDisp** MouseIcon) override;
  STDMETHODIMP putref_MouseIcon(IPictureDisp* MouseIcon) override;
  STDMETHODIMP get_SelLength(LONG* SelLength) override;
  STDMETHODIMP put_SelLength(LONG SelLength) override;
  STDMETHODIMP get_SelStart(LONG* SelStart) override;
  STDMETHODIMP put_SelStart(LONG SelStart) override;
  STDMETHODIMP get_SelText(BSTR* SelText) override;
  STDMETHODIMP put_SelText(BSTR SelText) override;

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR application, LPCOLESTR document) override;
  STDMETHODIMP Close(DWORD saveOption) override;
  STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
  STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
  STDMETHODIMP DoVerb(LONG verb, LPMSG message, IOleClientSite* site, LONG index, HWND parent,
                      LPCRECT position) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
  STDMETHODIMP Update() override;
  STDMETHODIMP IsUpToDate() override;
  STDMETHODIMP GetUserClassID(CLSID* clsid) override;
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
  STDMETHODIMP Unadvise(DWORD connection) override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** advises) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override;
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override;
  STDMETHODIMP TranslateAccelerator(LPMSG message) override;
  STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
  STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
  STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
  STDMETHODIMP EnableModeless(BOOL enable) override;

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG* message) override;
  STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
  STDMETHODIMP FreezeEvents(BOOL freeze) override;

  // IViewObject2
  STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDc, HDC dc,
                    LPCRECTL bounds, LPCRECTL window, BOOL(STDMETHODCALLTYPE* keepGoing)(ULONG_PTR),
                    ULONG_PTR argument) override;
  STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDc,
                           LOGPALETTE** colors) override;
  STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
  STDMETHODIMP Unfreeze(DWORD freeze) override;
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

  // IViewObjectEx
  STDMETHODIMP GetRect(DWORD aspect, LPRECTL rect) override;
  STDMETHODIMP GetViewStatus(DWORD* status) override;
  STDMETHODIMP QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location, LONG closeHint, DWORD* hit) override;
  STDMETHODIMP QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location, LONG closeHint, DWORD* hit) override;
  STDMETHODIMP GetNaturalExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, HDC targetDc,
                                DVEXTENTINFO* info, LPSIZEL size) override;

  // IDataObject
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP QueryGetData(FORMATETC* format) override;
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical) override;
  STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
  STDMETHODIMP DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
  STDMETHODIMP DUnadvise(DWORD connection) override;
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA** advises) override;

  // IPersist, IPersistStreamInit, IPersistPropertyBag
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP IsDirty() override;
  STDMETHODIMP Load(IStream* stream) override;
  STDMETHODIMP Save(IStream* stream, BOOL clearDirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP InitNew() override;
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

 private:
  friend class QuickActivation;
  friend class StoragePersistence;

  // What every control of the process shares: the type descriptions and the date services of the user's locale,
  // made again when that locale changes.
  struct Shared {
    ComPtr<ITypeInfo> dispatch;  // _Kalendo as clients see it
    ComPtr<ITypeInfo> vtable;    // its interface table, for ITypeInfo::Invoke
    ComPtr<ITypeInfo> coclass;   // Kalendo
    std::wstring localeName;
    std::unique_ptr<Locale> locale = MakeLocale("");
    DateServices dates{*locale};
  };
  static HRESULT GetShared(std::shared_ptr<const Shared>& shared);
  inline static std::shared_ptr<const Shared> current_;  // under the lock of the shared state

  // The host of the portable Kalendo: its property changes, ambient properties and events become calls on the
  // container.
  class CoreHost final : public Host {
   public:
    explicit CoreHost(KalendoObject& control) : control_(control) {}

    void PropertyChanged(std::u16string_view name) override;
    OleColor AmbientBackColor() override;
    std::shared_ptr<Font> AmbientFont() override;
    void Change() override;
    void Click() override;
    void DblClick() override;
    void KeyDown(Integer& KeyCode, Integer& Shift) override;
    void KeyPress(Integer& KeyAscii) override;
    void KeyUp(Integer& KeyCode, Integer& Shift) override;
    void MouseMove(Integer& Button, Integer& Shift, Single& X, Single& Y) override;
    void MouseUp(Integer& Button, Integer& Shift, Single& X, Single& Y) override;

   private:
    // A host that closed the control or destroyed its windows in its handler has taken the key: the control
    // does nothing more with it.
    void FireKeyEvent(DISPID id, std::span<VARIANT> arguments, Integer& key);
    void FireMouseEvent(DISPID id, Integer& Button, Integer& Shift, Single& X, Single& Y);
    // An ambient property of the container, through its site's IDispatch; VT_EMPTY without a site.
    void Ambient(DISPID id, VARIANT* value);

    KalendoObject& control_;
  };

  explicit KalendoObject(std::shared_ptr<const Shared> shared);
  ~KalendoObject();

  // A reference to this control, held by a method across its calls out to the host, whose handlers may let go
  // of the control, close it or destroy its windows: the method's code after the call still runs on a live
  // object, and the object goes when the last reference does, after the method.
  ComPtr<KalendoObject> KeepAlive() { return this; }

  // Runs a member's body at the COM boundary, the control kept alive across the events it raises. The containers
  // hear of the picture's changes once, at its end.
  template <typename Body>
  HRESULT Call(Body&& body) {
    const auto alive = KeepAlive();
    view_.BeginCall();
    const HRESULT result = Guarded(IID__Kalendo, std::forward<Body>(body));
    view_.EndCall();
    return result;
  }
  // A property of the core read or written at the COM boundary: by its member function, or by a lambda.
  template <typename Value, typename Getter>
  HRESULT Get(Value* out, Getter&& getter);
  HRESULT Get(BSTR* out, std::u16string (Kalendo::*getter)() const);
  template <typename Setter, typename Value>
  HRESULT Put(Setter setter, Value value);
  HRESULT Put(void (Kalendo::*setter)(const std::u16string&), BSTR value);
  HRESULT InvokeStep(DISPID id, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT* argumentError);
  HRESULT RefuseSurplusArguments(DISPID id, WORD flags, const DISPPARAMS& params);

  // What the surface's windows tell.
  void TextBoxFocusChanged(bool entered) override { inPlace_.TextBoxFocusChanged(entered); }
  void FontObjectChanged() override;
  IUnknown* owner() override { return static_cast<_Kalendo*>(this); }
  HRESULT ShowPropertyPages(HWND owner);
  // The container's site, sinks and ambient state, given at once (IQuickActivate).
  HRESULT QuickActivate(QACONTAINER* container, QACONTROL* control);
  // Loading and initialising happen once; `again` is what the interface answers a second time.
  HRESULT LoadProperties(PropertyBag& bag, HRESULT again);
  HRESULT LoadStream(IStream* stream, HRESULT again);
  HRESULT SaveProperties(PropertyBag& bag, BOOL clearDirty);
  HRESULT StartNew(HRESULT again);

  RefCount refs_;
  std::shared_ptr<const Shared> shared_;
  inline static win32::WindowsGdi gdi_;  // holds nothing of a control's own
  win32::SurfaceWindow surface_;
  KalendoView view_{*this};
  InPlaceActivation inPlace_{*this, surface_, view_};
  KalendoEvents events_{*this};
  PersistenceState persistence_;
  SafetyOptions safety_;
  CoreHost host_{*this};
  Kalendo kalendo_;
  ComPtr<IPictureDisp> emptyMouseIcon_;  // the standard picture shown for the core's empty picture
};

}  // namespace marelco
