#include "demo/png_writer.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <vector>

#include "win32/handles.h"

namespace marelco::demo {
namespace {

using Microsoft::WRL::ComPtr;

// The pixels of the window's client area, top row first, 32 bits each (blue, green, red, unused).
std::vector<BYTE> CapturePixels(HWND window, int width, int height) {
  win32::WindowDc windowDc(nullptr);  // the screen: what the window really shows, children included
  win32::UniqueMemoryDc memoryDc(windowDc.get());
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  win32::UniqueBitmap bitmap(CreateDIBSection(windowDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return {};
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  {
    win32::ScopedSelection selection(memoryDc.get(), bitmap.get());
    BitBlt(memoryDc.get(), 0, 0, width, height, windowDc.get(), origin.x, origin.y, SRCCOPY);
    GdiFlush();
  }
  const BYTE* first = static_cast<const BYTE*>(bits);
  return std::vector<BYTE>(first, first + static_cast<size_t>(width) * height * 4);
}

HRESULT WritePng(const std::wstring& path, int width, int height, std::vector<BYTE>& pixels) {
  ComPtr<IWICImagingFactory> factory;
  HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
  ComPtr<IWICStream> stream;
  if (SUCCEEDED(result)) result = factory->CreateStream(&stream);
  if (SUCCEEDED(result)) result = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
  ComPtr<IWICBitmapEncoder> encoder;
  if (SUCCEEDED(result)) result = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
  if (SUCCEEDED(result)) result = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
  ComPtr<IWICBitmapFrameEncode> frame;
  if (SUCCEEDED(result)) result = encoder->CreateNewFrame(&frame, nullptr);
  if (SUCCEEDED(result)) result = frame->Initialize(nullptr);
  if (SUCCEEDED(result)) result = frame->SetSize(width, height);
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
  if (SUCCEEDED(result)) result = frame->SetPixelFormat(&format);
  if (SUCCEEDED(result)) {
    result = frame->WritePixels(height, width * 4, static_cast<UINT>(pixels.size()), pixels.data());
  }
  if (SUCCEEDED(result)) result = frame->Commit();
  if (SUCCEEDED(result)) result = encoder->Commit();
  return result;
}

}  // namespace

bool SaveWindowAsPng(HWND window, const std::wstring& path) {
  RECT client;
  GetClientRect(window, &client);
  int width = client.right;
  int height = client.bottom;
  std::vector<BYTE> pixels = CapturePixels(window, width, height);
  return !pixels.empty() && SUCCEEDED(WritePng(path, width, height, pixels));
}

}  // namespace marelco::demo
