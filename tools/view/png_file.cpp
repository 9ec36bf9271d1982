// WIC: a bitmap over the DIB's memory, a PNG encoder into a stream in memory,
// one frame in 24-bit colour (the DIB's fourth byte is unused, not
// transparency); the file layer then writes the bytes into place.
#include "png_file.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <cstdio>

#include "error_words.h"
#include "file_access.h"
#include "text_output.h"
#include "wide_path.h"

using Microsoft::WRL::ComPtr;

namespace {

// A system code inside the result in words; the encoder's own codes by number.
std::string Failure(const char *step, HRESULT result) {
    const std::string why =
        HRESULT_FACILITY(result) == FACILITY_WIN32 ? ErrorWords(DWORD(HRESULT_CODE(result)))
        : result == E_OUTOFMEMORY                  ? ErrorWords(ERROR_OUTOFMEMORY)
                                  : "the image encoder's code " + ResultCodeText(result);
    return std::string(step) + " failed (" + why + ")";
}

// The bytes a stream in memory holds.
bool StreamBytes(IStream *stream, std::string &bytes) {
    HGLOBAL memory = nullptr;
    STATSTG about{};
    if (FAILED(GetHGlobalFromStream(stream, &memory)) ||
        FAILED(stream->Stat(&about, STATFLAG_NONAME))) {
        return false;
    }
    const void *data = GlobalLock(memory);
    if (data == nullptr) {
        return false;
    }
    bytes.assign(static_cast<const char *>(data), size_t(about.cbSize.QuadPart));
    GlobalUnlock(memory);
    return true;
}

// The picture as PNG bytes; the step that failed in error.
bool Encode(const BackBuffer &buffer, std::string &bytes, std::string &error) {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmap> bitmap;
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    const UINT stride = UINT(buffer.width) * 4;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&factory));
    const char *step = "starting the image encoder";
    if (SUCCEEDED(result)) {
        step = "taking the picture";
        result = factory->CreateBitmapFromMemory(
            UINT(buffer.width), UINT(buffer.height), GUID_WICPixelFormat32bppBGR, stride,
            stride * UINT(buffer.height), reinterpret_cast<BYTE *>(buffer.pixels), &bitmap);
    }
    if (SUCCEEDED(result)) {
        step = "encoding the PNG";
        result = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    }
    if (SUCCEEDED(result)) {
        result = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    }
    if (SUCCEEDED(result)) {
        result = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
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
        result = frame->WriteSource(bitmap.Get(), nullptr);
    }
    if (SUCCEEDED(result)) {
        result = frame->Commit();
    }
    if (SUCCEEDED(result)) {
        result = encoder->Commit();
    }
    if (SUCCEEDED(result) && !StreamBytes(stream.Get(), bytes)) {
        result = E_FAIL;
    }
    if (FAILED(result)) {
        error = Failure(step, result);
    }
    return SUCCEEDED(result);
}

} // namespace

std::string ResultCodeText(long result) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    return code;
}

bool PngPathUsable(const std::string &path, std::string &error) {
    // Asked first: a device's full path ("\\.\NUL") has no folder part.
    const PathKind kind = KindOfPath(path);
    if (kind != PathKind::File && kind != PathKind::Missing) {
        error = "cannot write the snapshot " + ShownPath(path) + ": " + FileErrorWords(path, 0);
        return false;
    }
    const std::string full = FullPath(path);
    const std::string folder = full.substr(0, full.find_last_of("\\/") + 1);
    if (KindOfPath(folder.empty() ? "." : folder) != PathKind::Folder) {
        error = "cannot write the snapshot " + ShownPath(path) + ": there is no such folder";
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
    std::string bytes;
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool written = Encode(buffer, bytes, error);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    if (written && WriteReplacing(path, bytes, true, error) != WriteOutcome::Written) {
        written = false;
    }
    if (!written) {
        error = "cannot write the snapshot " + ShownPath(path) + ": " + error;
    }
    return written;
}
