// Kalendo's picture for containers that show it without its window: OleDraw into device contexts of other
// mapping modes, and IDataObject's enhanced metafile and metafile picture, compared with the live window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "com/com_ptr.h"
#include "package/marelco_typelib.h"
#include "tests/package/ocx_path.h"
#include "tests/package/sinks.h"
#include "tests/package/site.h"
#include "tests/win32/pixels.h"
#include "tests/win32/window_test_support.h"

namespace marelco {
namespace {

using testing_sinks::DataSink;
using testing_sinks::StackObject;
using testing_site::Site;
using win32::testing::Pixels;
using win32::testing::Pump;

RECT Scaled(const RECT& rect, LONG factor) {
  return {rect.left * factor, rect.top * factor, rect.right * factor, rect.bottom * factor};
}

void ExpectNear(const RECT& expected, const RECT& actual, LONG tolerance, const char* what) {
  EXPECT_NEAR(expected.left, actual.left, tolerance) << what;
  EXPECT_NEAR(expected.top, actual.top, tolerance) << what;
  EXPECT_NEAR(expected.right, actual.right, tolerance) << what;
  EXPECT_NEAR(expected.bottom, actual.bottom, tolerance) << what;
}

// A Kalendo in place in the shared form, inactive (its text box without the focus, so without a caret).
class Picture : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    HWND form = win32::testing::TestForm::Shared().hwnd();
    site_.window = form;
    site_.frame.window = form;
    control_ = NewKalendo();
    ASSERT_TRUE(control_);
    object_ = control_.query<IOleObject>();
    ASSERT_EQ(S_OK, object_->SetClientSite(&site_));
    ASSERT_EQ(S_OK, control_.query<IPersistStreamInit>()->InitNew());
    ASSERT_EQ(S_OK, control_->put_Text(Bstr(std::wstring_view(L"24/12/2031")).get()));
    ASSERT_EQ(S_OK, object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site_, 0, form, nullptr));
    SetFocus(win32::testing::TestForm::Shared().other());
    ASSERT_EQ(S_OK, control_.query<IOleWindow>()->GetWindow(&surface_));
    RedrawWindow(surface_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    GetClientRect(surface_, &client_);
  }

  void TearDown() override {
    if (object_) {
      object_->Close(OLECLOSE_NOSAVE);
      object_->SetClientSite(nullptr);
    }
    object_.reset();
    control_.reset();
    OleUninitialize();
  }

  // The surface's pixels on the screen.
  Pixels LiveWindow() const {
    return Pixels::Drawn(client_.right, client_.bottom, [&](HDC dc) {
      HDC window = GetDC(surface_);
      BitBlt(dc, 0, 0, client_.right, client_.bottom, window, 0, 0, SRCCOPY);
      ReleaseDC(surface_, window);
    });
  }

  // The inside of the text box, within the surface, without its border: where the date's text is.
  RECT TextArea() const {
    HWND edit = FindWindowExW(surface_, nullptr, L"Edit", nullptr);
    RECT area = {};
    GetClientRect(edit, &area);
    MapWindowPoints(edit, surface_, reinterpret_cast<POINT*>(&area), 2);
    InflateRect(&area, -1, -1);
    return area;
  }

  Pixels Played(const std::function<void(HDC, const RECT&)>& play) const {
    return Pixels::Drawn(client_.right, client_.bottom, [&](HDC dc) { play(dc, client_); });
  }

  // A control's view drawn over the surface's size.
  Pixels Viewed(const ComPtr<_Kalendo>& control) const {
    return Played([&](HDC dc, const RECT& bounds) {
      EXPECT_EQ(S_OK, OleDraw(control.get(), DVASPECT_CONTENT, dc, &bounds));
    });
  }

  // The form's pixels in columns of the control's place, as the screen shows them.
  std::vector<std::uint32_t> OnTheForm(LONG from, LONG to) const {
    HWND form = win32::testing::TestForm::Shared().hwnd();
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    const LONG top = site_.position.top, height = site_.position.bottom - top;
    return Pixels::Drawn(to - from, height, [&](HDC dc) {
      HDC window = GetDC(form);
      BitBlt(dc, 0, 0, to - from, height, window, from, top, SRCCOPY);
      ReleaseDC(form, window);
    }).data;
  }

  // Advises a sink of a control's view and data.
  static void Advise(const ComPtr<_Kalendo>& control, DataSink& sink, DWORD viewFlags = 0) {
    ASSERT_EQ(S_OK, control.query<IViewObject2>()->SetAdvise(DVASPECT_CONTENT, viewFlags, &sink));
    FORMATETC format = {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    DWORD connection = 0;
    ASSERT_EQ(S_OK, control.query<IDataObject>()->DAdvise(&format, 0, &sink, &connection));
  }

  STGMEDIUM Data(CLIPFORMAT format, DWORD tymed) {
    FORMATETC request = {format, nullptr, DVASPECT_CONTENT, -1, tymed};
    STGMEDIUM medium = {};
    EXPECT_EQ(S_OK, control_.query<IDataObject>()->GetData(&request, &medium));
    EXPECT_EQ(tymed, medium.tymed);
    return medium;
  }

  Site site_;
  DataSink sink_;  // outlives the control it is advised of
  ComPtr<_Kalendo> control_;
  ComPtr<IOleObject> object_;
  HWND surface_ = nullptr;
  RECT client_ = {};
};

TEST_F(Picture, OleDrawAndBothMetafilesShowTheTextWhereTheWindowShows) {
  const RECT area = TextArea();
  const Pixels window = LiveWindow();
  const RECT live = window.DarkBox(area);
  ASSERT_LT(live.left + 20, live.right) << "the live window shows the date";
  ASSERT_LT(live.top + 4, live.bottom);

  const RECT drawn = Played([&](HDC dc, const RECT& bounds) {
    EXPECT_EQ(S_OK, OleDraw(control_.get(), DVASPECT_CONTENT, dc, &bounds));
  }).DarkBox(area);
  ExpectNear(live, drawn, 1, "OleDraw into a memory bitmap");

  STGMEDIUM enhanced = Data(CF_ENHMETAFILE, TYMED_ENHMF);
  const Pixels enhancedPicture = Played([&](HDC dc, const RECT& bounds) {
    EXPECT_TRUE(PlayEnhMetaFile(dc, enhanced.hEnhMetaFile, &bounds));
  });
  EXPECT_TRUE(std::ranges::equal(window.data, enhancedPicture.data, [](auto a, auto b) { return !((a ^ b) & 0xFFFFFF); }))
      << "played at the window's size, it is the window's every pixel (the spinner's alpha aside)";
  ENHMETAHEADER header = {};
  GetEnhMetaFileHeader(enhanced.hEnhMetaFile, sizeof header, &header);
  SIZEL extent = {};
  ASSERT_EQ(S_OK, object_->GetExtent(DVASPECT_CONTENT, &extent));
  EXPECT_NEAR(extent.cx, header.rclFrame.right - header.rclFrame.left, 2) << "the frame is the extent in HIMETRIC";
  EXPECT_NEAR(extent.cy, header.rclFrame.bottom - header.rclFrame.top, 2);
  ReleaseStgMedium(&enhanced);

  STGMEDIUM metafile = Data(CF_METAFILEPICT, TYMED_MFPICT);
  const auto* picture = static_cast<const METAFILEPICT*>(GlobalLock(metafile.hMetaFilePict));
  ASSERT_TRUE(picture);
  EXPECT_EQ(MM_ANISOTROPIC, picture->mm);
  EXPECT_EQ(extent.cx, picture->xExt);
  EXPECT_EQ(extent.cy, picture->yExt);
  const RECT metafileBox = Played([&](HDC dc, const RECT& bounds) {
    SetMapMode(dc, MM_ANISOTROPIC);
    SetViewportExtEx(dc, bounds.right, bounds.bottom, nullptr);
    EXPECT_TRUE(PlayMetaFile(dc, picture->hMF));
  }).DarkBox(area);
  ExpectNear(live, metafileBox, 1, "the metafile picture played back");
  GlobalUnlock(metafile.hMetaFilePict);
  ReleaseStgMedium(&metafile);
}

// A printer or a document draws in HIMETRIC, whose y axis points up: the picture fills the bounds given in
// those units, here twice the control's size.
TEST_F(Picture, AHimetricDeviceContextScalesThePicture) {
  const RECT area = TextArea();
  const Pixels window = LiveWindow();
  const RECT live = window.DarkBox(area);
  const RECT twice = Pixels::Drawn(2 * client_.right, 2 * client_.bottom, [&](HDC dc) {
    SetMapMode(dc, MM_HIMETRIC);
    POINT corners[2] = {{0, 0}, {2 * client_.right, 2 * client_.bottom}};
    DPtoLP(dc, corners, 2);
    ASSERT_GT(corners[0].y, corners[1].y) << "y points up";
    const RECT bounds = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    EXPECT_EQ(S_OK, OleDraw(control_.get(), DVASPECT_CONTENT, dc, &bounds));
  }).DarkBox(Scaled(area, 2));
  ExpectNear(Scaled(live, 2), twice, 3, "twice as large, the right way up");
}

TEST_F(Picture, DataObjectOffersTwoMetafileFormatsAndTellsItsSinksOfChanges) {
  auto data = control_.query<IDataObject>();
  ASSERT_TRUE(data);
  const struct {
    FORMATETC format;
    HRESULT answer;
  } requests[] = {
      {{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF}, S_OK},
      {{CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT}, S_OK},
      {{CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT | TYMED_HGLOBAL}, S_OK},
      {{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, DV_E_FORMATETC},
      {{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, DV_E_TYMED},
      {{CF_ENHMETAFILE, nullptr, DVASPECT_ICON, -1, TYMED_ENHMF}, DV_E_DVASPECT},
      {{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, 0, TYMED_ENHMF}, DV_E_LINDEX},
  };
  for (auto [format, answer] : requests) {
    EXPECT_EQ(answer, data->QueryGetData(&format)) << format.cfFormat << " " << format.tymed;
    STGMEDIUM medium = {};
    const HRESULT got = data->GetData(&format, &medium);
    EXPECT_EQ(answer, got) << format.cfFormat << " " << format.tymed;
    if (SUCCEEDED(got)) ReleaseStgMedium(&medium);
  }

  ComPtr<IEnumFORMATETC> formats;
  ASSERT_EQ(S_OK, data->EnumFormatEtc(DATADIR_GET, formats.put()));
  std::vector<std::pair<CLIPFORMAT, DWORD>> offered;
  FORMATETC format = {};
  while (formats->Next(1, &format, nullptr) == S_OK) offered.push_back({format.cfFormat, format.tymed});
  EXPECT_EQ((std::vector<std::pair<CLIPFORMAT, DWORD>>{{CF_ENHMETAFILE, TYMED_ENHMF}, {CF_METAFILEPICT, TYMED_MFPICT}}),
            offered);

  DataSink sink;
  FORMATETC enhanced = {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
  DWORD connection = 0;
  ASSERT_EQ(S_OK, data->DAdvise(&enhanced, 0, &sink, &connection));
  ASSERT_EQ(S_OK, control_->put_Text(Bstr(std::wstring_view(L"25/12/2031")).get()));
  EXPECT_EQ(std::vector<DWORD>{TYMED_ENHMF}, sink.changes) << "the new picture comes with the change";
  ASSERT_EQ(S_OK, data->DUnadvise(connection));
  ASSERT_EQ(S_OK, control_->put_Text(Bstr(std::wstring_view(L"26/12/2031")).get()));
  EXPECT_EQ(1u, sink.changes.size()) << "no more after DUnadvise";
  EXPECT_EQ(0u, sink.references);
}

// Each change of what the control shows reaches the view's and the data's sinks once, with events frozen as in a
// designer, and the next picture shows it; each is one that a save must write.
TEST_F(Picture, EveryChangeOfThePictureIsToldOnceAndShown) {
  ComPtr<IFontDisp> fontDisp;
  ASSERT_EQ(S_OK, control_->get_Font(fontDisp.put()));
  auto font = fontDisp.query<IFont>();
  const CY larger = {{200000, 0}};
  const RECT wider = {10, 10, 200, 40};
  const struct {
    const wchar_t* name;
    std::function<HRESULT()> change;
    bool shown, saved;
  } changes[] = {
      {L"BackColor", [&] { return control_->put_BackColor(RGB(250, 200, 0)); }, true, true},
      {L"ForeColor", [&] { return control_->put_ForeColor(RGB(0, 0, 255)); }, true, true},
      {L"Font", [&] { return font->put_Size(larger); }, true, true},  // through the font object itself
      {L"Enabled", [&] { return control_->put_Enabled(VARIANT_FALSE); }, true, true},
      {L"Locked", [&] { return control_->put_Locked(VARIANT_TRUE); }, false, true},  // looks the same
      {L"Formato", [&] { return control_->put_Formato(Bstr(std::wstring_view(L"dd/mmmm/yyyy")).get()); }, true, true},
      {L"Text", [&] { return control_->put_Text(Bstr(std::wstring_view(L"01/02/2003")).get()); }, true, true},
      {L"size", [&] { return control_.query<IOleInPlaceObject>()->SetObjectRects(&wider, &wider); }, true, false},
  };
  Advise(control_, sink_);
  testing_sinks::PropertyNotifySink notified;
  testing_sinks::Connection connection(control_.get(), IID_IPropertyNotifySink, &notified);
  auto persist = control_.query<IPersistStreamInit>();
  ASSERT_EQ(S_OK, control_.query<IOleControl>()->FreezeEvents(TRUE));
  for (const auto& [name, change, shown, saved] : changes) {
    ComPtr<IStream> stream;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
    ASSERT_EQ(S_OK, persist->Save(stream.get(), TRUE));
    const Pixels before = Viewed(control_);
    sink_.changes.clear();
    sink_.views = 0;
    notified.changed.clear();
    ASSERT_EQ(S_OK, change()) << name;
    EXPECT_EQ(1, sink_.views) << name;
    EXPECT_EQ(1u, sink_.changes.size()) << name;
    EXPECT_EQ(shown, before.data != Viewed(control_).data) << name;
    EXPECT_EQ(saved ? S_OK : S_FALSE, persist->IsDirty()) << name;
    EXPECT_EQ(saved, !notified.changed.empty()) << name;
  }
  control_.query<IOleControl>()->FreezeEvents(FALSE);

  DataSink once;  // told at once, and of nothing more
  ASSERT_EQ(S_OK, control_.query<IViewObject2>()->SetAdvise(DVASPECT_CONTENT, ADVF_PRIMEFIRST | ADVF_ONLYONCE, &once));
  ASSERT_EQ(S_OK, control_->put_BackColor(RGB(0, 200, 0)));
  EXPECT_EQ(1, once.views);
  EXPECT_EQ(0u, once.references);
}

// A control never activated lays itself out at a new extent as one in place at that size does, and says so.
TEST_F(Picture, ANeverActivatedControlLaysItselfOutAtItsNewExtent) {
  const RECT place = {10, 10, 250, 58};  // 240 x 48 pixels
  ASSERT_EQ(S_OK, control_.query<IOleInPlaceObject>()->SetObjectRects(&place, &place));
  GetClientRect(surface_, &client_);
  DataSink heard;
  ComPtr<_Kalendo> inactive;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_Kalendo, nullptr, CLSCTX_INPROC_SERVER, IID__Kalendo, inactive.put_void()));
  ASSERT_EQ(S_OK, inactive.query<IPersistStreamInit>()->InitNew());
  ASSERT_EQ(S_OK, inactive->put_Text(Bstr(std::wstring_view(L"24/12/2031")).get()));
  Advise(inactive, heard);
  SIZEL extent = {6350, 1270};
  ASSERT_EQ(S_OK, inactive.query<IOleObject>()->SetExtent(DVASPECT_CONTENT, &extent));
  EXPECT_EQ(1, heard.views);
  EXPECT_EQ(1u, heard.changes.size());
  const RECT area = TextArea();
  ExpectNear(Viewed(control_).DarkBox(area), Viewed(inactive).DarkBox(area), 1, "the text where it stands in place");
}

// A container that shows only the left part of the control (the rest scrolled out of view) keeps its own pixels
// on the right; given the whole, it shows the whole control.
TEST_F(Picture, TheWindowShowsOnlyWhatTheClipRectangleHolds) {
  auto inPlace = control_.query<IOleInPlaceObject>();
  ASSERT_EQ(S_OK, inPlace->InPlaceDeactivate());
  const LONG middle = (site_.position.left + site_.position.right) / 2;
  auto left = [&] { return OnTheForm(site_.position.left, middle); };
  auto right = [&] { return OnTheForm(middle, site_.position.right); };
  const auto formLeft = left(), formRight = right();
  site_.clip.right = middle;
  ASSERT_EQ(S_OK, object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site_, 0, site_.window, nullptr));
  EXPECT_TRUE(formLeft != left()) << "the control in view";
  EXPECT_TRUE(formRight == right()) << "the form's own pixels beside it";
  ASSERT_EQ(S_OK, inPlace->SetObjectRects(&site_.position, &site_.position));
  EXPECT_TRUE(formRight != right()) << "the whole control";
}

}  // namespace
}  // namespace marelco
