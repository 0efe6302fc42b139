// Kalendo beside a do-nothing ActiveX control of its shape (the floor) and the platform's own date entry under
// Wine, in one process and one run: the date picker (SysDateTimePick32 with DTS_UPDOWN) and a plain EDIT with an
// up-down buddy. Kalendo and the floor are hosted by ATL both ways: an object attached to a window, and an AtlAxWin
// window that creates the control itself. What each row does for each of them is in kRows below; every figure is
// the median of several rounds, each measure taken of every kind in turn, and the goals are medians of the rounds'
// own ratios, so that a busy machine slows all alike. A census apart from the timed creations counts what ATL asks
// of each control. Not a test: it prints figures and passes nothing.
//
// Usage: side_by_side_bench.exe [--rounds N]   (Marelco.ocx is loaded from beside the program)
#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/call_census.h"
#include "bench/clock.h"
#include "bench/floor_control.h"
#include "com/com_ptr.h"
#include "package/marelco_typelib.h"
#include "tests/package/property_bag.h"
#include "tests/win32/resource_count.h"

namespace marelco::bench {
namespace {

using win32::testing::CountGdiObjects;
using win32::testing::CountWindows;
using win32::testing::HeapBytesInUse;
using SavedBag = testing_bag::PropertyBag;  // one saved control, as a container keeps it

constexpr int kFormControls = 200;
// Committed memory grows in steps of 64 KiB: over 1,000 controls a step is 66 bytes per control, finer than the
// differences it has to show.
constexpr int kCommittedFormControls = 1000;
constexpr int kSingleCreations = 20;  // per round, each timed alone
constexpr int kStepsPerBatch = 40;    // per round: up and down alternately
constexpr int kControlWidth = 126;    // pixels: 1890 x 615 twips at 96 dots per inch
constexpr int kControlHeight = 41;

// ---- Timing ----

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The median of the rounds' own ratios: the machine's pace drifts from round to round, and both figures of a
// round were taken at nearly the same pace.
double MedianRatio(const std::vector<double>& numerators, const std::vector<double>& denominators) {
  std::vector<double> ratios;
  for (size_t round = 0; round < std::min(numerators.size(), denominators.size()); ++round) {
    if (denominators[round] > 0) ratios.push_back(numerators[round] / denominators[round]);
  }
  return Median(ratios);
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

std::wstring WindowString(HWND window) {
  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  return text;
}

// ---- Wine's ATL host ----

// Its two ways of hosting a control: attaching an object made by the program to a window, and a window of the
// class AtlAxWin whose text names the control, which creates, initialises and activates it itself.
struct Atl {
  using Attach = HRESULT(WINAPI*)(IUnknown*, HWND, IUnknown**);
  using WindowInit = BOOL(WINAPI*)();
  Attach attach = nullptr;
  bool windowClass = false;

  Atl() {
    HMODULE atl = LoadLibraryW(L"atl.dll");
    if (!atl) return;
    attach = reinterpret_cast<Attach>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxAttachControl")));
    auto init = reinterpret_cast<WindowInit>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    windowClass = init && init();
  }
};

// ---- The kinds of control ----

// The phases of a hosted control's creation, in seconds.
struct Phases {
  double object = 0;  // CoCreateInstance by the CLSID
  double state = 0;   // InitNew, or IPersistPropertyBag::Load from the saved form
  double active = 0;  // the ATL host: client site, extent, in-place activation
  double window = 0;  // or all of these at once: an AtlAxWin window created
  double painted = 0; // the first paint of the host's window and all within it
};

// One control on the form; destroying the object destroys the control.
class Control {
 public:
  virtual ~Control() = default;
  virtual HWND KeyWindow() = 0;                 // the window that takes the arrow keys
  virtual std::wstring Shown() = 0;             // what it shows, to tell that a step did something
  virtual void StepByProgram(bool up) = 0;      // the step a program asks for
  virtual void SetDateByProgram(bool odd) = 0;  // 15/06/2026, or 15/07/2026 when odd
};

class Kind {
 public:
  virtual ~Kind() = default;
  virtual const char* Name() const = 0;
  // A new control at a place of the form, with the state a saved form gives it when loaded is true; a hosted
  // control times the phases of its creation into phases.
  virtual std::unique_ptr<Control> Create(HWND form, POINT at, bool loaded, Phases* phases = nullptr) = 0;
  virtual int HostWindows() const { return 0; }  // windows of the container's own for each control
  virtual bool Steps() const { return true; }     // whether it takes steps at all
  virtual const CLSID* Clsid() const { return nullptr; }  // an ActiveX control's, whose calls can be counted
};

HWND Child(const wchar_t* windowClass, DWORD style, HWND parent, POINT at, int width, int height) {
  return CreateWindowExW(0, windowClass, L"", WS_CHILD | WS_VISIBLE | style, at.x, at.y, width, height, parent,
                         nullptr, nullptr, nullptr);
}

SYSTEMTIME Date(WORD day, WORD month, WORD year) {
  SYSTEMTIME date = {};
  date.wDay = day;
  date.wMonth = month;
  date.wYear = year;
  return date;
}

// An ActiveX control created by its CLSID, loaded by a container from a saved property bag or started new, and
// activated in place in a window of Wine's ATL host, then painted.
class HostedControl : public Control {
 public:
  HostedControl(REFCLSID clsid, const Atl& atl, IPropertyBag* saved, HWND form, POINT at, Phases& phases) {
    phases.object = Seconds([&] {
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object_.put_void());
    });
    phases.state = Seconds([&] {
      if (saved) {
        object_.query<IPersistPropertyBag>()->Load(saved, nullptr);
      } else {
        object_.query<IPersistStreamInit>()->InitNew();
      }
    });
    site_ = Child(L"STATIC", 0, form, at, kControlWidth, kControlHeight);
    phases.active = Seconds([&] { atl.attach(object_.get(), site_, container_.put()); });
    phases.painted = Seconds([&] { UpdateWindow(site_); });
  }
  ~HostedControl() override {
    DestroyWindow(site_);  // the host lets the control go with its window
    container_.reset();
    object_.reset();
  }

  HWND KeyWindow() override {
    HWND surface = nullptr;
    object_.query<IOleWindow>()->GetWindow(&surface);
    return FindWindowExW(surface, nullptr, L"Edit", nullptr);
  }
  std::wstring Shown() override { return WindowString(KeyWindow()); }
  void StepByProgram(bool) override {}
  void SetDateByProgram(bool) override {}

 protected:
  ComPtr<IUnknown> object_;

 private:
  ComPtr<IUnknown> container_;
  HWND site_ = nullptr;
};

class KalendoControl final : public HostedControl {
 public:
  KalendoControl(const Atl& atl, IPropertyBag* saved, HWND form, POINT at, Phases& phases)
      : HostedControl(CLSID_Kalendo, atl, saved, form, at, phases), dispatch_(object_.query<IDispatch>()) {}

  void StepByProgram(bool up) override {
    VARIANT_BOOL incremento = up ? VARIANT_TRUE : VARIANT_FALSE;
    VARIANT argument;
    V_VT(&argument) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&argument) = &incremento;
    DISPPARAMS params = {&argument, nullptr, 1, 0};
    dispatch_->Invoke(DISPID_KALENDO_CAMBIAFECHA2, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }

  void SetDateByProgram(bool odd) override {
    Bstr text(std::wstring_view(odd ? L"15/07/2026" : L"15/06/2026"));
    VARIANT argument;
    V_VT(&argument) = VT_BSTR;
    V_BSTR(&argument) = text.get();
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&argument, &named, 1, 1};
    dispatch_->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
  }

 private:
  ComPtr<IDispatch> dispatch_;
};

// Kalendo, or the floor: a control of its shape that does nothing else and takes no steps.
class HostedKind final : public Kind {
 public:
  HostedKind(const char* name, REFCLSID clsid, const Atl& atl, IPropertyBag& saved)
      : name_(name), clsid_(clsid), atl_(atl), saved_(saved) {}
  const char* Name() const override { return name_; }
  int HostWindows() const override { return 1; }
  bool Steps() const override { return IsEqualCLSID(clsid_, CLSID_Kalendo); }
  const CLSID* Clsid() const override { return &clsid_; }
  std::unique_ptr<Control> Create(HWND form, POINT at, bool loaded, Phases* phases) override {
    Phases ignored;
    IPropertyBag* saved = loaded ? &saved_ : nullptr;
    Phases& timed = phases ? *phases : ignored;
    if (Steps()) return std::make_unique<KalendoControl>(atl_, saved, form, at, timed);
    return std::make_unique<HostedControl>(clsid_, atl_, saved, form, at, timed);
  }

 private:
  const char* name_;
  CLSID clsid_;
  const Atl& atl_;
  IPropertyBag& saved_;
};

// A window of ATL's class AtlAxWin whose text is the control's CLSID: ATL creates the control, starts it new and
// activates it in place in the window, which is then painted.
class WindowHostedControl final : public Control {
 public:
  WindowHostedControl(const std::wstring& clsid, HWND form, POINT at, Phases& phases) {
    phases.window = Seconds([&] {
      host_ = CreateWindowExW(0, L"AtlAxWin", clsid.c_str(), WS_CHILD | WS_VISIBLE, at.x, at.y, kControlWidth,
                              kControlHeight, form, nullptr, nullptr, nullptr);
    });
    phases.painted = Seconds([&] { UpdateWindow(host_); });
  }
  ~WindowHostedControl() override { DestroyWindow(host_); }

  HWND KeyWindow() override { return FindWindowExW(GetWindow(host_, GW_CHILD), nullptr, L"Edit", nullptr); }
  std::wstring Shown() override { return WindowString(KeyWindow()); }
  void StepByProgram(bool) override {}
  void SetDateByProgram(bool) override {}

 private:
  HWND host_ = nullptr;
};

// Kalendo or the floor in AtlAxWin windows: always started new, as the window's text names only the class. Their
// steps are those of the other hosts' controls.
class WindowKind final : public Kind {
 public:
  WindowKind(const char* name, REFCLSID clsid) : name_(name), clsid_(clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    text_ = text;
  }
  const char* Name() const override { return name_; }
  int HostWindows() const override { return 1; }
  bool Steps() const override { return false; }
  const CLSID* Clsid() const override { return &clsid_; }
  std::unique_ptr<Control> Create(HWND form, POINT at, bool, Phases* phases) override {
    Phases ignored;
    return std::make_unique<WindowHostedControl>(text_, form, at, phases ? *phases : ignored);
  }

 private:
  const char* name_;
  CLSID clsid_;
  std::wstring text_;
};

// The platform's date picker with its up-down, its date set as a saved form sets it.
class PickerControl final : public Control {
 public:
  PickerControl(HWND form, POINT at, bool loaded)
      : window_(Child(DATETIMEPICK_CLASSW, DTS_UPDOWN | DTS_SHORTDATEFORMAT | WS_TABSTOP, form, at, kControlWidth,
                      kControlHeight)) {
    if (loaded) Set(Date(15, 6, 2026));
  }
  ~PickerControl() override { DestroyWindow(window_); }

  HWND KeyWindow() override { return window_; }
  std::wstring Shown() override {
    const SYSTEMTIME date = Get();
    return std::to_wstring(date.wDay) + L"/" + std::to_wstring(date.wMonth) + L"/" + std::to_wstring(date.wYear);
  }
  void StepByProgram(bool up) override {
    SYSTEMTIME date = Get();
    date.wMonth = static_cast<WORD>(up ? date.wMonth % 12 + 1 : (date.wMonth + 10) % 12 + 1);
    Set(date);
  }
  void SetDateByProgram(bool odd) override { Set(Date(15, odd ? 7 : 6, 2026)); }

 private:
  SYSTEMTIME Get() const {
    SYSTEMTIME date = {};
    SendMessageW(window_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
    return date;
  }
  void Set(SYSTEMTIME date) { SendMessageW(window_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date)); }

  HWND window_;
};

class PickerKind final : public Kind {
 public:
  const char* Name() const override { return "picker"; }
  std::unique_ptr<Control> Create(HWND form, POINT at, bool loaded, Phases*) override {
    return std::make_unique<PickerControl>(form, at, loaded);
  }
};

// A plain EDIT with an up-down attached to it: the arrow keys in the EDIT step the up-down's number,
// which the up-down writes into the EDIT.
class PairControl final : public Control {
 public:
  PairControl(HWND form, POINT at, bool loaded)
      : edit_(Child(WC_EDITW, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, form, at, kControlWidth - 16, kControlHeight)),
        upDown_(Child(UPDOWN_CLASSW, UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, form, at, 0,
                      0)) {
    SendMessageW(upDown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit_), 0);
    SendMessageW(upDown_, UDM_SETRANGE32, 0, 99999999);
    if (loaded) SetDateByProgram(false);  // the text a loaded Kalendo shows, so that memory compares alike
  }
  ~PairControl() override {
    DestroyWindow(upDown_);
    DestroyWindow(edit_);
  }

  HWND KeyWindow() override { return edit_; }
  std::wstring Shown() override { return WindowString(edit_); }
  void StepByProgram(bool up) override {
    const LRESULT position = SendMessageW(upDown_, UDM_GETPOS32, 0, 0);
    SendMessageW(upDown_, UDM_SETPOS32, 0, position + (up ? 1 : -1));
  }
  void SetDateByProgram(bool odd) override { SetWindowTextW(edit_, odd ? L"15/07/2026" : L"15/06/2026"); }

 private:
  HWND edit_;
  HWND upDown_;
};

class PairKind final : public Kind {
 public:
  const char* Name() const override { return "EDIT+up-down"; }
  std::unique_ptr<Control> Create(HWND form, POINT at, bool loaded, Phases*) override {
    return std::make_unique<PairControl>(form, at, loaded);
  }
};

// ---- Measurements ----

POINT PlaceOf(int index) { return {8 + (index % 10) * (kControlWidth + 4), 8 + (index / 10) * (kControlHeight + 4)}; }

// A key pressed and released in the focused window, as the message loop hands it over.
void PressKey(HWND window, WPARAM key) {
  SendMessageW(window, WM_KEYDOWN, key, 1);
  SendMessageW(window, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
}

void PressArrow(HWND window, bool up) { PressKey(window, up ? VK_UP : VK_DOWN); }

// Seconds for one step, over a batch of steps up and down alternately.
template <class Step>
double PerStep(const Step& step) {
  return Seconds([&] {
           for (int i = 0; i < kStepsPerBatch; ++i) step(i % 2 == 0);
         }) /
         kStepsPerBatch;
}

struct Memory {
  double heapBytes = 0, userObjects = 0, gdiObjects = 0;
};

// Committed memory of the process's own (not mapped from files), as the platform counts private bytes; Wine
// leaves PrivateUsage empty, so the address space is walked.
double PrivateBytes() {
  double bytes = 0;
  MEMORY_BASIC_INFORMATION region = {};
  for (const char* address = nullptr; VirtualQuery(address, &region, sizeof region) == sizeof region;
       address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) bytes += static_cast<double>(region.RegionSize);
  }
  return bytes;
}

Memory MemoryNow() {
  Memory memory;
  memory.heapBytes = static_cast<double>(HeapBytesInUse());
  const DWORD userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  memory.userObjects = userObjects ? userObjects : CountWindows();  // Wine counts no USER objects: windows
  memory.gdiObjects = CountGdiObjects().value_or(0);
  return memory;
}

// The committed private memory per control of a form of one kind, measured by this program run again with
// --committed KIND: in a process of its own, the heap grows for the form alone, where in this one it would reuse
// what the forms of earlier rounds left. 0 when the run failed.
double CommittedInFreshProcess(const char* kind) {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(program) + L"\" --committed " + std::wstring(kind, kind + strlen(kind));
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return 0;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;  // the figure alone: what the child may say on its error output stays out
  PROCESS_INFORMATION process = {};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                      &process);
  CloseHandle(writeEnd);
  std::string output;
  char buffer[256];
  DWORD read = 0;
  while (started && ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read) output.append(buffer, read);
  CloseHandle(readEnd);
  if (!started) return 0;
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return std::atof(output.c_str());
}

// The figures of one kind of control, the medians of the rounds.
struct Figures {
  std::map<std::string, std::vector<double>> rounds;
  void Add(const std::string& row, double value) { rounds[row].push_back(value); }
  double operator[](const std::string& row) const {
    auto found = rounds.find(row);
    return found == rounds.end() ? 0 : Median(found->second);
  }
};

// The calls a host made of one kind of control over some creations.
struct Census {
  std::vector<CallCensus::Call> calls;
  int creations = 0;

  void Add(const std::vector<CallCensus::Call>& more) {
    for (const CallCensus::Call& call : more) {
      auto same = std::ranges::find(calls, call.name, &CallCensus::Call::name);
      if (same == calls.end()) {
        calls.push_back(call);
      } else {
        same->count += call.count;
        same->seconds += call.seconds;
      }
    }
  }
};

class Bench {
 public:
  explicit Bench(HWND form) : form_(form) {}

  struct Contender {
    Kind& kind;
    Figures& figures;
  };

  // Each measure is taken of every kind in turn, so that the figures compared were taken moments apart.
  void Round(const std::vector<Contender>& contenders) {
    for (const Contender& each : contenders) Creation(each.kind, each.figures);
    for (const Contender& each : contenders) FormLoad(each.kind, each.figures);
    for (const Contender& each : contenders) {
      if (each.kind.Steps()) Steps(each.kind, each.figures);
    }
  }

  // A focused plain EDIT: the window work a step cannot do without, and the messages a step sends.
  void EditBaselines(Figures& figures) {
    HWND edit = Child(WC_EDITW, WS_BORDER, form_, PlaceOf(0), kControlWidth, kControlHeight);
    SetFocus(edit);
    figures.Add("EDIT: set text and selection", PerStep([&](bool up) {
                  SetWindowTextW(edit, up ? L"15/07/2026" : L"15/06/2026");
                  SendMessageW(edit, EM_SETSEL, 3, 5);
                }));
    figures.Add("EDIT: a step's messages", PerStep([&](bool up) {
                  for (int read = 0; read < 6; ++read) WindowString(edit);
                  DWORD start = 0, end = 0;
                  for (int read = 0; read < 4; ++read) {
                    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                  }
                  SetWindowTextW(edit, up ? L"15/07/2026" : L"15/06/2026");
                  SendMessageW(edit, EM_SETSEL, 4, 4);
                  SendMessageW(edit, EM_SETSEL, 3, 3);
                  SendMessageW(edit, EM_SETSEL, 3, 5);
                }));
    DestroyWindow(edit);
    Pump();
  }

  // What the host asks of an ActiveX control while it creates one and paints it, counted over creations apart
  // from the timed ones: the census slows every call it counts.
  void TakeCensus(Kind& kind, Census& census) {
    ComPtr<IClassFactory> classObject;
    ComPtr<IUnknown> sample;
    if (!kind.Clsid() ||
        FAILED(CoGetClassObject(*kind.Clsid(), CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                classObject.put_void())) ||
        FAILED(classObject->CreateInstance(nullptr, IID_IUnknown, sample.put_void())))
      return;
    CallCensus counted(classObject.get(), sample.get());
    sample.reset();
    for (int i = 0; i < kSingleCreations; ++i) {
      counted.Clear();
      auto control = kind.Create(form_, PlaceOf(0), false);
      UpdateWindow(form_);
      census.Add(counted.calls());
      ++census.creations;
      Pump();
      control.reset();
      Pump();
    }
  }

  static bool Stepped(Control& control, const std::function<void(bool)>& step) {
    step(false);  // what the control shows is now its own form of a date
    const std::wstring before = control.Shown();
    step(true);
    const std::wstring after = control.Shown();
    step(false);
    return after != before && control.Shown() == before;
  }

 private:
  void Creation(Kind& kind, Figures& figures) {
    std::vector<double> creations, destructions, objects, states, activations, windows, paints;
    for (int i = 0; i < kSingleCreations; ++i) {
      std::unique_ptr<Control> control;
      Phases phases;
      creations.push_back(Seconds([&] {
        control = kind.Create(form_, PlaceOf(0), false, &phases);
        UpdateWindow(form_);
      }));
      objects.push_back(phases.object);
      states.push_back(phases.state);
      activations.push_back(phases.active);
      windows.push_back(phases.window);
      paints.push_back(phases.painted);
      Pump();
      destructions.push_back(Seconds([&] { control.reset(); }));
      Pump();
    }
    figures.Add("create until painted", Median(creations));
    figures.Add("  the object", Median(objects));
    figures.Add("  InitNew", Median(states));
    figures.Add("  activated in place", Median(activations));
    figures.Add("  AtlAxWin window made", Median(windows));
    figures.Add("  first paint", Median(paints));
    figures.Add("destroy", Median(destructions));
  }

  void FormLoad(Kind& kind, Figures& figures) {
    const Memory before = MemoryNow();
    std::vector<std::unique_ptr<Control>> controls;
    figures.Add("form of 200 from saved state", Seconds([&] {
                  for (int i = 0; i < kFormControls; ++i) controls.push_back(kind.Create(form_, PlaceOf(i), true));
                  UpdateWindow(form_);
                  Pump();
                }));
    const Memory after = MemoryNow();
    figures.Add("private bytes per control", CommittedInFreshProcess(kind.Name()));
    figures.Add("heap bytes per control", (after.heapBytes - before.heapBytes) / kFormControls);
    figures.Add("USER objects per control",
                (after.userObjects - before.userObjects) / kFormControls - kind.HostWindows());
    figures.Add("GDI objects per control", (after.gdiObjects - before.gdiObjects) / kFormControls);
    controls.clear();
    Pump();
  }

  void Steps(Kind& kind, Figures& figures) {
    auto control = kind.Create(form_, PlaceOf(0), true);
    Pump();
    HWND keys = control->KeyWindow();
    SetFocus(keys);
    PressKey(keys, VK_RIGHT);  // the picker selects a field by the keyboard
    PressKey(keys, VK_LEFT);
    control->SetDateByProgram(false);
    SendMessageW(keys, EM_SETSEL, 4, 4);  // the caret in the month (an EDIT's message; the picker ignores it)
    Pump();
    const auto byKey = [&](bool up) { PressArrow(keys, up); };
    const auto byProgram = [&](bool up) { control->StepByProgram(up); };
    if (!Stepped(*control, byKey)) std::printf("  (%s: the arrow key stepped nothing)\n", kind.Name());
    if (!Stepped(*control, byProgram)) std::printf("  (%s: the program's step stepped nothing)\n", kind.Name());
    figures.Add("one key step", PerStep(byKey));
    figures.Add("step by program", PerStep(byProgram));
    figures.Add("date set by program", PerStep([&](bool odd) { control->SetDateByProgram(odd); }));
    control.reset();
    Pump();
  }

  HWND form_;
};

// The committed private memory per control of a form of 1,000 loaded from saved state, after one control made and
// gone first, so that what the first one of a process sets up is not counted.
double CommittedPerControl(Kind& kind, HWND form) {
  kind.Create(form, PlaceOf(0), true).reset();
  Pump();
  const double before = PrivateBytes();
  std::vector<std::unique_ptr<Control>> controls;
  for (int i = 0; i < kCommittedFormControls; ++i) controls.push_back(kind.Create(form, PlaceOf(i), true));
  UpdateWindow(form);
  Pump();
  return (PrivateBytes() - before) / kCommittedFormControls;
}

// ---- DLL load ----

// Seconds to load and free a DLL that no one else holds, median of the rounds; 0 when it stays loaded.
double LoadTime(const wchar_t* path, int rounds) {
  std::vector<double> times;
  for (int round = 0; round < rounds; ++round) {
    HMODULE module = nullptr;
    times.push_back(Seconds([&] { module = LoadLibraryW(path); }));
    if (!module) return 0;
    FreeLibrary(module);
    if (GetModuleHandleW(path)) return 0;
  }
  return Median(times);
}

std::wstring OcxPath() {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring path = program;
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"Marelco.ocx";
}

// ---- Report ----

struct Row {
  const char* name;
  const char* unit;  // "ms", "us" or "" for counts and bytes
  const char* what;  // what the row does for Kalendo and the floor / the picker / the EDIT pair
};

const Row kRows[] = {
    {"create until painted", "ms",
     "by CLSID, InitNew, ATL host in-place activation, painted (by window: an AtlAxWin window naming the CLSID, "
     "painted) / CreateWindow / two CreateWindows and the buddy; then the form painted"},
    {"  the object", "ms", "CoCreateInstance"},
    {"  InitNew", "ms", "IPersistStreamInit::InitNew"},
    {"  activated in place", "ms", "AtlAxAttachControl: client site, extent, DoVerb(OLEIVERB_INPLACEACTIVATE)"},
    {"  AtlAxWin window made", "ms", "CreateWindowEx: ATL creates, starts new and activates the control itself"},
    {"  first paint", "ms", "UpdateWindow of the host's window"},
    {"destroy", "ms", "the host's window destroyed, the control released / DestroyWindow / two DestroyWindows"},
    {"form of 200 from saved state", "ms",
     "200 x (by CLSID, IPersistPropertyBag::Load, ATL host; by window: started new) / 200 x (create, "
     "DTM_SETSYSTEMTIME) / 200 x (create, the date as its text), then painted"},
    {"private bytes per control", "", "committed private memory over a form of 1,000, in a process of its own"},
    {"heap bytes per control", "", "busy heap blocks over the form of 200"},
    {"USER objects per control", "", "over the form of 200 (windows where Wine counts none), the ATL host's not counted"},
    {"GDI objects per control", "", "over the form of 200"},
    {"one key step", "us",
     "WM_KEYDOWN and WM_KEYUP of Up or Down in the focused window (Kalendo: caret in the month); a line above says "
     "when a control ignored them (Wine's picker does here), and its figure is then that of an ignored key"},
    {"step by program", "us",
     "CambiaFecha2 through IDispatch / DTM_GETSYSTEMTIME, a month on, DTM_SETSYSTEMTIME / UDM_GETPOS32, UDM_SETPOS32"},
    {"date set by program", "us", "Text let through IDispatch / DTM_SETSYSTEMTIME / SetWindowText"},
};

double InUnit(double value, const char* unit) {
  if (std::strcmp(unit, "ms") == 0) return value * 1e3;
  if (std::strcmp(unit, "us") == 0) return value * 1e6;
  return value;
}

double Ratio(double value, double other) { return other != 0 ? value / other : 0; }

struct Contender {
  const char* column;
  const Figures& figures;
};

// Kalendo beside its floor, hosted both ways, the picker and the EDIT pair.
struct Contenders {
  Contender kalendo, floor, kalendoByWindow, floorByWindow, picker, pair;
};

// The calls a host made of a kind of control per creation, Kalendo's beside the floor's.
void ReportCensus(const char* path, const Census& kalendo, const Census& floor) {
  std::printf("\nWhat ATL asks of each control it creates %s (per control: calls, and us including the calls made in "
              "turn):\n  %-46s %7s %9s %7s %9s\n",
              path, "", "Kalendo", "", "floor", "");
  std::vector<std::string> names;
  for (const Census* census : {&kalendo, &floor}) {
    for (const CallCensus::Call& call : census->calls) {
      if (std::ranges::find(names, call.name) == names.end()) names.push_back(call.name);
    }
  }
  const auto per = [](const Census& census, const std::string& name, bool seconds) {
    for (const CallCensus::Call& call : census.calls) {
      if (call.name == name)
        return census.creations ? (seconds ? call.seconds * 1e6 : call.count) / census.creations : 0.0;
    }
    return 0.0;
  };
  for (const std::string& name : names) {
    std::printf("  %-46s %7.2f %9.1f %7.2f %9.1f\n", name.c_str(), per(kalendo, name, false), per(kalendo, name, true),
                per(floor, name, false), per(floor, name, true));
  }
}

void Report(const Contenders& all, const Figures& edit, double kalendoLoad, double pickerLoad,
            const std::map<std::string, Census>& censuses) {
  const Figures& kalendo = all.kalendo.figures;
  const Figures& byWindow = all.kalendoByWindow.figures;
  const Contender columns[] = {all.kalendo, all.floor, all.kalendoByWindow, all.floorByWindow, all.picker, all.pair};
  std::printf("\n%-30s", "");
  for (const Contender& each : columns) std::printf(" %10s", each.column);
  std::printf(" %8s %8s %8s\n", "K/floor", "win:K/fl", "K/picker");
  for (const Row& row : kRows) {
    std::printf("%-27s %2s", row.name, row.unit);
    for (const Contender& each : columns) std::printf(" %10.3f", InUnit(each.figures[row.name], row.unit));
    std::printf(" %8.2f %8.2f %8.2f\n", Ratio(kalendo[row.name], all.floor.figures[row.name]),
                Ratio(byWindow[row.name], all.floorByWindow.figures[row.name]),
                Ratio(kalendo[row.name], all.picker.figures[row.name]));
  }
  std::printf("%-27s %2s %10.3f %10s %10s %10s %10.3f\n", "DLL load (Marelco/comctl32)", "ms", kalendoLoad * 1e3, "",
              "", "", pickerLoad * 1e3);
  const double setText = edit["EDIT: set text and selection"];
  const double messages = edit["EDIT: a step's messages"];
  std::printf("%-27s %2s %10.3f\n", "focused EDIT: text+selection", "us", setText * 1e6);
  std::printf("%-27s %2s %10.3f\n", "focused EDIT: step's msgs", "us", messages * 1e6);

  std::printf("\nWhat each row does (Kalendo and the floor, attached or by window / picker / EDIT+up-down):\n");
  for (const Row& row : kRows) std::printf("  %-28s %s\n", row.name, row.what);

  std::printf("\nKalendo's creation above the floor, by phase (median, us):  attached   by window\n");
  for (const char* phase : {"  the object", "  InitNew", "  activated in place", "  AtlAxWin window made",
                            "  first paint", "create until painted"}) {
    std::printf("  %-22s %30.1f %10.1f\n", phase[0] == ' ' ? phase + 2 : phase,
                (kalendo[phase] - all.floor.figures[phase]) * 1e6,
                (byWindow[phase] - all.floorByWindow.figures[phase]) * 1e6);
  }
  ReportCensus("by AtlAxWin window", censuses.at(all.kalendoByWindow.column), censuses.at(all.floorByWindow.column));
  ReportCensus("by AtlAxAttachControl", censuses.at(all.kalendo.column), censuses.at(all.floor.column));

  std::printf("\nGoals (medians of the rounds' own ratios):\n");
  std::printf("  key step / focused EDIT text+selection   %6.2f  (at most 3)\n",
              Ratio(kalendo["one key step"], setText));
  std::printf("  key step / focused EDIT step's messages  %6.2f\n", Ratio(kalendo["one key step"], messages));
  const auto roundsRatio = [](const char* row, const Contender& numerator, const Contender& denominator) {
    return MedianRatio(numerator.figures.rounds.at(row), denominator.figures.rounds.at(row));
  };
  struct Path {
    const char* name;
    const Contender& kalendo;
    const Contender& floor;
  };
  for (const Path& path : {Path{"by window", all.kalendoByWindow, all.floorByWindow},
                           Path{"attached", all.kalendo, all.floor}}) {
    for (const char* row : {"create until painted", "private bytes per control"}) {
      std::printf("  %-9s %-26s / floor's  %6.2f  (at most 1.15)\n", path.name, row,
                  roundsRatio(row, path.kalendo, path.floor));
    }
  }
  std::printf("  form of 200 / 200 floors                 %6.2f\n",
              roundsRatio("form of 200 from saved state", all.kalendo, all.floor));
  std::printf("  creation until painted / picker's        %6.2f\n",
              roundsRatio("create until painted", all.kalendo, all.picker));
  std::printf("  form of 200 / 200 pickers                %6.2f\n",
              roundsRatio("form of 200 from saved state", all.kalendo, all.picker));
  for (const char* row : {"private bytes per control", "USER objects per control", "GDI objects per control"}) {
    std::printf("  %-26s / picker's       %6.2f\n", row, Ratio(kalendo[row], all.picker.figures[row]));
  }
  std::printf("\nMemory per control: Kalendo's own above the floor    attached   by window\n");
  for (const char* row : {"private bytes per control", "heap bytes per control"}) {
    std::printf("  %-26s %20.0f %10.0f bytes\n", row, kalendo[row] - all.floor.figures[row],
                byWindow[row] - all.floorByWindow.figures[row]);
  }
}

// Without committedKind, the rounds and the report; with it, only the committed memory per control of a form of
// that kind, printed as one number.
int Run(int rounds, const char* committedKind) {
  // What every contender needs is loaded first; then comctl32 (the picker's and the up-down's DLL) and
  // Marelco.ocx are timed loading on their own.
  if (FAILED(OleInitialize(nullptr))) return 1;
  const Atl atl;
  if (!atl.attach || !atl.windowClass) {
    std::printf("Wine's atl.dll has no AtlAxAttachControl or AtlAxWin window class\n");
    return 1;
  }
  const double pickerLoad = LoadTime(L"comctl32.dll", rounds);
  HMODULE comctl = LoadLibraryW(L"comctl32.dll");
  using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto initControls =
      reinterpret_cast<InitControls>(reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")));
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_DATE_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
  if (initControls) initControls(&classes);
  const std::wstring ocx = OcxPath();
  const double kalendoLoad = LoadTime(ocx.c_str(), rounds);

  HMODULE marelco = LoadLibraryW(ocx.c_str());
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto getClassObject =
      reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(marelco, "DllGetClassObject")));
  ComPtr<IClassFactory> factory;
  if (!getClassObject || FAILED(getClassObject(CLSID_Kalendo, IID_IClassFactory, factory.put_void()))) {
    std::printf("no class factory in %ls\n", ocx.c_str());
    return 1;
  }
  factory->LockServer(TRUE);

  HWND form = CreateWindowExW(0, L"STATIC", L"side by side", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1320, 960,
                              nullptr, nullptr, nullptr, nullptr);
  ShowWindow(form, SW_SHOW);
  Pump();

  // The saved state that the form of 200 Kalendos loads: every property of a control, as a designer saves it.
  SavedBag saved;
  {
    ComPtr<IUnknown> original;
    factory->CreateInstance(nullptr, IID_IUnknown, original.put_void());
    original.query<IPersistPropertyBag>()->InitNew();
    original.query<_Kalendo>()->put_Text(Bstr(std::wstring_view(L"15/06/2026")).get());
    original.query<IPersistPropertyBag>()->Save(&saved, TRUE, TRUE);
  }

  // Both ActiveX controls are created by their CLSIDs, as a form names them, from class objects registered for
  // this process.
  DWORD kalendoCookie = 0;
  CoRegisterClassObject(CLSID_Kalendo, factory.get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &kalendoCookie);
  const DWORD floorCookie = RegisterFloorControl();
  if (!kalendoCookie || !floorCookie) {
    std::printf("the class objects could not be registered\n");
    return 1;
  }

  HostedKind kalendoKind("Kalendo", CLSID_Kalendo, atl, saved);
  HostedKind floorKind("floor", kFloorClsid, atl, saved);
  WindowKind kalendoByWindow("K-window", CLSID_Kalendo);
  WindowKind floorByWindow("fl-window", kFloorClsid);
  PickerKind pickerKind;
  PairKind pairKind;
  const std::initializer_list<Kind*> kinds = {&kalendoKind, &floorKind, &kalendoByWindow, &floorByWindow, &pickerKind,
                                              &pairKind};
  if (committedKind) {
    for (Kind* kind : kinds) {
      if (std::strcmp(kind->Name(), committedKind) == 0) std::printf("%.1f\n", CommittedPerControl(*kind, form));
    }
    return 0;
  }
  Figures kalendo, floor, kalendoWindow, floorWindow, picker, pair, edit;
  std::map<std::string, Census> censuses;
  Bench bench(form);
  for (int round = 0; round < rounds; ++round) {
    bench.Round({{kalendoKind, kalendo},
                 {floorKind, floor},
                 {kalendoByWindow, kalendoWindow},
                 {floorByWindow, floorWindow},
                 {pickerKind, picker},
                 {pairKind, pair}});
    bench.EditBaselines(edit);
    for (Kind* kind : kinds) bench.TakeCensus(*kind, censuses[kind->Name()]);
    std::printf("round %d of %d: key step %.3f / %.3f / %.3f ms\n", round + 1, rounds,
                kalendo.rounds["one key step"].back() * 1e3, picker.rounds["one key step"].back() * 1e3,
                pair.rounds["one key step"].back() * 1e3);
    std::fflush(stdout);
  }
  Report({{kalendoKind.Name(), kalendo},
          {floorKind.Name(), floor},
          {kalendoByWindow.Name(), kalendoWindow},
          {floorByWindow.Name(), floorWindow},
          {pickerKind.Name(), picker},
          {pairKind.Name(), pair}},
         edit, kalendoLoad, pickerLoad, censuses);
  std::fflush(stdout);

  DestroyWindow(form);
  CoRevokeClassObject(floorCookie);
  CoRevokeClassObject(kalendoCookie);
  factory->LockServer(FALSE);
  factory.reset();
  FreeLibrary(marelco);
  FreeLibrary(comctl);
  OleUninitialize();
  return 0;
}

}  // namespace
}  // namespace marelco::bench

int main(int argc, char** argv) {
  int rounds = 5;
  const char* committedKind = nullptr;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[i + 1]));
    if (std::strcmp(argv[i], "--committed") == 0) committedKind = argv[i + 1];
  }
  if (committedKind) return marelco::bench::Run(1, committedKind);
  std::printf("Kalendo beside its floor, the date picker and an EDIT with an up-down, %d-bit, %d rounds, medians\n",
              static_cast<int>(sizeof(void*) * 8), rounds);
  return marelco::bench::Run(rounds, nullptr);
}
