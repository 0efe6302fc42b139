#include "win32/gdi_support.h"

#include <olectl.h>
#include <usp10.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "dates/runtime_error.h"

namespace marelco::win32 {

std::optional<COLORREF> ToColorRef(OleColor color) {
  COLORREF rgb = 0;
  if (FAILED(OleTranslateColor(color, nullptr, &rgb))) return std::nullopt;
  return rgb;
}

COLORREF CheckedColorRef(OleColor color) {
  std::optional<COLORREF> rgb = ToColorRef(color);
  if (!rgb) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
  return *rgb;
}

namespace {

// The live GDI objects of one kind, each under the description it was made from (compared byte for byte).
template <class Description, class Handle>
class SharedObjects {
 public:
  using Shared = std::shared_ptr<std::remove_pointer_t<Handle>>;

  // make(description) gives the new object, already owned.
  template <class Make>
  Shared Get(const Description& description, const Make& make) {
    std::lock_guard lock(mutex_);
    std::erase_if(objects_, [](const auto& entry) { return entry.second.expired(); });
    for (const auto& [known, object] : objects_) {
      if (std::memcmp(&known, &description, sizeof description) != 0) continue;
      if (auto live = object.lock()) return live;  // let go by its last user since the pruning above
    }
    Shared object = make(description);
    objects_.emplace_back(description, object);
    return object;
  }

 private:
  std::mutex mutex_;
  std::vector<std::pair<Description, std::weak_ptr<std::remove_pointer_t<Handle>>>> objects_;
};

void DeleteGdiObject(HGDIOBJ object) {
  if (object) DeleteObject(object);
}

// Wine's uniscribe keeps one script cache per font for the whole process, made by the first thread that lays
// out text in that font and dropped when the last user frees it; two threads that make it at the same moment
// corrupt its list and crash later (Wine 8). So the cache of each of our fonts is made here, under the lock
// of the shared fonts, and kept as long as the font: the EDITs of every thread find it made.
SCRIPT_CACHE MakeScriptCache(HFONT font) {
  SCRIPT_CACHE cache = nullptr;
  UniqueMemoryDc dc(nullptr);
  if (!font || !dc.get()) return cache;
  ScopedSelection selection(dc.get(), font);
  long height = 0;
  ScriptCacheGetHeight(dc.get(), &cache, &height);
  return cache;
}

LOGFONTW LogFont(const Font::Attributes& attributes, int dpiY) {
  LOGFONTW font{};
  font.lfHeight = -static_cast<LONG>(std::lround(attributes.size * dpiY / 72.0));
  font.lfWeight = attributes.bold ? std::max<LONG>(attributes.weight, FW_BOLD) : attributes.weight;
  font.lfItalic = attributes.italic;
  font.lfUnderline = attributes.underline;
  font.lfStrikeOut = attributes.strikethrough;
  font.lfCharSet = static_cast<BYTE>(attributes.charset);  // the precisions, quality and pitch: the defaults, 0
  std::wstring name(attributes.name.begin(), attributes.name.end());
  name.copy(font.lfFaceName, LF_FACESIZE - 1);
  return font;
}

}  // namespace

SharedFont FontHandle(const Font::Attributes& attributes, int dpiY) {
  static SharedObjects<LOGFONTW, HFONT> fonts;
  return fonts.Get(LogFont(attributes, dpiY), [](const LOGFONTW& description) {
    HFONT font = CreateFontIndirectW(&description);
    return SharedFont(font, [cache = MakeScriptCache(font)](HFONT handle) mutable {
      ScriptFreeCache(&cache);
      DeleteGdiObject(handle);
    });
  });
}

HBRUSH SolidBrush::Get(COLORREF color) {
  static SharedObjects<COLORREF, HBRUSH> brushes;
  LOGBRUSH current = {};
  if (!brush_ || !GetObjectW(brush_.get(), sizeof current, &current) || current.lbColor != color)
    brush_ = brushes.Get(color, [](COLORREF rgb) { return SharedBrush(CreateSolidBrush(rgb), DeleteGdiObject); });
  return brush_.get();
}

}  // namespace marelco::win32
