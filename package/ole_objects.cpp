#include "package/ole_objects.h"

#include <new>

#include "com/com_object.h"

namespace marelco {
namespace {

// Tells a listener of every property change of a font object, for as long as the subscription lives.
class FontChangeSink final : public ComObject<FontChangeSink, IPropertyNotifySink> {
 public:
  explicit FontChangeSink(FontListener& listener) : listener_(listener) {}

  STDMETHODIMP OnChanged(DISPID) override {
    listener_.FontChanged();
    return S_OK;
  }
  STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

 private:
  FontListener& listener_;
};

// The font object's point of its property notifications; null when it has none.
ComPtr<IConnectionPoint> NotificationsOf(const ComPtr<IFont>& font) {
  ComPtr<IConnectionPoint> point;
  auto container = font.query<IConnectionPointContainer>();
  if (container && FAILED(container->FindConnectionPoint(IID_IPropertyNotifySink, point.put()))) point.reset();
  return point;
}

}  // namespace

Font::Attributes OleFont::attributes() const {
  Attributes attributes;
  Bstr name;
  if (SUCCEEDED(font_->get_Name(name.put()))) attributes.name = name.str();
  CY size = {};
  if (SUCCEEDED(font_->get_Size(&size))) attributes.size = static_cast<double>(size.int64) / 10000.0;
  BOOL flag = FALSE;
  if (SUCCEEDED(font_->get_Bold(&flag))) attributes.bold = flag;
  if (SUCCEEDED(font_->get_Italic(&flag))) attributes.italic = flag;
  if (SUCCEEDED(font_->get_Underline(&flag))) attributes.underline = flag;
  if (SUCCEEDED(font_->get_Strikethrough(&flag))) attributes.strikethrough = flag;
  SHORT number = 0;
  if (SUCCEEDED(font_->get_Weight(&number))) attributes.weight = number;
  if (SUCCEEDED(font_->get_Charset(&number))) attributes.charset = number;
  return attributes;
}

void OleFont::SetAttributes(const Attributes& attributes) {
  Bstr name(attributes.name);
  font_->put_Name(name.get());
  CY size = {};
  size.int64 = static_cast<LONGLONG>(attributes.size * 10000.0 + 0.5);
  font_->put_Size(size);
  font_->put_Weight(attributes.weight);
  font_->put_Bold(attributes.bold);
  font_->put_Italic(attributes.italic);
  font_->put_Underline(attributes.underline);
  font_->put_Strikethrough(attributes.strikethrough);
  font_->put_Charset(attributes.charset);
}

// The font object's own connection cookie: the font holds the sink until Unadvise.
Font::Cookie OleFont::Subscribe(FontListener& listener) {
  auto point = NotificationsOf(font_);
  if (!point) return 0;
  ComPtr<IPropertyNotifySink> sink;
  *sink.put() = new FontChangeSink(listener);
  DWORD cookie = 0;
  return SUCCEEDED(point->Advise(sink.get(), &cookie)) ? cookie : 0;
}

void OleFont::Unsubscribe(Cookie cookie) {
  if (!cookie) return;
  if (auto point = NotificationsOf(font_)) point->Unadvise(cookie);
}

bool OlePicture::IsEmpty() const {
  auto picture = picture_.query<IPicture>();
  SHORT type = PICTYPE_NONE;
  OLE_HANDLE handle = 0;
  return !picture || FAILED(picture->get_Type(&type)) || type == PICTYPE_NONE || type == PICTYPE_UNINITIALIZED ||
         FAILED(picture->get_Handle(&handle)) || handle == 0;
}

std::shared_ptr<OleFont> MakeOleFont(const Font::Attributes& attributes) {
  Bstr name(attributes.name);
  FONTDESC description = {};
  description.cbSizeofstruct = sizeof description;
  description.lpstrName = name.get();
  description.cySize.int64 = static_cast<LONGLONG>(attributes.size * 10000.0 + 0.5);
  description.sWeight = attributes.weight;
  description.sCharset = attributes.charset;
  description.fItalic = attributes.italic;
  description.fUnderline = attributes.underline;
  description.fStrikethrough = attributes.strikethrough;
  ComPtr<IFont> font;
  if (FAILED(OleCreateFontIndirect(&description, IID_IFont, font.put_void()))) throw std::bad_alloc();
  if (attributes.bold) font->put_Bold(TRUE);
  return std::make_shared<OleFont>(std::move(font));
}

ComPtr<IFontDisp> ToFontDisp(const std::shared_ptr<Font>& font) {
  if (!font) return {};
  if (auto* ole = dynamic_cast<OleFont*>(font.get())) return ole->dispatch();
  return MakeOleFont(font->attributes())->dispatch();
}

std::shared_ptr<Font> FromFontDisp(IUnknown* font) {
  if (!font) return nullptr;
  ComPtr<IFont> ole;
  if (FAILED(font->QueryInterface(IID_IFont, ole.put_void()))) return nullptr;
  return std::make_shared<OleFont>(std::move(ole));
}

ComPtr<IPictureDisp> MakeEmptyPictureDisp() {
  PICTDESC description = {};
  description.cbSizeofstruct = sizeof description;
  description.picType = PICTYPE_NONE;
  ComPtr<IPictureDisp> picture;
  if (FAILED(OleCreatePictureIndirect(&description, IID_IPictureDisp, FALSE, picture.put_void())))
    throw std::bad_alloc();
  return picture;
}

std::shared_ptr<Picture> FromPictureDisp(IUnknown* picture) {
  if (!picture) return nullptr;
  ComPtr<IPictureDisp> ole;
  if (FAILED(picture->QueryInterface(IID_IPictureDisp, ole.put_void()))) return nullptr;
  return std::make_shared<OlePicture>(std::move(ole));
}

}  // namespace marelco
