// Kalendo on several apartment threads at once, as hosts with many user-interface threads use it: each thread
// hosts its controls in a window of its own, steps them, saves and loads them, opens and closes its about box,
// and releases them. Afterwards the server may unload, and the process holds no more windows, GDI objects or
// heap than before. MARELCO_THREAD_CONTROLS sets the controls per thread (50 unless told; scripts/thread-test
// runs 500). GDI objects are counted in the process's GDI handle table, since Wine's GetGuiResources answers
// 0; where that table cannot be read (32-bit processes under Wine) they print as -1 and are not compared.
// Wine 8's EDIT cannot lay out text on two threads at the same moment (wine_faults/edit_threads.cpp shows it with
// plain EDITs), and a control's text box lays out text when it is made, loaded and stepped. Under Wine the threads
// therefore take turns a control at a time, and open their about boxes between turns: their apartments, windows,
// about boxes and controls still live side by side, and share the server and its lock.
#include <gtest/gtest.h>

#include <olectl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "com/com_ptr.h"
#include "package/marelco_typelib.h"
#include "tests/package/ocx_path.h"
#include "tests/package/property_bag.h"
#include "tests/package/site.h"
#include "tests/win32/resource_count.h"

namespace marelco {
namespace {

constexpr int kThreads = 4;

int ControlsPerThread() {
  const char* value = std::getenv("MARELCO_THREAD_CONTROLS");
  return value && *value ? std::atoi(value) : 50;
}

// Windows of every thread of this process (Wine's desktop also lists other processes' windows).
int CountProcessWindows() {
  struct Counter {
    static BOOL CALLBACK Count(HWND window, LPARAM count) {
      DWORD process = 0;
      GetWindowThreadProcessId(window, &process);
      if (process != GetCurrentProcessId()) return TRUE;
      ++*reinterpret_cast<int*>(count);
      EnumChildWindows(window, Count, count);
      return TRUE;
    }
  };
  int count = 0;
  EnumWindows(Counter::Count, reinterpret_cast<LPARAM>(&count));
  return count;
}

// The about box of the calling thread, if it is open.
HWND ThreadsAboutBox() {
  struct Finder {
    static BOOL CALLBACK Find(HWND window, LPARAM found) {
      wchar_t title[32] = {};
      GetWindowTextW(window, title, 32);
      if (std::wstring(title) != L"About Marelco") return TRUE;
      *reinterpret_cast<HWND*>(found) = window;
      return FALSE;
    }
  };
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), Finder::Find, reinterpret_cast<LPARAM>(&box));
  return box;
}

// Answers the calling thread's messages, as a user-interface thread does while it waits.
void AnswerMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// A thread's turn with its controls: under Wine one thread at a time, elsewhere every thread at once. A thread
// that waits still answers its messages, as a user-interface thread does: other threads' windows send to it.
class TextBoxTurn {
 public:
  TextBoxTurn() {
    static const HANDLE turn =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") ? CreateMutexW(nullptr, FALSE, nullptr)
                                                                           : nullptr;
    if (!turn) return;
    while (MsgWaitForMultipleObjects(1, &turn, FALSE, 10, QS_ALLINPUT) != WAIT_OBJECT_0) AnswerMessages();
    held_ = turn;
  }
  ~TextBoxTurn() {
    if (held_) ReleaseMutex(held_);
  }
  TextBoxTurn(const TextBoxTurn&) = delete;
  TextBoxTurn& operator=(const TextBoxTurn&) = delete;

 private:
  HANDLE held_ = nullptr;
};

std::wstring TextOf(_Kalendo* control) {
  Bstr text;
  control->get_Text(text.put());
  return text.get() ? text.get() : L"";
}

// What one thread did, checked by the main thread: gtest's assertions stay on the thread that runs the test.
struct Outcome {
  int controls = 0;
  std::string failure;  // the first one
  void Check(bool held, const char* what) {
    if (!held && failure.empty()) failure = what;
  }
};

// One control's life on this thread: hosted in the thread's window, stepped, saved and loaded into a second
// control.
void Lifetime(testing_site::Site& site, Outcome& outcome) {
  ComPtr<_Kalendo> control = NewKalendo();
  outcome.Check(static_cast<bool>(control), "create");
  if (!control) return;
  auto object = control.query<IOleObject>();
  object->SetClientSite(&site);
  control.query<IPersistStreamInit>()->InitNew();
  outcome.Check(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, site.window, nullptr) == S_OK, "activate");

  control->put_Text(Bstr(std::wstring_view(L"15/06/2020")).get());
  control->put_SelStart(4);
  VARIANT_BOOL forwards = VARIANT_TRUE;
  control->CambiaFecha2(&forwards);
  outcome.Check(TextOf(control.get()) == L"15/07/2020", "step the month");

  control->put_Formato(Bstr(std::wstring_view(L"dd/mmm/yyyy")).get());
  testing_bag::PropertyBag bag;
  outcome.Check(control.query<IPersistPropertyBag>()->Save(&bag, TRUE, FALSE) == S_OK, "save");
  ComPtr<_Kalendo> copy = NewKalendo();
  outcome.Check(copy && copy.query<IPersistPropertyBag>()->Load(&bag, nullptr) == S_OK, "load");
  Bstr format;
  if (copy) copy->get_Formato(format.put());
  outcome.Check(format.get() && std::wstring(format.get()) == L"dd/mmm/yyyy", "the loaded format");

  object->Close(OLECLOSE_NOSAVE);
  object->SetClientSite(nullptr);
  site.calls.clear();
  ++outcome.controls;
}

// Opens the thread's about box from one of its controls and closes it. No text box lays out text here, so it
// needs no turn.
void ShowAndCloseAbout(_Kalendo* control, Outcome& outcome) {
  outcome.Check(control->About() == S_OK && ThreadsAboutBox(), "open the about box");
  SendMessageW(ThreadsAboutBox(), WM_COMMAND, IDOK, 0);
  outcome.Check(!ThreadsAboutBox(), "close the about box");
}

void HostControls(int count, Outcome& outcome) {
  if (FAILED(OleInitialize(nullptr))) return outcome.Check(false, "OleInitialize");
  {
    testing_site::Site site;
    site.window = CreateWindowExW(0, L"STATIC", L"form", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    // The thread's own windows (its parking window and tooltip window among them) are counted after the
    // first control and after the last: the ones between leave none behind.
    int windowsAfterFirst = 0;
    ComPtr<_Kalendo> aboutControl;
    {
      TextBoxTurn turn;
      aboutControl = NewKalendo();
    }
    for (int index = 0; index < count && outcome.failure.empty(); ++index) {
      {
        TextBoxTurn turn;
        Lifetime(site, outcome);
      }
      if (index % 10 == 0 && aboutControl) ShowAndCloseAbout(aboutControl.get(), outcome);
      if (index == 0) windowsAfterFirst = win32::testing::CountWindows();
    }
    outcome.Check(win32::testing::CountWindows() == windowsAfterFirst, "the thread's windows stay as many");
    {
      TextBoxTurn turn;
      aboutControl.reset();
    }
    AnswerMessages();
    DestroyWindow(site.window);
    outcome.Check(site.references == 0 && site.frame.references == 0, "the site released");
  }
  OleUninitialize();
}

// Runs the threads at once and waits for them.
std::vector<Outcome> HostOnThreads(int threads, int controlsEach) {
  std::vector<Outcome> outcomes(threads);
  std::vector<std::thread> running;
  for (Outcome& outcome : outcomes) running.emplace_back(HostControls, controlsEach, std::ref(outcome));
  for (std::thread& thread : running) thread.join();
  return outcomes;
}

struct Holdings {
  int windows;
  std::optional<int> gdiObjects;
  std::uint64_t heap;
  static Holdings Now() {
    return {CountProcessWindows(), win32::testing::CountGdiObjects(), win32::testing::HeapBytesInUse()};
  }
};

TEST(ApartmentThreads, FourThreadsHostTheirControlsAtOnceAndLeaveNothingBehind) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  // The server stays loaded through the test; it is asked, as COM would ask it, whether it could unload.
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(S_OK,
            CoGetClassObject(CLSID_Kalendo, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.put_void()));
  factory.reset();
  // What is made once, and the platform's caches (device contexts, regions, heap), which grow to what four
  // threads at once need and keep it: two rounds bring them there.
  for (int round = 0; round < 2; ++round) {
    for (const Outcome& outcome : HostOnThreads(kThreads, 3)) ASSERT_EQ("", outcome.failure);
    ASSERT_EQ(S_OK, ServerCanUnloadNow());
  }
  const Holdings before = Holdings::Now();

  // Two measured rounds: a leak grows the heap in each, while the platform's bookkeeping (a table of its own
  // that grows when four threads first need more) grows it in one at most.
  const int controlsEach = ControlsPerThread();
  std::vector<std::uint64_t> heapGrowth;
  DWORD start = GetTickCount();
  for (int round = 0; round < 2; ++round) {
    const std::uint64_t heapBefore = win32::testing::HeapBytesInUse();
    for (const Outcome& outcome : HostOnThreads(kThreads, controlsEach)) {
      EXPECT_EQ("", outcome.failure);
      EXPECT_EQ(controlsEach, outcome.controls);
    }
    EXPECT_EQ(S_OK, ServerCanUnloadNow());
    const std::uint64_t heapAfter = win32::testing::HeapBytesInUse();
    heapGrowth.push_back(heapAfter > heapBefore ? heapAfter - heapBefore : 0);
  }
  const Holdings after = Holdings::Now();
  std::printf("apartment threads: %d threads, %d controls each, twice, in %lu ms; windows %d -> %d, GDI objects "
              "%d -> %d, heap %llu -> %llu bytes (rounds: +%llu, +%llu)\n",
              kThreads, controlsEach, GetTickCount() - start, before.windows, after.windows,
              before.gdiObjects.value_or(-1), after.gdiObjects.value_or(-1),
              static_cast<unsigned long long>(before.heap), static_cast<unsigned long long>(after.heap),
              static_cast<unsigned long long>(heapGrowth[0]), static_cast<unsigned long long>(heapGrowth[1]));
  EXPECT_EQ(before.windows, after.windows);
  // Wine's caches of device contexts and regions may still grow by a few when four threads paint at the same
  // moment as never before; a leak would cost at least one object a control.
  if (before.gdiObjects && after.gdiObjects) {
    EXPECT_LT(*after.gdiObjects - *before.gdiObjects, 2 * kThreads * controlsEach / 10) << "GDI objects grew";
  }
  EXPECT_LT(std::min(heapGrowth[0], heapGrowth[1]), 4096u) << "the heap grew in every round";
  CoUninitialize();
}

}  // namespace
}  // namespace marelco
