#include "pages/frm_about.h"

#include <vector>

#include "com/module_lock.h"
#include "pages/pages_resources.h"
#include "pages/win_util.h"

namespace marelco::pages {
namespace {

using win32::ToU16;
using win32::ToWide;

constexpr TwipsRect kClientArea = {0, 0, 4620, 2085};
constexpr TwipsRect kPicIcon = {240, 240, 480, 480};
constexpr TwipsRect kLblTitle = {1080, 240, 3060, 240};
constexpr TwipsRect kLblVersion = {1080, 540, 3060, 240};
constexpr TwipsRect kLblDescription = {1050, 840, 3060, 240};
constexpr TwipsRect kLblDisclaimer0 = {255, 1425, 2790, 225};
constexpr TwipsRect kLblDisclaimer1 = {240, 1740, 2790, 225};
constexpr TwipsRect kCmdOK = {3225, 1425, 1260, 345};

// Line1: a grey line over a white one, the engraved separator of the identification and the credits.
struct Line {
  int left, right, top;  // twips
  COLORREF colour;
  int pixels_wide;
};
constexpr Line kLine1[] = {{105, 4500, 1260, RGB(255, 255, 255), 2}, {90, 4500, 1245, RGB(128, 128, 128), 1}};

constexpr int kLblTitleId = 201;
constexpr int kLblVersionId = 202;
constexpr int kLblDescriptionId = 203;

std::wstring VersionString(const std::vector<char>& block, const wchar_t* path) {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), path, &value, &length) || !length) return {};
  return static_cast<const wchar_t*>(value);
}

// Holds nothing that needs destroying, so that no code of the module runs when the thread ends: by then the
// module may be unloaded. An open box's window goes with its thread.
class frmAbout {
 public:
  HRESULT Show();
  HWND window() const { return window_; }

 private:
  HRESULT Load();
  void CreateControls();
  void Form_Load();
  void Form_Paint(HDC dc);
  void cmdOK_Click() { DestroyWindow(window_); }  // unloads the box
  void Form_Unload();
  static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK DialogKeys(int code, WPARAM wparam, LPARAM lparam);

  HWND window_ = nullptr;
  HICON icon_ = nullptr;  // a shared resource icon: the system frees it
  HHOOK dialog_keys_ = nullptr;
};

// One box per thread, kept from its first showing on.
thread_local frmAbout shared_box;

HRESULT frmAbout::Show() {
  if (!window_) {
    const HRESULT loaded = Load();
    if (FAILED(loaded)) return loaded;
  }
  ShowWindow(window_, SW_SHOWNORMAL);
  SetForegroundWindow(window_);
  return S_OK;
}

HRESULT frmAbout::Load() {
  window_ = CreateEmptyDialog(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, DialogProcedure,
                              reinterpret_cast<LPARAM>(this));
  if (!window_) return HRESULT_FROM_WIN32(GetLastError());
  LockModule();  // an open box keeps the module loaded
  // The host's message loop knows nothing of the box: Tab, Enter and Esc reach it through this hook.
  dialog_keys_ = SetWindowsHookExW(WH_GETMESSAGE, DialogKeys, nullptr, GetCurrentThreadId());

  RECT frame = PixelsOf(kClientArea);
  AdjustWindowRectEx(&frame, GetWindowLongW(window_, GWL_STYLE), FALSE, GetWindowLongW(window_, GWL_EXSTYLE));
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  icon_ = static_cast<HICON>(
      LoadImageW(PagesModule(), MAKEINTRESOURCEW(IDI_KALENDO), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  CreateControls();
  Form_Load();
  return S_OK;
}

// The controls in their tab order: the focus starts on cmdOK.
void frmAbout::CreateControls() {
  HWND ok = AddControl(window_, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, kCmdOK, IDOK);
  HWND picture = AddControl(window_, L"STATIC", nullptr, SS_ICON | SS_CENTERIMAGE, kPicIcon, -1);
  SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
  AddControl(window_, L"STATIC", ToWide(kProductDisplayName).c_str(), SS_LEFT | SS_NOPREFIX, kLblDescription,
             kLblDescriptionId);
  AddControl(window_, L"STATIC", ToWide(kAuthorCredit).c_str(), SS_LEFT | SS_NOPREFIX, kLblDisclaimer0, -1);
  AddControl(window_, L"STATIC", L"#", SS_LEFT | SS_NOPREFIX, kLblTitle, kLblTitleId);
  AddControl(window_, L"STATIC", L"#", SS_LEFT | SS_NOPREFIX, kLblVersion, kLblVersionId);
  AddControl(window_, L"STATIC", ToWide(kAuthorContact).c_str(), SS_LEFT | SS_NOPREFIX, kLblDisclaimer1, -1);
  SetFocus(ok);
}

void frmAbout::Form_Load() {
  const ApplicationInfo app = ReadApplicationInfo();
  SetWindowTextW(window_, ToWide(AboutCaption(app)).c_str());
  SetDlgItemTextW(window_, kLblVersionId, ToWide(VersionText(app)).c_str());
  SetDlgItemTextW(window_, kLblTitleId, ToWide(app.title).c_str());
  SetDlgItemTextW(window_, kLblDescriptionId, ToWide(app.file_description).c_str());
}

void frmAbout::Form_Paint(HDC dc) {
  for (const Line& line : kLine1) {
    RECT pixels = {TwipsToPixels(line.left), TwipsToPixels(line.top), TwipsToPixels(line.right) + 1,
                   TwipsToPixels(line.top) + line.pixels_wide};  // drawn inside, below its top
    SetDCBrushColor(dc, line.colour);
    FillRect(dc, &pixels, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
}

void frmAbout::Form_Unload() {
  if (dialog_keys_) UnhookWindowsHookEx(dialog_keys_);
  dialog_keys_ = nullptr;
  window_ = nullptr;
  UnlockModule();
}

INT_PTR CALLBACK frmAbout::DialogProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    return FALSE;
  }
  auto* self = reinterpret_cast<frmAbout*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!self) return FALSE;
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) self->cmdOK_Click();
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      self->Form_Paint(BeginPaint(window, &paint));
      EndPaint(window, &paint);
      return TRUE;
    }
    case WM_PRINTCLIENT:
      self->Form_Paint(reinterpret_cast<HDC>(wparam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      SetTextColor(reinterpret_cast<HDC>(wparam), RGB(0, 0, 0));
      SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_DESTROY:
      self->Form_Unload();
      return TRUE;
  }
  return FALSE;
}

LRESULT CALLBACK frmAbout::DialogKeys(int code, WPARAM wparam, LPARAM lparam) {
  auto* message = reinterpret_cast<MSG*>(lparam);
  HWND box = AboutWindow();
  if (code == HC_ACTION && wparam == PM_REMOVE && box && message->message >= WM_KEYFIRST &&
      message->message <= WM_KEYLAST && IsDialogMessageW(box, message)) {
    message->message = WM_NULL;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

HRESULT ShowAbout() { return shared_box.Show(); }

HWND AboutWindow() { return shared_box.window(); }

ApplicationInfo ReadApplicationInfo() {
  ApplicationInfo info;
  info.title = kApplicationTitle;
  info.file_description = kProductDisplayName;  // for a module without a version block
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(PagesModule(), path, MAX_PATH);
  if (!length || length == MAX_PATH) return info;
  DWORD unused = 0;
  std::vector<char> block(GetFileVersionInfoSizeW(path, &unused));
  if (block.empty() || !GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data())) return info;

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) && size >= sizeof *fixed) {
    info.major = HIWORD(fixed->dwFileVersionMS);
    info.minor = LOWORD(fixed->dwFileVersionMS);
    info.revision = LOWORD(fixed->dwFileVersionLS);
  }
  WORD* translation = nullptr;
  if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &size) &&
      size >= 2 * sizeof(WORD)) {
    wchar_t name[64];
    wsprintfW(name, L"\\StringFileInfo\\%04x%04x\\FileDescription", translation[0], translation[1]);
    info.file_description = ToU16(VersionString(block, name));
  }
  return info;
}

}  // namespace marelco::pages
