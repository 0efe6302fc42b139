// kalendo_demo: shows three Kalendo controls with today's date, one in each format, and prints the three
// dates. With --screenshot FILE it steps one month by the keyboard, saves a picture of the form as a PNG
// file and ends.
#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "control/platform/date_services.h"
#include "demo/demo_form.h"
#include "demo/png_writer.h"

namespace {

std::string Utf8(const std::u16string& text) {
  std::wstring wide(text.begin(), text.end());
  int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

// Lets the form paint itself fully before its picture is taken.
void PumpFor(DWORD milliseconds) {
  DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < milliseconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

int RunMessageLoop(HWND form) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(form, &message)) continue;  // Tab moves between the controls
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int main(int argc, char** argv) {
  const char* screenshot = nullptr;
  for (int index = 1; index < argc; ++index) {
    if (std::strcmp(argv[index], "--screenshot") == 0 && index + 1 < argc) {
      screenshot = argv[++index];
    } else {
      std::fprintf(stderr, "usage: kalendo_demo [--screenshot FILE.png]\n");
      return 2;
    }
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::unique_ptr<marelco::Locale> locale = marelco::MakeLocale("");
  marelco::DateServices dates(*locale);
  int result = 0;
  {
    marelco::demo::DemoForm form(dates);
    for (const auto& field : form.Fields()) std::printf("%-14s %s\n", Utf8(field.format).c_str(), Utf8(field.text).c_str());
    std::fflush(stdout);
    if (screenshot) {
      SetForegroundWindow(form.hwnd());
      PumpFor(300);
      form.PressUpInMonth(1);  // a moment of use: the month of the second control steps up
      PumpFor(500);
      std::string path(screenshot);
      if (!marelco::demo::SaveWindowAsPng(form.hwnd(), std::wstring(path.begin(), path.end()))) {
        std::fprintf(stderr, "kalendo_demo: could not write %s\n", screenshot);
        result = 1;
      }
    } else {
      result = RunMessageLoop(form.hwnd());
    }
  }
  CoUninitialize();
  return result;
}
