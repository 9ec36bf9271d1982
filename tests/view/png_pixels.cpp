// WIC: decoder from the file, its first frame converted to 32-bit BGRA.
#include "png_pixels.h"

#include <windows.h>
#include <wincodec.h>

#include <cstdio>

namespace {

template <typename T> void Release(T *object) {
    if (object != nullptr) {
        object->Release();
    }
}

} // namespace

bool ReadPng(const std::string &path, Pixels &pixels, std::string &error) {
    std::wstring wide(path.begin(), path.end());
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory *factory = nullptr;
    IWICBitmapDecoder *decoder = nullptr;
    IWICBitmapFrameDecode *frame = nullptr;
    IWICBitmapSource *converted = nullptr;
    GUID container{};
    UINT width = 0, height = 0;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void **>(&factory));
    if (SUCCEEDED(result)) {
        result = factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ,
                                                    WICDecodeMetadataCacheOnDemand, &decoder);
    }
    if (SUCCEEDED(result)) {
        result = decoder->GetContainerFormat(&container);
    }
    if (SUCCEEDED(result) && container != GUID_ContainerFormatPng) {
        result = E_FAIL;
        error = path + " is a picture, but no PNG";
    }
    if (SUCCEEDED(result)) {
        result = decoder->GetFrame(0, &frame);
    }
    if (SUCCEEDED(result)) {
        result = WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame, &converted);
    }
    if (SUCCEEDED(result)) {
        result = converted->GetSize(&width, &height);
    }
    if (SUCCEEDED(result)) {
        pixels.width = int(width);
        pixels.height = int(height);
        pixels.rgb.assign(size_t(width) * height, 0);
        result = converted->CopyPixels(nullptr, width * 4, width * height * 4,
                                       reinterpret_cast<BYTE *>(pixels.rgb.data()));
    }
    // BGRA in memory is 0xAARRGGBB as a number.
    for (uint32_t &pixel : pixels.rgb) {
        pixels.opaque = pixels.opaque && (pixel >> 24) == 0xFF;
        pixel &= 0x00FFFFFF;
    }
    Release(converted);
    Release(frame);
    Release(decoder);
    Release(factory);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    if (FAILED(result) && error.empty()) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
        error = "cannot decode " + path + " (" + code + ")";
    }
    return SUCCEEDED(result);
}

uint32_t Rgb(uint32_t colorref) {
    return ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
}
