#include "bench/call_census.h"

#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <utility>

#include "bench/clock.h"

namespace marelco::bench {
namespace {

CallCensus* census = nullptr;  // the one that lives

using Table = void**;  // an interface's method table

struct Patch {
  void* original;
  const char* name;
};
std::map<std::pair<Table, size_t>, Patch> patches;

Table TableOf(void* object) { return *static_cast<Table*>(object); }

void Write(Table table, size_t slot, void* method) {
  DWORD protection = 0;
  if (!VirtualProtect(&table[slot], sizeof(void*), PAGE_READWRITE, &protection)) return;
  table[slot] = method;
  VirtualProtect(&table[slot], sizeof(void*), protection, &protection);
}

// A method of the given slot and arguments, patched: the original, timed and recorded under its name.
template <size_t Slot, typename Result, typename... Args>
Result STDMETHODCALLTYPE Patched(IUnknown* self, Args... args) {
  const Patch& patch = patches.at({TableOf(self), Slot});
  using Method = Result(STDMETHODCALLTYPE*)(IUnknown*, Args...);
  const double start = NowSeconds();
  const Result result = reinterpret_cast<Method>(patch.original)(self, args...);
  if (census) census->Record(patch.name, NowSeconds() - start);
  return result;
}

template <size_t Slot, typename... Args>
void* Hook() {
  return reinterpret_cast<void*>(&Patched<Slot, HRESULT, Args...>);
}

struct Method {
  size_t slot;
  const char* name;
  void* hook;
};

struct Known {
  const IID& iid;
  const char* name;
  std::vector<Method> methods;
};

// The interfaces hosts ask controls for, and the methods of theirs a host calls while it creates, shows and
// destroys a control. Slots are the interfaces' own, from their declarations.
const std::vector<Known>& KnownInterfaces() {
  static const std::vector<Known> known = {
      {IID_IUnknown, "IUnknown", {}},
      {IID_IOleObject,
       "IOleObject",
       {{3, "IOleObject::SetClientSite", Hook<3, IOleClientSite*>()},
        {5, "IOleObject::SetHostNames", Hook<5, LPCOLESTR, LPCOLESTR>()},
        {6, "IOleObject::Close", Hook<6, DWORD>()},
        {11, "IOleObject::DoVerb", Hook<11, LONG, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT>()},
        {17, "IOleObject::SetExtent", Hook<17, DWORD, SIZEL*>()},
        {18, "IOleObject::GetExtent", Hook<18, DWORD, SIZEL*>()},
        {19, "IOleObject::Advise", Hook<19, IAdviseSink*, DWORD*>()},
        {22, "IOleObject::GetMiscStatus", Hook<22, DWORD, DWORD*>()}}},
      {IID_IPersistStreamInit,
       "IPersistStreamInit",
       {{5, "IPersistStreamInit::Load", Hook<5, IStream*>()}, {8, "IPersistStreamInit::InitNew", Hook<8>()}}},
      {IID_IPersistPropertyBag,
       "IPersistPropertyBag",
       {{4, "IPersistPropertyBag::InitNew", Hook<4>()},
        {5, "IPersistPropertyBag::Load", Hook<5, IPropertyBag*, IErrorLog*>()}}},
      {IID_IOleInPlaceObject,
       "IOleInPlaceObject",
       {{3, "IOleInPlaceObject::GetWindow", Hook<3, HWND*>()},
        {5, "IOleInPlaceObject::InPlaceDeactivate", Hook<5>()},
        {7, "IOleInPlaceObject::SetObjectRects", Hook<7, LPCRECT, LPCRECT>()}}},
      {IID_IOleControl,
       "IOleControl",
       {{5, "IOleControl::OnAmbientPropertyChange", Hook<5, DISPID>()},
        {6, "IOleControl::FreezeEvents", Hook<6, BOOL>()}}},
      {IID_IQuickActivate,
       "IQuickActivate",
       {{3, "IQuickActivate::QuickActivate", Hook<3, QACONTAINER*, QACONTROL*>()}}},
      {IID_IOleInPlaceActiveObject, "IOleInPlaceActiveObject", {}},
      {IID_IViewObject, "IViewObject", {}},
      {IID_IViewObject2, "IViewObject2", {}},
      {IID_IViewObjectEx, "IViewObjectEx", {}},
      {IID_IOleInPlaceObjectWindowless, "IOleInPlaceObjectWindowless", {}},
      {IID_IPointerInactive, "IPointerInactive", {}},
      {IID_IDispatch, "IDispatch", {}},
      {IID_IConnectionPointContainer, "IConnectionPointContainer", {}},
      {IID_IProvideClassInfo, "IProvideClassInfo", {}},
      {IID_IProvideClassInfo2, "IProvideClassInfo2", {}},
      {IID_IPersistStorage, "IPersistStorage", {}},
      {IID_IDataObject, "IDataObject", {}},
      {IID_IObjectWithSite, "IObjectWithSite", {}},
      {IID_ISpecifyPropertyPages, "ISpecifyPropertyPages", {}},
      {IID_IClassFactory,
       "IClassFactory",
       {{3, "IClassFactory::CreateInstance", Hook<3, IUnknown*, REFIID, void**>()}}},
  };
  return known;
}

std::string NameOf(REFIID iid) {
  for (const Known& each : KnownInterfaces()) {
    if (IsEqualIID(iid, each.iid)) return each.name;
  }
  wchar_t text[40] = {};
  StringFromGUID2(iid, text, 40);
  return std::string(text, text + lstrlenW(text));
}

void PatchSlot(Table table, size_t slot, const char* name, void* hook) {
  if (table[slot] == hook || patches.count({table, slot})) return;
  patches[{table, slot}] = {table[slot], name};
  Write(table, slot, hook);
}

// QueryInterface of every watched table: recorded under the interface asked for, and what it answers watched in
// turn (a tear-off has a table of its own).
HRESULT STDMETHODCALLTYPE PatchedQueryInterface(IUnknown* self, REFIID iid, void** object) {
  using Method = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, REFIID, void**);
  const Patch& patch = patches.at({TableOf(self), 0});
  const double start = NowSeconds();
  const HRESULT result = reinterpret_cast<Method>(patch.original)(self, iid, object);
  const double seconds = NowSeconds() - start;
  if (!census) return result;
  census->Record("QueryInterface " + NameOf(iid) + (SUCCEEDED(result) ? "" : " (refused)"), seconds);
  if (SUCCEEDED(result) && object && *object) census->Watch(static_cast<IUnknown*>(*object), iid);
  return result;
}

}  // namespace

CallCensus::CallCensus(IClassFactory* classObject, IUnknown* sample) {
  census = this;
  Watch(classObject, IID_IClassFactory);
  for (const Known& each : KnownInterfaces()) {
    IUnknown* answer = nullptr;
    if (SUCCEEDED(sample->QueryInterface(each.iid, reinterpret_cast<void**>(&answer))) && answer) {
      Watch(answer, each.iid);
      answer->Release();
    }
  }
  Clear();
}

CallCensus::~CallCensus() {
  for (const auto& [where, patch] : patches) Write(where.first, where.second, patch.original);
  patches.clear();
  census = nullptr;
}

void CallCensus::Watch(IUnknown* object, REFIID iid) {
  const Table table = TableOf(object);
  PatchSlot(table, 0, "QueryInterface", reinterpret_cast<void*>(&PatchedQueryInterface));
  for (const Known& each : KnownInterfaces()) {
    if (!IsEqualIID(iid, each.iid)) continue;
    for (const Method& method : each.methods) PatchSlot(table, method.slot, method.name, method.hook);
  }
}

void CallCensus::Record(const std::string& name, double seconds) {
  for (Call& call : calls_) {
    if (call.name == name) {
      ++call.count;
      call.seconds += seconds;
      return;
    }
  }
  calls_.push_back({name, 1, seconds});
}

}  // namespace marelco::bench
