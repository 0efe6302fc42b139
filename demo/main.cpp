// kalendo_demo: a small OLE container. Its form hosts three Kalendo controls created from the registered
// Marelco.ocx and logs their events and property changes, in its list and on the standard output.
// With --script it plays a moment of use and ends: the Up arrow in the month of the second control, then Save,
// About and Load for that control, then the form closes. --screenshot FILE and --properties-screenshot FILE play
// the script too and save pictures, of the form and of the control's property frame, as PNG files.
#include <windows.h>

#include <ole2.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "demo/demo_form.h"
#include "demo/png_writer.h"

namespace {

using marelco::demo::DemoForm;

struct Options {
  bool script = false;
  std::wstring screenshot, propertiesScreenshot;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int index = 1; index < argc; ++index) {
    std::string option = argv[index];
    if (option == "--script") {
      options.script = true;
    } else if ((option == "--screenshot" || option == "--properties-screenshot") && index + 1 < argc) {
      std::string path = argv[++index];
      (option == "--screenshot" ? options.screenshot : options.propertiesScreenshot).assign(path.begin(), path.end());
      options.script = true;
    } else {
      return false;
    }
  }
  return true;
}

// One message of the form's thread: the active control and the form's Tab navigation see it first.
void Dispatch(DemoForm& form, MSG& message) {
  if (form.PreTranslateMessage(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int RunMessageLoop(DemoForm& form) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(form, message);
  return static_cast<int>(message.wParam);
}

// Lets the form and its controls handle what is waiting, for a while.
void PumpFor(DemoForm& form, DWORD milliseconds) {
  DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < milliseconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) Dispatch(form, message);
  }
}

// The picture of the property frame is taken from inside the frame's own modal loop, which then ends.
struct FrameCapture {
  std::wstring path;
  bool saved = false;
} frameCapture;

// The frame is a dialog window of this thread (Wine's frame has no owner, so it is found by its class).
BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (!IsWindowVisible(window) || std::wstring(name) != L"#32770") return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void CALLBACK CaptureFrame(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND frame = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&frame));
  if (!frame) return;  // not open yet
  KillTimer(nullptr, timer);
  frameCapture.saved = marelco::demo::SaveWindowAsPng(frame, frameCapture.path);
  PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
}

bool Saved(bool saved, const std::wstring& path) {
  if (!saved) std::fprintf(stderr, "kalendo_demo: could not write %ls\n", path.c_str());
  return saved;
}

int PlayScript(DemoForm& form, const Options& options) {
  bool saved = true;
  SetForegroundWindow(form.hwnd());
  PumpFor(form, 300);
  form.PressUpInMonth(1);
  PumpFor(form, 300);
  form.Save();
  PumpFor(form, 200);
  if (!options.screenshot.empty()) {
    saved = Saved(marelco::demo::SaveWindowAsPng(form.hwnd(), options.screenshot), options.screenshot) && saved;
  }
  if (!options.propertiesScreenshot.empty()) {
    frameCapture = {options.propertiesScreenshot, false};
    UINT_PTR timer = SetTimer(nullptr, 0, 500, CaptureFrame);
    form.ShowProperties();
    KillTimer(nullptr, timer);
    saved = Saved(frameCapture.saved, options.propertiesScreenshot) && saved;
  }
  form.ShowAbout();
  PumpFor(form, 200);
  form.Load();
  PostMessageW(form.hwnd(), WM_CLOSE, 0, 0);  // closed as the user closes it
  RunMessageLoop(form);
  return saved ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: kalendo_demo [--script] [--screenshot FILE.png] [--properties-screenshot FILE.png]\n");
    return 2;
  }
  if (FAILED(OleInitialize(nullptr))) return 1;
  int result = 0;
  {
    DemoForm form;
    if (!form.complete()) {
      std::fprintf(stderr, "kalendo_demo: register Marelco.ocx first: regsvr32 Marelco.ocx\n");
      result = 1;
    } else {
      result = options.script ? PlayScript(form, options) : RunMessageLoop(form);
    }
  }
  OleUninitialize();
  return result;
}
