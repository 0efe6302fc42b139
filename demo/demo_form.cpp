#include "demo/demo_form.h"

#include <string>

namespace marelco::demo {
namespace {

constexpr wchar_t kFormClass[] = L"KalendoDemoForm";

// A length of the form's layout, given for 96 DPI, in pixels at the system's DPI.
int Scaled(int pixels) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return MulDiv(pixels, dpi, 96);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateForm() {
  WNDCLASSEXW formClass{};
  formClass.cbSize = sizeof(formClass);
  formClass.lpfnWndProc = FormProc;
  formClass.hInstance = GetModuleHandleW(nullptr);
  formClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  formClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  formClass.lpszClassName = kFormClass;
  RegisterClassExW(&formClass);
  RECT frame{0, 0, Scaled(600), Scaled(210)};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
  return CreateWindowExW(WS_EX_CONTROLPARENT, kFormClass, L"Kalendo", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40,
                         frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

// The demo's host: it writes every event of its control into the form's list, newest last.
class DemoForm::EventLog final : public Host {
 public:
  EventLog(HWND list, std::wstring name) : list_(list), name_(std::move(name)) {}

  void PropertyChanged(std::u16string_view) override {}
  OleColor AmbientBackColor() override { return kButtonFaceColor; }
  std::shared_ptr<Font> AmbientFont() override { return MakeFont(); }

  void Change() override { Write(L"Change"); }
  void Click() override { Write(L"Click"); }
  void DblClick() override { Write(L"DblClick"); }
  void KeyDown(Integer& KeyCode, Integer& Shift) override { Write(L"KeyDown", KeyCode, Shift); }
  void KeyPress(Integer& KeyAscii) override { Write(L"KeyPress", KeyAscii); }
  void KeyUp(Integer& KeyCode, Integer& Shift) override { Write(L"KeyUp", KeyCode, Shift); }
  void MouseMove(Integer&, Integer&, Single&, Single&) override {}  // too many to be worth a line each
  void MouseUp(Integer& Button, Integer& Shift, Single& X, Single& Y) override {
    Write(L"MouseUp", Button, Shift, static_cast<int>(X), static_cast<int>(Y));
  }

 private:
  template <class... Numbers>
  void Write(const wchar_t* event, Numbers... numbers) {
    std::wstring line = name_ + L"  " + event;
    ((line += L" " + std::to_wstring(numbers)), ...);
    LRESULT index = SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageW(list_, LB_SETTOPINDEX, index, 0);
  }

  HWND list_;
  std::wstring name_;
};

DemoForm::DemoForm(const DateServices& dates) : window_(CreateForm()) {
  AddLabel(L"Events", 330, 12, 200);
  eventList_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, Scaled(330),
                               Scaled(32), Scaled(254), Scaled(162), hwnd(), nullptr, GetModuleHandleW(nullptr),
                               nullptr);
  SendMessageW(eventList_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  AddLabel(L"Kalendo, one for each Formato", 16, 12, 300);
  int y = 44;
  for (const char16_t* format : {u"dd/mm/yyyy", u"dd/mmm/yyyy", u"dd/mmmm/yyyy"}) {
    AddRow(dates, format, y);
    y += 50;
  }
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());
}

// The controls go before the form: their windows are the form's children.
DemoForm::~DemoForm() { rows_.clear(); }

void DemoForm::AddLabel(const wchar_t* text, int x, int y, int width) {
  HWND label = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE, Scaled(x), Scaled(y), Scaled(width),
                               Scaled(18), hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

void DemoForm::AddRow(const DateServices& dates, const std::u16string& format, int y) {
  AddLabel(Wide(format).c_str(), 16, y + 3, 110);
  Row row;
  row.surface = std::make_unique<win32::SurfaceWindow>(hwnd());
  row.log = std::make_unique<EventLog>(eventList_, L"Kalendo" + std::to_wstring(rows_.size() + 1));
  row.control = std::make_unique<Kalendo>(*row.surface, *row.log, dates, gdi_);
  row.control->InitProperties();
  row.control->SetFormato(format);
  SetWindowPos(row.surface->hwnd(), nullptr, Scaled(130), Scaled(y), Scaled(180), Scaled(23), SWP_NOZORDER);
  rows_.push_back(std::move(row));
}

std::vector<DemoForm::Field> DemoForm::Fields() const {
  std::vector<Field> fields;
  for (const Row& row : rows_) fields.push_back({row.control->Formato(), row.control->Text()});
  return fields;
}

void DemoForm::PressUpInMonth(size_t control) {
  Row& row = rows_.at(control);
  row.surface->txtFecha().SetFocus();
  row.control->SetSelStart(4);
  INPUT keys[2]{};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_UP;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

}  // namespace marelco::demo
