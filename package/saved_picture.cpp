#include "package/saved_picture.h"

#include <cstring>
#include <string_view>

namespace marelco {
namespace {

constexpr std::uint32_t kBitmapFileHeaderSize = 14;
constexpr std::uint32_t kIconDirectorySize = 6;
constexpr std::uint32_t kIconEntrySize = 16;
constexpr std::uint32_t kBiRgb = 0, kBiBitfields = 3;

// Little-endian numbers at an offset the caller has checked.
template <typename Number>
Number At(std::span<const std::byte> data, std::size_t offset) {
  Number number;
  std::memcpy(&number, data.data() + offset, sizeof number);
  return number;
}

bool Fits(std::span<const std::byte> data, std::uint64_t offset, std::uint64_t size) {
  return offset <= data.size() && size <= data.size() - offset;
}

// The device-independent bitmap whose header starts the data: the sizes its header, masks, palette and rows
// take. A bitmap of an icon holds two images of half its height, the colours and the AND mask.
struct DibLayout {
  std::uint64_t headerAndPalette = 0;
  std::uint64_t rows = 0;
};

bool ReadDibLayout(std::span<const std::byte> dib, bool isIcon, DibLayout& layout) {
  if (!Fits(dib, 0, 40)) return false;
  const auto headerSize = At<std::uint32_t>(dib, 0);
  const auto width = At<std::int32_t>(dib, 4);
  const auto height = At<std::int32_t>(dib, 8);
  const auto planes = At<std::uint16_t>(dib, 12);
  const auto bits = At<std::uint16_t>(dib, 14);
  const auto compression = At<std::uint32_t>(dib, 16);
  const auto colorsUsed = At<std::uint32_t>(dib, 32);
  const bool knownHeader = headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
                           headerSize == 124;
  const bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  if (!knownHeader || !knownDepth || planes != 1 || width <= 0 || width > 32768 || height == 0 ||
      height < -32768 || height > 32768) {
    return false;
  }
  const bool bitfields = compression == kBiBitfields && (bits == 16 || bits == 32);
  if (compression != kBiRgb && !bitfields) return false;
  const std::uint32_t maxColors = bits <= 8 ? 1u << bits : 256;
  if (colorsUsed > maxColors) return false;
  const std::uint64_t colors = colorsUsed ? colorsUsed : bits <= 8 ? maxColors : 0;
  const std::uint64_t masks = bitfields && headerSize == 40 ? 12 : 0;
  const std::uint64_t absoluteHeight = height < 0 ? -static_cast<std::int64_t>(height) : height;
  const std::uint64_t imageHeight = isIcon ? absoluteHeight / 2 : absoluteHeight;
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
  const std::uint64_t maskStride = (static_cast<std::uint64_t>(width) + 31) / 32 * 4;
  layout.headerAndPalette = headerSize + masks + colors * 4;
  layout.rows = stride * imageHeight + (isIcon ? maskStride * imageHeight : 0);
  return !isIcon || imageHeight > 0;
}

bool IsWholeBitmapFile(std::span<const std::byte> file) {
  if (!Fits(file, 0, kBitmapFileHeaderSize)) return false;
  const auto pixelsAt = At<std::uint32_t>(file, 10);
  DibLayout layout;
  return ReadDibLayout(file.subspan(kBitmapFileHeaderSize), false, layout) &&
         pixelsAt >= kBitmapFileHeaderSize + layout.headerAndPalette && Fits(file, pixelsAt, layout.rows);
}

bool IsWholeIconFile(std::span<const std::byte> file) {
  if (!Fits(file, 0, kIconDirectorySize)) return false;
  const auto type = At<std::uint16_t>(file, 2);
  const auto count = At<std::uint16_t>(file, 4);
  if (At<std::uint16_t>(file, 0) != 0 || (type != 1 && type != 2) || count == 0 ||
      !Fits(file, kIconDirectorySize, static_cast<std::uint64_t>(count) * kIconEntrySize)) {
    return false;
  }
  for (std::uint32_t index = 0; index < count; ++index) {
    const std::size_t entry = kIconDirectorySize + index * kIconEntrySize;
    const auto size = At<std::uint32_t>(file, entry + 8);
    const auto offset = At<std::uint32_t>(file, entry + 12);
    DibLayout layout;
    if (!Fits(file, offset, size) || !ReadDibLayout(file.subspan(offset, size), true, layout) ||
        layout.headerAndPalette + layout.rows > size) {
      return false;
    }
  }
  return true;
}

bool StartsWith(std::span<const std::byte> data, std::string_view magic, std::size_t at = 0) {
  return Fits(data, at, magic.size()) && std::memcmp(data.data() + at, magic.data(), magic.size()) == 0;
}

// Images the picture object decodes with checks of its own, known by their signatures: GIF, JPEG, PNG, a
// placeable Windows metafile and an enhanced metafile.
bool IsSelfCheckedImage(std::span<const std::byte> image) {
  using namespace std::string_view_literals;
  return StartsWith(image, "GIF87a"sv) || StartsWith(image, "GIF89a"sv) || StartsWith(image, "\xFF\xD8\xFF"sv) ||
         StartsWith(image, "\x89PNG\r\n\x1A\n"sv) || StartsWith(image, "\xD7\xCD\xC6\x9A"sv) ||
         (StartsWith(image, "\x01\0\0\0"sv) && StartsWith(image, " EMF"sv, 40));
}

}  // namespace

bool IsWholeSavedPicture(std::span<const std::byte> image) {
  if (image.empty()) return true;
  if (image.size() > kMaxSavedPictureSize || image.size() < 2) return false;
  if (image[0] == std::byte{'B'} && image[1] == std::byte{'M'}) return IsWholeBitmapFile(image);
  return IsSelfCheckedImage(image) || IsWholeIconFile(image);
}

}  // namespace marelco
