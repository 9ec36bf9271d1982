// WIC: decoder from the file, its first frame converted to 32-bit BGRA.
#include "png_pixels.h"

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include "png_file.h"

using Microsoft::WRL::ComPtr;

bool ReadPng(const std::string &path, Pixels &pixels, std::string &error) {
    std::wstring wide(path.begin(), path.end());
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICBitmapSource> converted;
    GUID container{};
    UINT width = 0, height = 0;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&factory));
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
        result = WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.Get(), &converted);
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
    converted.Reset(); // every object goes before the apartment
    frame.Reset();
    decoder.Reset();
    factory.Reset();
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    if (FAILED(result) && error.empty()) {
        error = "cannot decode " + path + " (" + ResultCodeText(result) + ")";
    }
    return SUCCEEDED(result);
}

uint32_t Rgb(uint32_t colorref) {
    return ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
}
