// A client of Marelco.ocx as a program that uses it sees it, for the release tests: it creates the control
// through the registry or through a registration-free manifest, or checks the registry table's keys.
//   kalendo_client create [MANIFEST]        creates Kalendo by ProgID and by CLSID, loads the type library
//   kalendo_client not-registered           finds neither the class, the ProgID nor the type library
//   kalendo_client keys machine|user PATH   every value of the registry table is there, for the server at PATH
//   kalendo_client no-keys machine|user     no key of the registry table is left, in either registry view
//   kalendo_client measure                  times creation, Text and a step, beside the platform's date
//                                           conversions (figures for the user's guide; no check)
// Prints one line per failed check and exits with the number of failures.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "com/com_ptr.h"
#include "package/marelco_typelib.h"
#include "package/registry_table.h"

namespace marelco {
namespace {

int failures = 0;

void Check(bool holds, const std::wstring& what) {
  if (holds) return;
  std::fwprintf(stdout, L"FAIL %ls\n", what.c_str());
  ++failures;
}

std::wstring Hex(HRESULT result) {
  wchar_t text[16] = {};
  std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(result));
  return text;
}

// Reads the control's Text, its default property, through IDispatch: a live control answers with a date.
void CheckText(IUnknown* control, const std::wstring& how) {
  ComPtr<IDispatch> dispatch;
  HRESULT result = control->QueryInterface(IID_IDispatch, dispatch.put_void());
  Check(SUCCEEDED(result), how + L": IDispatch " + Hex(result));
  if (!dispatch) return;
  DISPPARAMS none = {};
  OleVariant text;
  result = dispatch->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, text.put(),
                            nullptr, nullptr);
  Check(SUCCEEDED(result) && V_VT(text.get()) == VT_BSTR && SysStringLen(V_BSTR(text.get())) == 10,
        how + L": Text " + Hex(result));
}

// Creates the control and checks that it is a live Kalendo: its class and its Text.
void CheckCreates(const CLSID& clsid, const std::wstring& how) {
  ComPtr<IUnknown> control;
  HRESULT result = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control.put_void());
  Check(result == S_OK, L"create " + how + L" " + Hex(result));
  if (!control) return;
  ComPtr<IPersist> persist;
  control->QueryInterface(IID_IPersist, persist.put_void());
  CLSID made = {};
  Check(persist && persist->GetClassID(&made) == S_OK && IsEqualCLSID(made, CLSID_Kalendo), how + L": class");
  CheckText(control.get(), how);
}

// By ProgID and by CLSID. (Through a manifest, a ProgID may give an alias of the CLSID.)
void CheckCreates() {
  for (const wchar_t* progId : {L"Marelco.Kalendo.1", L"Marelco.Kalendo"}) {
    CLSID clsid = {};
    HRESULT result = CLSIDFromProgID(progId, &clsid);
    Check(result == S_OK, std::wstring(L"ProgID ") + progId + L" " + Hex(result));
    if (result == S_OK) CheckCreates(clsid, std::wstring(L"by ProgID ") + progId);
  }
  CheckCreates(CLSID_Kalendo, L"by CLSID");
  ComPtr<ITypeLib> library;
  HRESULT result = LoadRegTypeLib(LIBID_Marelco, 1, 0, 1033, library.put());
  Check(result == S_OK, L"type library " + Hex(result));
  ComPtr<ITypeInfo> info;
  if (library) result = library->GetTypeInfoOfGuid(IID__Kalendo, info.put());
  Check(result == S_OK, L"type information of _Kalendo " + Hex(result));
}

void CheckNotRegistered() {
  ComPtr<IUnknown> control;
  HRESULT result = CoCreateInstance(CLSID_Kalendo, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control.put_void());
  Check(result == REGDB_E_CLASSNOTREG, L"create by CLSID " + Hex(result) + L", expected REGDB_E_CLASSNOTREG");
  CLSID clsid = {};
  result = CLSIDFromProgID(L"Marelco.Kalendo", &clsid);
  Check(result == CO_E_CLASSSTRING, L"ProgID " + Hex(result) + L", expected CO_E_CLASSSTRING");
  ComPtr<ITypeLib> library;
  result = LoadRegTypeLib(LIBID_Marelco, 1, 0, 1033, library.put());
  Check(result == TYPE_E_LIBNOTREGISTERED, L"type library " + Hex(result) + L", expected TYPE_E_LIBNOTREGISTERED");
}

HKEY Hive(const std::wstring& scope) { return scope == L"user" ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

std::wstring ClassesKey(const RegistryValue& value) { return L"Software\\Classes\\" + value.key; }

void CheckKeys(const std::wstring& scope, const std::wstring& path) {
  const std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
  for (const RegistryValue& value : RegistryValues(path, folder)) {
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    LSTATUS status = RegGetValueW(Hive(scope), ClassesKey(value).c_str(),
                                  value.name.empty() ? nullptr : value.name.c_str(), RRF_RT_REG_SZ, nullptr, data,
                                  &size);
    Check(status == ERROR_SUCCESS && value.data == data,
          scope + L" " + value.key + L" [" + value.name + L"] = [" + data + L"], expected [" + value.data + L"]");
  }
}

void CheckNoKeys(const std::wstring& scope) {
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    for (const RegistryValue& value : RegistryValues(L"", L"")) {
      HKEY key = nullptr;
      LSTATUS status = RegOpenKeyExW(Hive(scope), ClassesKey(value).c_str(), 0, KEY_READ | view, &key);
      if (status == ERROR_SUCCESS) RegCloseKey(key);
      Check(status == ERROR_FILE_NOT_FOUND,
            scope + (view == KEY_WOW64_32KEY ? L" 32-bit view: " : L" 64-bit view: ") + value.key + L" is left");
    }
  }
}

// Microseconds per call of `work`, over `count` calls.
template <typename Work>
double Microseconds(int count, Work work) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) work();
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / count;
}

HRESULT PutText(IDispatch* control, const wchar_t* text) {
  OleVariant value;
  V_VT(value.put()) = VT_BSTR;
  V_BSTR(value.put()) = SysAllocString(text);
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {value.put(), &named, 1, 1};
  return control->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                         nullptr, nullptr);
}

void Measure() {
  constexpr int kCreations = 200, kCalls = 5000;
  const double create = Microseconds(kCreations, [] {
    ComPtr<IUnknown> control;
    CoCreateInstance(CLSID_Kalendo, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control.put_void());
  });
  ComPtr<IDispatch> control;
  CoCreateInstance(CLSID_Kalendo, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.put_void());
  if (!control) return Check(false, L"no control to measure");
  const double text = Microseconds(kCalls, [&] { PutText(control.get(), L"7 March 2026"); });
  const double step = Microseconds(kCalls, [&] {
    OleVariant forwards;
    V_VT(forwards.put()) = VT_BOOL;
    V_BOOL(forwards.put()) = VARIANT_TRUE;
    DISPPARAMS params = {forwards.put(), nullptr, 1, 0};
    control->Invoke(DISPID_KALENDO_CAMBIAFECHA2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                    nullptr, nullptr);
  });
  // The platform's own conversion of a text to a date and back, as oleaut32 does it for any Automation host.
  const double platform = Microseconds(kCalls, [] {
    Bstr in(std::wstring_view(L"7 March 2026"));
    Bstr out;
    DATE date = 0;
    if (SUCCEEDED(VarDateFromStr(in.get(), LOCALE_USER_DEFAULT, 0, &date)))
      VarBstrFromDate(date, LOCALE_USER_DEFAULT, VAR_DATEVALUEONLY, out.put());
  });
  std::printf("create and release Kalendo: %.0f us\n", create);
  std::printf("Text = \"7 March 2026\" through IDispatch: %.1f us (%.1f x the platform's text-date-text %.1f us)\n",
              text, text / platform, platform);
  std::printf("CambiaFecha2 through IDispatch: %.1f us (%.1f x the platform's text-date-text)\n", step,
              step / platform);
}

// Activates the manifest's activation context for as long as it lives.
class ActivatedManifest {
 public:
  explicit ActivatedManifest(const std::wstring& manifest) {
    ACTCTXW context = {};
    context.cbSize = sizeof context;
    context.lpSource = manifest.c_str();
    context_ = CreateActCtxW(&context);
    Check(context_ != INVALID_HANDLE_VALUE, L"manifest " + manifest + L" error " + std::to_wstring(GetLastError()));
    if (context_ != INVALID_HANDLE_VALUE) Check(ActivateActCtx(context_, &cookie_), L"activating the manifest");
  }
  ActivatedManifest(const ActivatedManifest&) = delete;
  ActivatedManifest& operator=(const ActivatedManifest&) = delete;
  ~ActivatedManifest() {
    if (cookie_) DeactivateActCtx(0, cookie_);
    if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
  }

 private:
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

int Run(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"create" && argc <= 3) {
    if (argc == 3) {
      ActivatedManifest manifest(argv[2]);
      CheckCreates();
    } else {
      CheckCreates();
    }
  } else if (command == L"not-registered" && argc == 2) {
    CheckNotRegistered();
  } else if (command == L"keys" && argc == 4) {
    CheckKeys(argv[2], argv[3]);
  } else if (command == L"no-keys" && argc == 3) {
    CheckNoKeys(argv[2]);
  } else if (command == L"measure" && argc == 2) {
    Measure();
  } else {
    std::fputs("usage: kalendo_client create [MANIFEST] | not-registered | keys SCOPE PATH | no-keys SCOPE | measure\n",
               stderr);
    return 2;
  }
  return failures;
}

}  // namespace
}  // namespace marelco

int wmain(int argc, wchar_t** argv) {
  CoInitialize(nullptr);
  int failures = marelco::Run(argc, argv);
  CoUninitialize();
  if (failures == 0) std::puts("all checks passed");
  return failures;
}
