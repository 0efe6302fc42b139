// The COM object of the control Kalendo: one object, many interfaces. The portable Kalendo does the work;
// this object turns COM calls into its calls and its host requests (events, property changes, ambients)
// into calls on the container.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <span>

#include "control/kalendo.h"
#include "package/com.h"
#include "package/com_object.h"
#include "package/connection_point.h"
#include "package/marelco_typelib.h"
#include "win32/surface_window.h"
#include "win32/windows_gdi.h"

namespace marelco {

class KalendoObject final : public _Kalendo,
                            public IProvideClassInfo2,
                            public IConnectionPointContainer,
                            public ISupportErrorInfo,
                            private Host {
 public:
  static HRESULT Create(REFIID iid, void** object);

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

  // IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

 private:
  struct TypeInfos {
    ComPtr<ITypeInfo> dispatch;   // _Kalendo as clients see it
    ComPtr<ITypeInfo> vtable;     // its interface table, for ITypeInfo::Invoke
    ComPtr<ITypeInfo> coclass;    // Kalendo
  };
  static HRESULT LoadTypeInfos(TypeInfos& infos);

  explicit KalendoObject(TypeInfos infos);
  ~KalendoObject();

  // Runs a member's body at the COM boundary.
  template <typename Body>
  HRESULT Call(Body&& body) {
    return Guarded(IID__Kalendo, std::forward<Body>(body));
  }
  template <typename Value, typename Getter>
  HRESULT Get(Value* out, Getter&& getter);
  HRESULT GetString(BSTR* out, std::u16string (Kalendo::*getter)() const);
  HRESULT InvokeStep(DISPID id, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT* argumentError);

  // Host
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

  // Calls every connected __Kalendo sink; arguments in DISPPARAMS order (the last argument first).
  void FireEvent(DISPID id, std::span<VARIANT> arguments = {});
  // An ambient property of the container, through its site's IDispatch; VT_EMPTY without a site.
  void Ambient(DISPID id, VARIANT* value);

  RefCount refs_;
  TypeInfos types_;
  std::unique_ptr<Locale> locale_;
  DateServices dates_;
  win32::WindowsGdi gdi_;
  win32::SurfaceWindow surface_;
  std::unique_ptr<Kalendo> kalendo_;
  ComPtr<IPictureDisp> emptyMouseIcon_;  // the standard picture shown for the core's empty picture
  std::shared_ptr<Picture> emptyMouseIconOf_;
  ComPtr<IOleClientSite> clientSite_;
  bool dirty_ = false;
  ConnectionPoint events_{*this, DIID___Kalendo};
  ConnectionPoint propertyNotify_{*this, IID_IPropertyNotifySink};
};

}  // namespace marelco
