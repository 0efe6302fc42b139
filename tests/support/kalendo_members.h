// The members of Kalendo's dispatch interface _Kalendo and the events of its source interface __Kalendo,
// in interface order, with their dispatch identifiers, types and help strings: the one list the type
// library and the dispatch layer are checked against.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace marelco {

enum class MemberKind {
  Method,
  PropertyGetLet,  // read and assigned by value
  PropertyGetSet,  // read and assigned by reference (an object)
  PropertyGet,     // read only
};

enum class MemberType {
  None,  // a method without result
  String,
  Boolean,
  Integer,
  Long,
  Single,
  Color,    // OLE_COLOR
  Font,     // the standard font object
  Picture,  // the standard picture object
};

struct MemberArgument {
  std::string_view name;
  MemberType type;
  bool byReference;
};

struct Member {
  std::string_view name;
  MemberKind kind;
  std::int32_t dispatchId;
  MemberType type;  // of the property, or of a method's result
  std::span<const MemberArgument> arguments;
  std::string_view helpString;  // empty: none
};

struct Event {
  std::string_view name;
  std::int32_t dispatchId;
  std::span<const MemberArgument> arguments;
  std::string_view helpString;
};

namespace members_detail {
inline constexpr MemberArgument kIncremento[] = {{"Incremento", MemberType::Boolean, true}};
inline constexpr MemberArgument kKeyCodeShift[] = {{"KeyCode", MemberType::Integer, true},
                                                   {"Shift", MemberType::Integer, true}};
inline constexpr MemberArgument kKeyAscii[] = {{"KeyAscii", MemberType::Integer, true}};
inline constexpr MemberArgument kMouse[] = {{"Button", MemberType::Integer, true},
                                            {"Shift", MemberType::Integer, true},
                                            {"X", MemberType::Single, true},
                                            {"Y", MemberType::Single, true}};
}  // namespace members_detail

// _Kalendo, a dual interface: each property's accessors share the identifier and help string, the get first.
inline constexpr std::array<Member, 19> kKalendoMembers{{
    {"CambiaFecha", MemberKind::Method, 0x6003000D, MemberType::None, members_detail::kIncremento, ""},
    {"CambiaFecha2", MemberKind::Method, 0x6003000E, MemberType::None, members_detail::kIncremento, ""},
    {"Text", MemberKind::PropertyGetLet, 0, MemberType::String, {},
     "Returns/sets the text contained in the control."},
    {"About", MemberKind::Method, -552, MemberType::None, {}, ""},
    {"BackColor", MemberKind::PropertyGetLet, -501, MemberType::Color, {}, ""},
    {"Enabled", MemberKind::PropertyGetLet, -514, MemberType::Boolean, {},
     "Returns/sets a value that determines whether an object can respond to user-generated events."},
    {"Font", MemberKind::PropertyGetSet, -512, MemberType::Font, {}, "Returns a Font object."},
    {"Formato", MemberKind::PropertyGetLet, 0x68030008, MemberType::String, {}, "Date format"},
    {"ForeColor", MemberKind::PropertyGetLet, -513, MemberType::Color, {},
     "Returns/sets the foreground color used to display text and graphics in an object."},
    {"ToolTipText", MemberKind::PropertyGetLet, 0x68030007, MemberType::String, {},
     "Returns/sets the text displayed when the mouse is paused over the control."},
    {"AnchoMin", MemberKind::Method, 0x60030018, MemberType::Long, {}, ""},
    {"BorderStyle", MemberKind::PropertyGet, -504, MemberType::Integer, {},
     "Returns/sets the border style for an object."},
    {"hdc", MemberKind::PropertyGet, 0x68030006, MemberType::Long, {},
     "Returns a handle (from Microsoft Windows) to the object's device context."},
    {"Locked", MemberKind::PropertyGetLet, 0x68030005, MemberType::Boolean, {},
     "Determines whether a control can be edited."},
    {"MousePointer", MemberKind::PropertyGetLet, 0x68030004, MemberType::Integer, {},
     "Returns/sets the type of mouse pointer displayed when over part of an object."},
    {"MouseIcon", MemberKind::PropertyGetSet, 0x68030003, MemberType::Picture, {}, "Sets a custom mouse icon."},
    {"SelLength", MemberKind::PropertyGetLet, 0x68030002, MemberType::Long, {},
     "Returns/sets the number of characters selected."},
    {"SelStart", MemberKind::PropertyGetLet, 0x68030001, MemberType::Long, {},
     "Returns/sets the starting point of text selected."},
    {"SelText", MemberKind::PropertyGetLet, 0x68030000, MemberType::String, {},
     "Returns/sets the string containing the currently selected text."},
}};

// __Kalendo, a pure dispatch interface; every argument is passed by reference.
inline constexpr std::array<Event, 8> kKalendoEvents{{
    {"Change", 1, {}, "Occurs when the contents of a control have changed."},
    {"DblClick", -601, {},
     "Occurs when the user presses and releases a mouse button and then presses and releases it again over "
     "an object."},
    {"Click", -600, {}, "Occurs when the user presses and then releases a mouse button over an object."},
    {"KeyDown", -602, members_detail::kKeyCodeShift,
     "Occurs when the user presses a key while an object has the focus."},
    {"KeyPress", -603, members_detail::kKeyAscii, "Occurs when the user presses and releases an ANSI key."},
    {"KeyUp", -604, members_detail::kKeyCodeShift,
     "Occurs when the user releases a key while an object has the focus."},
    {"MouseMove", 2, members_detail::kMouse, "Occurs when the user moves the mouse."},
    {"MouseUp", 3, members_detail::kMouse,
     "Occurs when the user releases the mouse button while an object has the focus."},
}};

}  // namespace marelco
