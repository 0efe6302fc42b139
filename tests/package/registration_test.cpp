// Registers and unregisters Marelco.ocx with regsvr32, as an installer does, and reads the registry back.
#include <gtest/gtest.h>

#include <comcat.h>

#include <optional>
#include <string>

#include "com/com_ptr.h"
#include "package/marelco_typelib.h"
#include "tests/package/ocx_path.h"

namespace marelco {
namespace {

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

// The value (the default one when name is empty) of HKEY_CLASSES_ROOT\key, or nothing when it is absent.
std::optional<std::wstring> ReadValue(const std::wstring& key, const wchar_t* name = L"") {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof buffer;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), *name ? name : nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(buffer);
}

bool KeyExists(const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

DWORD RunRegsvr32(const std::wstring& switches) {
  std::wstring command = L"regsvr32.exe /s " + switches + L" \"" + OcxPath() + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return GetLastError();
  WaitForSingleObject(process.hProcess, 60000);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exitCode;
}

// Whether the platform's category manager finds Kalendo in both safety categories, safe for scripting and
// safe for initialising.
bool IsMarkedSafe() {
  ComPtr<ICatInformation> categories;
  EXPECT_EQ(S_OK, CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ICatInformation, categories.put_void()));
  if (!categories) return false;
  CATID safe[] = {{0x7DD95801, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}},
                  {0x7DD95802, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}}};
  return categories->IsClassOfCategories(CLSID_Kalendo, 2, safe, 0, nullptr) == S_OK;  // and requires none
}

const std::wstring kKalendoKey = L"CLSID\\" + GuidText(CLSID_Kalendo);
const std::wstring kPpgKey = L"CLSID\\" + GuidText(CLSID_ppg);
const std::wstring kTypeLibKey =
    L"TypeLib\\" + GuidText(LIBID_Marelco) + L"\\1.0\\409\\" + (sizeof(void*) == 8 ? L"win64" : L"win32");

void ExpectRegistered() {
  const std::wstring path = OcxPath();
  EXPECT_EQ(path, ReadValue(kKalendoKey + L"\\InprocServer32"));
  EXPECT_EQ(L"Apartment", ReadValue(kKalendoKey + L"\\InprocServer32", L"ThreadingModel"));
  EXPECT_TRUE(KeyExists(kKalendoKey + L"\\Control"));
  EXPECT_EQ(L"131473", ReadValue(kKalendoKey + L"\\MiscStatus"));  // 0x20191
  EXPECT_EQ(L"131473", ReadValue(kKalendoKey + L"\\MiscStatus\\1"));
  EXPECT_EQ(path + L", 30000", ReadValue(kKalendoKey + L"\\ToolboxBitmap32"));
  EXPECT_EQ(GuidText(LIBID_Marelco), ReadValue(kKalendoKey + L"\\TypeLib"));
  EXPECT_EQ(L"1.0", ReadValue(kKalendoKey + L"\\Version"));
  EXPECT_EQ(L"Marelco.Kalendo.1", ReadValue(kKalendoKey + L"\\ProgID"));
  EXPECT_EQ(L"Marelco.Kalendo", ReadValue(kKalendoKey + L"\\VersionIndependentProgID"));
  EXPECT_TRUE(KeyExists(kKalendoKey + L"\\Implemented Categories\\{40FC6ED4-2438-11CF-A3DB-080036F12502}"));
  EXPECT_TRUE(IsMarkedSafe());

  EXPECT_EQ(path, ReadValue(kPpgKey + L"\\InprocServer32"));
  EXPECT_EQ(L"Apartment", ReadValue(kPpgKey + L"\\InprocServer32", L"ThreadingModel"));
  EXPECT_EQ(L"0", ReadValue(kPpgKey + L"\\MiscStatus"));
  EXPECT_FALSE(KeyExists(kPpgKey + L"\\Control"));
  EXPECT_FALSE(KeyExists(kPpgKey + L"\\ToolboxBitmap32"));

  EXPECT_EQ(GuidText(CLSID_Kalendo), ReadValue(L"Marelco.Kalendo\\CLSID"));
  EXPECT_EQ(L"Marelco.Kalendo.1", ReadValue(L"Marelco.Kalendo\\CurVer"));
  EXPECT_EQ(GuidText(CLSID_Kalendo), ReadValue(L"Marelco.Kalendo.1\\CLSID"));
  EXPECT_EQ(GuidText(CLSID_ppg), ReadValue(L"Marelco.ppg\\CLSID"));

  EXPECT_EQ(path, ReadValue(kTypeLibKey));
  EXPECT_EQ(path.substr(0, path.find_last_of(L'\\') + 1), ReadValue(L"TypeLib\\" + GuidText(LIBID_Marelco) + L"\\1.0\\HELPDIR"));
  EXPECT_TRUE(KeyExists(L"Interface\\" + GuidText(IID__Kalendo)));
  EXPECT_TRUE(KeyExists(L"Interface\\" + GuidText(DIID___Kalendo)));
  CLSID found = {};
  EXPECT_EQ(S_OK, CLSIDFromProgID(L"Marelco.Kalendo", &found));
  EXPECT_TRUE(IsEqualCLSID(CLSID_Kalendo, found));
}

void ExpectUnregistered() {
  for (const std::wstring& key : {kKalendoKey, kPpgKey, std::wstring(L"Marelco.Kalendo"),
                                  std::wstring(L"Marelco.Kalendo.1"), std::wstring(L"Marelco.ppg"),
                                  std::wstring(L"Marelco.ppg.1"), kTypeLibKey}) {
    EXPECT_FALSE(KeyExists(key)) << testing::PrintToString(key);
  }
  EXPECT_FALSE(IsMarkedSafe());
}

TEST(Registration, Regsvr32RegistersBothClassesAndTheTypeLibraryAndRemovesThem) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  ASSERT_EQ(0u, RunRegsvr32(L""));
  ExpectRegistered();
  ASSERT_EQ(0u, RunRegsvr32(L"")) << "registering twice is harmless";
  ExpectRegistered();

  ASSERT_EQ(0u, RunRegsvr32(L"/u"));
  ExpectUnregistered();
  EXPECT_EQ(0u, RunRegsvr32(L"/u")) << "unregistering what is not registered succeeds";

  ASSERT_EQ(0u, RunRegsvr32(L""));  // the script tests that follow need the classes
  ExpectRegistered();
  CoUninitialize();
}

TEST(Registration, DllInstallTakesUserOrNothingAndRefusesAnyOtherCommandLine) {
  HMODULE module = LoadLibraryW(OcxPath().c_str());
  ASSERT_NE(nullptr, module);
  using Install = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);
  auto install = reinterpret_cast<Install>(reinterpret_cast<void*>(GetProcAddress(module, "DllInstall")));
  ASSERT_NE(nullptr, install);
  for (const wchar_t* line : {L"machine", L"users", L"user "}) {
    EXPECT_EQ(E_INVALIDARG, install(TRUE, line)) << testing::PrintToString(std::wstring(line));
    EXPECT_EQ(E_INVALIDARG, install(FALSE, line));
  }
  EXPECT_EQ(S_OK, install(FALSE, L"USER")) << "removing a registration that is not there succeeds";
  FreeLibrary(module);
}

}  // namespace
}  // namespace marelco
