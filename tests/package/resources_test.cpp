// The resources of Marelco.ocx as a host and the run time read them: type library, interface identities,
// toolbox picture and version block.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "package/marelco_typelib.h"
#include "tests/package/ocx_path.h"

namespace marelco {
namespace {

class Resources : public testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(OcxPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(nullptr, module_);
  }
  void TearDown() override { FreeLibrary(module_); }

  std::vector<unsigned char> Resource(const wchar_t* type, const wchar_t* name) {
    HRSRC found = FindResourceW(module_, name, type);
    if (!found) return {};
    auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module_, found)));
    return {data, data + SizeofResource(module_, found)};
  }

  HMODULE module_ = nullptr;
};

TEST_F(Resources, CarryTheTypeLibraryInCompoundForm) {
  auto library = Resource(L"TYPELIB", MAKEINTRESOURCEW(1));
  ASSERT_GE(library.size(), 4u);
  EXPECT_EQ(0, std::memcmp(library.data(), "MSFT", 4));
}

TEST_F(Resources, CarryTheIdentitiesOfTheInterfacesAsLengthAndGuid) {
  const std::pair<const wchar_t*, const GUID*> identities[] = {
      {L"_IID_KALENDO", &IID__Kalendo}, {L"_SRCIID_KALENDO", &DIID___Kalendo}, {L"_IID_PPG", &IID__ppg}};
  for (const auto& [type, guid] : identities) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(type)));
    auto data = Resource(type, MAKEINTRESOURCEW(1));
    ASSERT_EQ(20u, data.size());
    std::uint32_t length = 0;
    std::memcpy(&length, data.data(), 4);
    EXPECT_EQ(16u, length);
    EXPECT_EQ(0, std::memcmp(data.data() + 4, guid, 16));
  }
}

TEST_F(Resources, CarryASixteenColourToolboxPicture) {
  auto bitmap = Resource(RT_BITMAP, MAKEINTRESOURCEW(30000));
  ASSERT_EQ(224u, bitmap.size());
  BITMAPINFOHEADER header;
  std::memcpy(&header, bitmap.data(), sizeof header);
  EXPECT_EQ(40u, header.biSize);
  EXPECT_EQ(16, header.biWidth);
  EXPECT_EQ(15, header.biHeight);
  EXPECT_EQ(4, header.biBitCount);
  EXPECT_EQ(static_cast<DWORD>(BI_RGB), header.biCompression);
  EXPECT_TRUE(header.biClrUsed == 0 || header.biClrUsed == 16);
  EXPECT_EQ(224u, header.biSize + 16 * sizeof(RGBQUAD) + 15 * 8);

  HBITMAP loaded = static_cast<HBITMAP>(LoadImageW(module_, MAKEINTRESOURCEW(30000), IMAGE_BITMAP, 0, 0, 0));
  ASSERT_NE(nullptr, loaded);
  DeleteObject(loaded);
}

class VersionBlock : public testing::Test {
 protected:
  void SetUp() override {
    const std::wstring path = OcxPath();
    DWORD ignored = 0;
    block_.resize(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(block_.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block_.size()), block_.data()));
  }

  bool Query(const std::wstring& path, void** value, UINT* length) {
    return VerQueryValueW(block_.data(), path.c_str(), value, length);
  }

  std::wstring String(const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    if (!Query(std::wstring(L"\\StringFileInfo\\0C0A04B0\\") + name, &value, &length)) return L"<missing>";
    return length ? std::wstring(static_cast<const wchar_t*>(value)) : std::wstring();
  }

  std::vector<unsigned char> block_;
};

TEST_F(VersionBlock, GivesVersionOneZeroZeroOne) {
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(Query(L"\\", &value, &length));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
  EXPECT_EQ(0x00000001u, fixed->dwFileVersionLS);
  EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS);
  EXPECT_EQ(0x00000001u, fixed->dwProductVersionLS);
  EXPECT_EQ(L"1.00.0001", String(L"FileVersion"));
  EXPECT_EQ(L"1.00.0001", String(L"ProductVersion"));
}

TEST_F(VersionBlock, IsSpanishUnicodeAndMarksTheFileSelfRegistering) {
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(Query(L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(4u, length);
  const auto* translation = static_cast<const WORD*>(value);
  EXPECT_EQ(0x0C0A, translation[0]);
  EXPECT_EQ(1200, translation[1]);
  EXPECT_EQ(L"", String(L"OLESelfRegister"));
  // The resource itself is Spanish too.
  const HMODULE module = LoadLibraryExW(OcxPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, module);
  const WORD spanish = MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN);
  EXPECT_NE(nullptr, FindResourceExW(module, RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO), spanish));
  EXPECT_EQ(nullptr, FindResourceExW(module, RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO),
                                     MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)));
  FreeLibrary(module);
}

TEST_F(VersionBlock, NamesTheProductAndItsMaker) {
  for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"LegalCopyright", L"ProductName", L"InternalName",
                              L"OriginalFilename"}) {
    EXPECT_NE(std::wstring::npos, String(name).find(L"Marelco")) << testing::PrintToString(std::wstring(name));
  }
  EXPECT_EQ(L"Marelco.ocx", String(L"OriginalFilename"));
}

}  // namespace
}  // namespace marelco
