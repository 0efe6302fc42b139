// A picture in a saved form, checked before the platform's standard picture object reads it. That object
// trusts the sizes and offsets inside the image it is given (Wine's reads past the end of a bitmap whose
// header claims more than is there), so a damaged save must be refused before it gets that far.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace marelco {

// The largest image a saved picture may carry: a mouse icon is a few kilobytes.
constexpr std::uint32_t kMaxSavedPictureSize = 1 << 20;

// Whether the image data of a saved standard picture (what follows its "lt" header) may go to the picture
// object: nothing (the empty picture); a bitmap file, or an icon or cursor file whose images are bitmaps, with
// every size and offset inside lying within the data; or a GIF, JPEG or PNG image or a metafile, which the
// platform reads through decoders that check their own data, so that a form holding one still loads. Anything
// else is refused.
bool IsWholeSavedPicture(std::span<const std::byte> image);

}  // namespace marelco
