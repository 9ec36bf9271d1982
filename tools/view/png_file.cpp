// WIC: a bitmap over the DIB's memory, a PNG encoder on a file stream, one
// frame in 24-bit colour (the DIB's fourth byte is unused, not transparency).
#include "png_file.h"

#include <wincodec.h>

#include <cstdio>

#include "text_output.h"
#include "wide_path.h"

namespace {

template <typename T> void Release(T *&object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}

std::string Failure(const char *step, HRESULT result) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    return std::string(step) + " failed (" + code + ")";
}

// One pass of the encoder into path; the step that failed in error.
bool Encode(const BackBuffer &buffer, const std::wstring &path, std::string &error) {
    IWICImagingFactory *factory = nullptr;
    IWICBitmap *bitmap = nullptr;
    IWICStream *stream = nullptr;
    IWICBitmapEncoder *encoder = nullptr;
    IWICBitmapFrameEncode *frame = nullptr;
    const UINT stride = UINT(buffer.width) * 4;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void **>(&factory));
    const char *step = "starting the image encoder";
    if (SUCCEEDED(result)) {
        step = "taking the picture";
        result = factory->CreateBitmapFromMemory(
            UINT(buffer.width), UINT(buffer.height), GUID_WICPixelFormat32bppBGR, stride,
            stride * UINT(buffer.height), reinterpret_cast<BYTE *>(buffer.pixels), &bitmap);
    }
    if (SUCCEEDED(result)) {
        step = "opening the file";
        result = factory->CreateStream(&stream);
    }
    if (SUCCEEDED(result)) {
        result = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
    }
    if (SUCCEEDED(result)) {
        step = "encoding the PNG";
        result = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    }
    if (SUCCEEDED(result)) {
        result = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    }
    if (SUCCEEDED(result)) {
        result = encoder->CreateNewFrame(&frame, nullptr);
    }
    if (SUCCEEDED(result)) {
        result = frame->Initialize(nullptr);
    }
    if (SUCCEEDED(result)) {
        result = frame->SetSize(UINT(buffer.width), UINT(buffer.height));
    }
    if (SUCCEEDED(result)) {
        result = frame->SetPixelFormat(&format);
    }
    if (SUCCEEDED(result)) {
        result = frame->WriteSource(bitmap, nullptr);
    }
    if (SUCCEEDED(result)) {
        result = frame->Commit();
    }
    if (SUCCEEDED(result)) {
        step = "finishing the file";
        result = encoder->Commit();
    }
    if (SUCCEEDED(result)) {
        result = stream->Commit(STGC_DEFAULT);
    }
    Release(frame);
    Release(encoder);
    Release(stream);
    Release(bitmap);
    Release(factory);
    if (FAILED(result)) {
        error = Failure(step, result);
    }
    return SUCCEEDED(result);
}

} // namespace

bool PngPathUsable(const std::string &path, std::string &error) {
    std::wstring full = FullWidePath(Utf8ToWide(AnsiToUtf8(path.c_str(), path.size())));
    std::wstring folder = full.substr(0, full.find_last_of(L"\\/") + 1);
    DWORD attributes = GetFileAttributesW(folder.empty() ? L"." : folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        error = "cannot write the snapshot " + ShownPath(path) + ": there is no such folder";
        return false;
    }
    attributes = GetFileAttributesW(full.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = "cannot write the snapshot " + ShownPath(path) + ": it is a folder";
        return false;
    }
    return true;
}

bool WritePng(const BackBuffer &buffer, const std::string &path, std::string &error) {
    if (buffer.pixels == nullptr) {
        error = "cannot write the snapshot " + ShownPath(path) + ": there is no picture yet";
        return false;
    }
    GdiFlush(); // drawing still queued in GDI reaches the pixels first
    std::wstring target = FullWidePath(Utf8ToWide(AnsiToUtf8(path.c_str(), path.size())));
    std::wstring part = target + L".part";
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool written = Encode(buffer, part, error);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    if (written && !MoveFileExW(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        error = "moving it into place failed (error " + std::to_string(GetLastError()) + ")";
        written = false;
    }
    if (!written) {
        DeleteFileW(part.c_str());
        error = "cannot write the snapshot " + ShownPath(path) + ": " + error;
    }
    return written;
}
