// Reads the type library back out of the built Marelco.ocx and compares every identity, flag and member.
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "com/com_ptr.h"
#include "package/marelco_typelib.h"
#include "tests/package/ocx_path.h"
#include "tests/support/kalendo_members.h"

namespace marelco {
namespace {

struct ExpectedMember {
  std::wstring name;
  MEMBERID id;
  INVOKEKIND kind;
  std::wstring help;
  std::vector<std::wstring> params;  // "type name", in order
  std::wstring result;               // the retval's type, or "" for none
};

std::wstring Wide(std::string_view text) { return std::wstring(text.begin(), text.end()); }

std::wstring TypeText(MemberType type) {
  switch (type) {
    case MemberType::None: return L"";
    case MemberType::String: return L"BSTR";
    case MemberType::Boolean: return L"VARIANT_BOOL";
    case MemberType::Integer: return L"short";
    case MemberType::Long: return L"long";
    case MemberType::Single: return L"float";
    case MemberType::Color: return L"OLE_COLOR";
    case MemberType::Font: return L"IFontDisp*";
    case MemberType::Picture: return L"IPictureDisp*";
  }
  return L"?";
}

std::vector<std::wstring> ArgumentTexts(std::span<const MemberArgument> arguments) {
  std::vector<std::wstring> texts;
  for (const auto& argument : arguments)
    texts.push_back(TypeText(argument.type) + (argument.byReference ? L"* " : L" ") + Wide(argument.name));
  return texts;
}

// The interface table entries of the members: one per method, a get and a let or set per property.
std::vector<ExpectedMember> ExpectedAccessors() {
  std::vector<ExpectedMember> accessors;
  for (const Member& member : kKalendoMembers) {
    const std::wstring name = Wide(member.name), help = Wide(member.helpString), type = TypeText(member.type);
    if (member.kind == MemberKind::Method) {
      accessors.push_back({name, member.dispatchId, INVOKE_FUNC, help, ArgumentTexts(member.arguments), type});
      continue;
    }
    accessors.push_back({name, member.dispatchId, INVOKE_PROPERTYGET, help, {}, type});
    if (member.kind == MemberKind::PropertyGetLet)
      accessors.push_back({name, member.dispatchId, INVOKE_PROPERTYPUT, help, {type + L" " + name}, L""});
    if (member.kind == MemberKind::PropertyGetSet)
      accessors.push_back({name, member.dispatchId, INVOKE_PROPERTYPUTREF, help, {type + L" " + name}, L""});
  }
  return accessors;
}

std::vector<ExpectedMember> ExpectedEvents() {
  std::vector<ExpectedMember> events;
  for (const Event& event : kKalendoEvents) {
    events.push_back({Wide(event.name), event.dispatchId, INVOKE_FUNC, Wide(event.helpString),
                      ArgumentTexts(event.arguments), L""});
  }
  return events;
}

std::wstring TypeName(ITypeInfo* info, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_PTR: return TypeName(info, *type.lptdesc) + L"*";
    case VT_BSTR: return L"BSTR";
    case VT_BOOL: return L"VARIANT_BOOL";
    case VT_I2: return L"short";
    case VT_I4: return L"long";
    case VT_R4: return L"float";
    case VT_VOID: return L"void";
    case VT_HRESULT: return L"HRESULT";
    case VT_USERDEFINED: {
      ComPtr<ITypeInfo> referenced;
      if (FAILED(info->GetRefTypeInfo(type.hreftype, referenced.put()))) return L"<unresolved>";
      Bstr name;
      referenced->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
      return name.get() ? name.get() : L"";
    }
    default: return L"vt" + std::to_wstring(type.vt);
  }
}

struct ActualMember : ExpectedMember {
  WORD funcFlags = 0;
  SHORT optionalParams = 0;
};

std::vector<ActualMember> ReadMembers(ITypeInfo* info) {
  TYPEATTR* attributes = nullptr;
  EXPECT_EQ(S_OK, info->GetTypeAttr(&attributes));
  const int count = attributes->cFuncs;
  info->ReleaseTypeAttr(attributes);
  std::vector<ActualMember> members;
  for (int index = 0; index < count; ++index) {
    FUNCDESC* function = nullptr;
    EXPECT_EQ(S_OK, info->GetFuncDesc(index, &function));
    ActualMember member;
    member.id = function->memid;
    member.kind = function->invkind;
    member.funcFlags = function->wFuncFlags;
    member.optionalParams = function->cParamsOpt;
    Bstr name, help;
    info->GetDocumentation(function->memid, name.put(), help.put(), nullptr, nullptr);
    member.name = name.get() ? name.get() : L"";
    member.help = help.get() ? help.get() : L"";
    std::vector<BSTR> names(function->cParams + 1);
    UINT namesFound = 0;
    info->GetNames(function->memid, names.data(), static_cast<UINT>(names.size()), &namesFound);
    for (int param = 0; param < function->cParams; ++param) {
      const ELEMDESC& element = function->lprgelemdescParam[param];
      std::wstring paramName = param + 1 < static_cast<int>(namesFound) && names[param + 1] ? names[param + 1] : L"";
      if (element.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) {
        std::wstring type = TypeName(info, element.tdesc);
        member.result = type.substr(0, type.size() - 1);  // the retval pointer's target
      } else {
        member.params.push_back(TypeName(info, element.tdesc) + L" " + paramName);
      }
    }
    for (BSTR text : names) SysFreeString(text);
    members.push_back(member);
    info->ReleaseFuncDesc(function);
  }
  return members;
}

void ExpectMembers(ITypeInfo* info, const std::vector<ExpectedMember>& expected) {
  const auto actual = ReadMembers(info);
  ASSERT_EQ(expected.size(), actual.size());
  for (size_t index = 0; index < expected.size(); ++index) {
    SCOPED_TRACE(testing::Message() << "member " << index << " " << testing::PrintToString(expected[index].name));
    EXPECT_EQ(expected[index].name, actual[index].name);
    EXPECT_EQ(expected[index].id, actual[index].id);
    EXPECT_EQ(expected[index].kind, actual[index].kind);
    EXPECT_EQ(expected[index].help, actual[index].help);
    EXPECT_EQ(expected[index].params, actual[index].params);
    EXPECT_EQ(expected[index].result, actual[index].result);
    EXPECT_EQ(0, actual[index].funcFlags) << "no member is hidden, restricted or bindable";
    EXPECT_EQ(0, actual[index].optionalParams);
  }
}

// The stored flag word of _Kalendo and _ppg: hidden, dual, non-extensible, OLE-automation, dispatchable.
// Their dispatch view reports it without the OLE-automation flag, as OLE Automation does for every dual interface.
constexpr WORD kDualFlags = 0x11D0;
constexpr WORD kDualDispatchFlags = kDualFlags & ~TYPEFLAG_FOLEAUTOMATION;

class TypeLibrary : public testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_EQ(S_OK, LoadTypeLibEx(OcxPath().c_str(), REGKIND_NONE, library_.put()));
  }
  void TearDown() override {
    library_.reset();
    CoUninitialize();
  }

  ComPtr<ITypeInfo> InfoOf(const GUID& guid) {
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(S_OK, library_->GetTypeInfoOfGuid(guid, info.put()));
    return info;
  }

  static TYPEATTR Attributes(ITypeInfo* info) {
    TYPEATTR* attributes = nullptr;
    EXPECT_EQ(S_OK, info->GetTypeAttr(&attributes));
    TYPEATTR copy = *attributes;
    info->ReleaseTypeAttr(attributes);
    return copy;
  }

  // The vtable half of a dual interface.
  static ComPtr<ITypeInfo> InterfacePart(ITypeInfo* dispatch) {
    HREFTYPE reference = 0;
    EXPECT_EQ(S_OK, dispatch->GetRefTypeOfImplType(-1, &reference));
    ComPtr<ITypeInfo> part;
    EXPECT_EQ(S_OK, dispatch->GetRefTypeInfo(reference, part.put()));
    return part;
  }

  ComPtr<ITypeLib> library_;
};

TEST_F(TypeLibrary, IdentifiesItselfAsMarelcoOneZero) {
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, library_->GetLibAttr(&attributes));
  EXPECT_TRUE(IsEqualGUID(LIBID_Marelco, attributes->guid));
  EXPECT_EQ(1033u, attributes->lcid);
  EXPECT_EQ(1, attributes->wMajorVerNum);
  EXPECT_EQ(0, attributes->wMinorVerNum);
  EXPECT_EQ(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, attributes->syskind);
  library_->ReleaseTLibAttr(attributes);

  Bstr name, help;
  ASSERT_EQ(S_OK, library_->GetDocumentation(-1, name.put(), help.put(), nullptr, nullptr));
  EXPECT_EQ(std::wstring(L"Marelco"), name.get());
  EXPECT_NE(0u, SysStringLen(help.get()));
  EXPECT_EQ(5u, library_->GetTypeInfoCount());
}

TEST_F(TypeLibrary, CarriesTheIdentitiesKindsAndFlagsOfItsTypes) {
  struct Expected {
    const GUID& guid;
    const wchar_t* name;
    TYPEKIND kind;
    WORD flags;
  };
  const Expected types[] = {
      {IID__Kalendo, L"_Kalendo", TKIND_DISPATCH, kDualDispatchFlags},
      {DIID___Kalendo, L"__Kalendo", TKIND_DISPATCH, 0x1090},
      {CLSID_Kalendo, L"Kalendo", TKIND_COCLASS, TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL},
      {IID__ppg, L"_ppg", TKIND_DISPATCH, kDualDispatchFlags},
      {CLSID_ppg, L"ppg", TKIND_COCLASS, 0},
  };
  for (const auto& type : types) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(type.name)));
    auto info = InfoOf(type.guid);
    ASSERT_TRUE(info);
    TYPEATTR attributes = Attributes(info.get());
    EXPECT_TRUE(IsEqualGUID(type.guid, attributes.guid));
    EXPECT_EQ(type.kind, attributes.typekind);
    EXPECT_EQ(type.flags, attributes.wTypeFlags);
    Bstr name;
    info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(std::wstring(type.name), name.get());
  }
  for (const GUID* dual : {&IID__Kalendo, &IID__ppg}) {
    EXPECT_EQ(kDualFlags, Attributes(InterfacePart(InfoOf(*dual).get()).get()).wTypeFlags);
  }
  static_assert((TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION |
                 TYPEFLAG_FDISPATCHABLE) == kDualFlags);
  static_assert((TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE) == 0x1090);
}

TEST_F(TypeLibrary, ClassesImplementTheirDefaultAndSourceInterfaces) {
  struct Implemented {
    const GUID& coclass;
    std::vector<std::pair<std::wstring, int>> interfaces;  // name, IMPLTYPEFLAGS
  };
  const Implemented classes[] = {
      {CLSID_Kalendo, {{L"_Kalendo", IMPLTYPEFLAG_FDEFAULT}, {L"__Kalendo", IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE}}},
      {CLSID_ppg, {{L"_ppg", IMPLTYPEFLAG_FDEFAULT}}},
  };
  for (const auto& coclass : classes) {
    auto info = InfoOf(coclass.coclass);
    ASSERT_EQ(coclass.interfaces.size(), Attributes(info.get()).cImplTypes);
    for (UINT index = 0; index < coclass.interfaces.size(); ++index) {
      HREFTYPE reference = 0;
      ASSERT_EQ(S_OK, info->GetRefTypeOfImplType(index, &reference));
      ComPtr<ITypeInfo> implemented;
      ASSERT_EQ(S_OK, info->GetRefTypeInfo(reference, implemented.put()));
      Bstr name;
      implemented->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
      INT flags = 0;
      info->GetImplTypeFlags(index, &flags);
      EXPECT_EQ(coclass.interfaces[index], std::make_pair(std::wstring(name.get()), static_cast<int>(flags)));
    }
  }
}

TEST_F(TypeLibrary, KalendoInterfaceHasEveryMemberInTableOrder) {
  auto dispatch = InfoOf(IID__Kalendo);
  auto vtable = InterfacePart(dispatch.get());
  EXPECT_EQ(TKIND_INTERFACE, Attributes(vtable.get()).typekind);
  ExpectMembers(vtable.get(), ExpectedAccessors());

  // The first own member follows the seven of IDispatch in the interface table.
  FUNCDESC* first = nullptr;
  ASSERT_EQ(S_OK, vtable->GetFuncDesc(0, &first));
  EXPECT_EQ(static_cast<SHORT>(7 * sizeof(void*)), first->oVft);
  vtable->ReleaseFuncDesc(first);

  // Text is the default member of the dispatch view.
  MEMBERID id = 1;
  LPOLESTR name = const_cast<LPOLESTR>(L"text");
  EXPECT_EQ(S_OK, dispatch->GetIDsOfNames(&name, 1, &id));
  EXPECT_EQ(DISPID_VALUE, id);
}

TEST_F(TypeLibrary, EventInterfaceHasTheEightEvents) {
  auto events = InfoOf(DIID___Kalendo);
  EXPECT_EQ(0, Attributes(events.get()).cVars);
  ExpectMembers(events.get(), ExpectedEvents());
}

TEST_F(TypeLibrary, PropertyPageInterfaceHasNoMembersOfItsOwn) {
  auto vtable = InterfacePart(InfoOf(IID__ppg).get());
  EXPECT_EQ(0, Attributes(vtable.get()).cFuncs);
  EXPECT_EQ(0, Attributes(vtable.get()).cVars);
}

}  // namespace
}  // namespace marelco
