#include "demo/demo_form.h"

#include <cstdio>

namespace marelco::demo {
namespace {

constexpr wchar_t kFormClass[] = L"KalendoDemoForm";
constexpr wchar_t kProgId[] = L"Marelco.Kalendo";
constexpr int kWidth = 600, kHeight = 250;
enum Button { kProperties = 101, kAbout, kSave, kLoad };

// A length of the form's layout, given for 96 DPI, in pixels at the system's DPI.
int Scaled(int pixels) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return MulDiv(pixels, dpi, 96);
}

HWND CreateFormWindow(DemoForm* form, WNDPROC procedure) {
  WNDCLASSEXW formClass{};
  formClass.cbSize = sizeof(formClass);
  formClass.lpfnWndProc = procedure;
  formClass.hInstance = GetModuleHandleW(nullptr);
  formClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  formClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  formClass.lpszClassName = kFormClass;
  RegisterClassExW(&formClass);
  RECT frame{0, 0, Scaled(kWidth), Scaled(kHeight)};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
  return CreateWindowExW(WS_EX_CONTROLPARENT, kFormClass, L"Kalendo", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40,
                         frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                         GetModuleHandleW(nullptr), form);
}

// The font the form hands its controls as their ambient font.
ComPtr<IFontDisp> FormFont() {
  FONTDESC description = {sizeof(FONTDESC), const_cast<LPOLESTR>(L"MS Sans Serif"), {{80000, 0}}, FW_NORMAL,
                          ANSI_CHARSET, FALSE, FALSE, FALSE};
  ComPtr<IFontDisp> font;
  OleCreateFontIndirect(&description, IID_PPV_ARGS(&font));
  return font;
}

std::string Utf8(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

}  // namespace

DemoForm::DemoForm() : window_(CreateFormWindow(this, Procedure)), frame_(window_), font_(FormFont()) {
  AddLabel(L"Events and property changes", 330, 12, 254);
  eventList_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, Scaled(330),
                               Scaled(32), Scaled(254), Scaled(202), window_, nullptr, GetModuleHandleW(nullptr),
                               nullptr);
  SendMessageW(eventList_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  AddLabel(L"Kalendo, one for each Formato", 16, 12, 300);
  int y = 44;
  for (const wchar_t* format : {L"dd/mm/yyyy", L"dd/mmm/yyyy", L"dd/mmmm/yyyy"}) {
    AddControl(format, y);
    y += 46;
  }
  AddButton(L"Properties\u2026", kProperties, 16, 208, 80);
  AddButton(L"About", kAbout, 102, 208, 70);
  AddButton(L"Save", kSave, 178, 208, 70);
  AddButton(L"Load", kLoad, 254, 208, 70);
  current_ = sites_.front().get();
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

DemoForm::~DemoForm() {
  CloseControls();
  if (IsWindow(window_)) DestroyWindow(window_);
}

// The controls go before the form's window: their windows are its children.
void DemoForm::CloseControls() {
  current_ = nullptr;
  sites_.clear();
}

LRESULT CALLBACK DemoForm::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  auto* form = reinterpret_cast<DemoForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) break;
      if (LOWORD(wParam) == kProperties) form->ShowProperties();
      if (LOWORD(wParam) == kAbout) form->ShowAbout();
      if (LOWORD(wParam) == kSave) form->Save();
      if (LOWORD(wParam) == kLoad) form->Load();
      return 0;
    case WM_CLOSE:
      form->CloseControls();
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void DemoForm::AddLabel(const wchar_t* text, int x, int y, int width) {
  HWND label = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE, Scaled(x), Scaled(y), Scaled(width),
                               Scaled(18), window_, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

void DemoForm::AddButton(const wchar_t* text, int id, int x, int y, int width) {
  HWND button = CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, Scaled(x),
                                Scaled(y), Scaled(width), Scaled(26), window_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
  SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

// Places a new control, as a form designer does: created, given its site, started, then told its format.
void DemoForm::AddControl(const wchar_t* format, int y) {
  AddLabel(format, 16, y + 3, 110);
  Form form{window_, &frame_, font_.Get(), [this](const std::wstring& line) { Log(line); },
            [this](ControlSite& site) { Activated(site); }};
  auto site = std::make_unique<ControlSite>(form, L"Kalendo" + std::to_wstring(sites_.size() + 1),
                                            RECT{Scaled(130), Scaled(y), Scaled(310), Scaled(y + 23)});
  HRESULT result = site->Open(kProgId);
  if (SUCCEEDED(result)) result = site->Put(L"Formato", format);
  if (FAILED(result)) {
    complete_ = false;
    LogFailure((site->name() + L" from " + kProgId).c_str(), result);
  }
  sites_.push_back(std::move(site));
}

// One control at a time is UI active: the one the user moved into.
void DemoForm::Activated(ControlSite& site) {
  if (current_ && current_ != &site) current_->Deactivate();
  current_ = &site;
}

bool DemoForm::PreTranslateMessage(MSG& message) {
  return frame_.TranslateKey(message) || IsDialogMessageW(window_, &message);
}

void DemoForm::Log(const std::wstring& line) {
  LRESULT index = SendMessageW(eventList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  SendMessageW(eventList_, LB_SETTOPINDEX, index, 0);
  std::printf("%s\n", Utf8(line).c_str());
  std::fflush(stdout);
}

void DemoForm::LogFailure(const wchar_t* what, HRESULT result) {
  wchar_t code[16];
  swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(result));
  Log(std::wstring(what) + L" failed: " + code);
}

// The control's property pages, its own and the stock ones it names, in the platform's property frame. The
// frame is modal over the form; Wine's frame has no owner, so the form disables itself while the frame is open,
// and no button can close the control under the frame.
void DemoForm::ShowProperties() {
  if (!current_ || !current_->control()) return;
  ControlSite& site = *current_;
  ComPtr<ISpecifyPropertyPages> specify;
  CAUUID pages = {};
  HRESULT result = site.control()->QueryInterface(IID_PPV_ARGS(&specify));
  if (SUCCEEDED(result)) result = specify->GetPages(&pages);
  IUnknown* objects[] = {site.control()};
  if (SUCCEEDED(result)) {
    EnableWindow(window_, FALSE);
    result = OleCreatePropertyFrame(window_, 60, 60, site.name().c_str(), 1, objects, pages.cElems, pages.pElems,
                                    LOCALE_USER_DEFAULT, 0, nullptr);
    EnableWindow(window_, TRUE);
  }
  CoTaskMemFree(pages.pElems);
  if (FAILED(result)) LogFailure((site.name() + L" Properties").c_str(), result);
}

void DemoForm::ShowAbout() {
  if (!current_) return;
  HRESULT result = current_->Call(DISPID_ABOUTBOX);
  if (FAILED(result)) LogFailure((current_->name() + L" About").c_str(), result);
}

// Shows what the control writes into a property bag, and keeps the bag for Load.
void DemoForm::Save() {
  if (!current_ || !current_->control()) return;
  auto bag = std::make_unique<PropertyBag>();
  ComPtr<IPersistPropertyBag> persist;
  HRESULT result = current_->control()->QueryInterface(IID_PPV_ARGS(&persist));
  if (SUCCEEDED(result)) result = persist->Save(bag.get(), TRUE, FALSE);
  if (FAILED(result)) return LogFailure((current_->name() + L" Save").c_str(), result);
  Log(current_->name() + L"  saved:");
  for (const auto& [name, value] : bag->values()) Log(L"      " + name + L" = " + Shown(value));
  saved_ = std::move(bag);
}

// Replaces the control with a new one loaded from the saved bag, as a form does when it is opened again.
void DemoForm::Load() {
  if (!current_) return;
  if (!saved_) return Log(L"Nothing saved yet: press Save first");
  HRESULT result = current_->Open(kProgId, saved_.get());
  if (FAILED(result)) return LogFailure((current_->name() + L" Load").c_str(), result);
  Log(current_->name() + L"  loaded");
}

void DemoForm::PressUpInMonth(size_t control) {
  ControlSite& site = *sites_.at(control);
  Log(L"Script: Up arrow in the month of " + site.name());
  site.Focus();
  site.Put(L"SelStart", 4);
  INPUT keys[2]{};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_UP;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

}  // namespace marelco::demo
