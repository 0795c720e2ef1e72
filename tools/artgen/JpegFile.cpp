#include "tools/artgen/JpegFile.h"

#include <objidl.h>
#include <wincodec.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace artgen {

namespace {

// Owns one COM interface pointer.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_ != nullptr) {
            p_->Release();
        }
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T** Out() { return &p_; }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }

  private:
    T* p_ = nullptr;
};

void Check(HRESULT result, const char* step) {
    if (FAILED(result)) {
        char code[16] = {};
        wsprintfA(code, "%08lX", static_cast<unsigned long>(result));
        throw std::runtime_error(std::string("JPEG encoder: ") + step + " failed (" + code + ")");
    }
}

// COM for the generator's one thread, from the first JPEG to the end of the run.
void EnsureCom() {
    static const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (FAILED(com) && com != RPC_E_CHANGED_MODE) {
        Check(com, "COM start");
    }
}

// Rows of 24-bit BGR pixels, as the encoder takes them.
std::vector<BYTE> BgrPixels(const Canvas& canvas, UINT stride) {
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * canvas.Height());
    for (int y = 0; y < canvas.Height(); ++y) {
        BYTE* row = pixels.data() + static_cast<size_t>(stride) * y;
        for (int x = 0; x < canvas.Width(); ++x) {
            const Rgb c = canvas.At(x, y);
            row[x * 3] = c.b;
            row[x * 3 + 1] = c.g;
            row[x * 3 + 2] = c.r;
        }
    }
    return pixels;
}

void SetQuality(IPropertyBag2* options, float quality) {
    PROPBAG2 option = {};
    option.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_R4;
    value.fltVal = quality;
    Check(options->Write(1, &option, &value), "setting the quality");
}

Bytes StreamBytes(IStream* stream) {
    STATSTG stat = {};
    Check(stream->Stat(&stat, STATFLAG_NONAME), "measuring the stream");
    Bytes bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER start = {};
    Check(stream->Seek(start, STREAM_SEEK_SET, nullptr), "rewinding the stream");
    ULONG read = 0;
    Check(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read),
          "reading the stream");
    if (read != bytes.size()) {
        throw std::runtime_error("JPEG encoder: short stream");
    }
    return bytes;
}

}  // namespace

Bytes EncodeJpeg(const Canvas& canvas, float quality) {
    if (!canvas.IsOpaque()) {
        throw std::runtime_error("JPEG encoder: a JPEG picture is opaque");
    }
    EnsureCom();
    ComPtr<IWICImagingFactory> factory;
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                           IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Out())),
          "creating the imaging factory");
    ComPtr<IStream> stream;
    Check(CreateStreamOnHGlobal(nullptr, TRUE, stream.Out()), "creating a memory stream");
    ComPtr<IWICBitmapEncoder> encoder;
    Check(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.Out()),
          "creating the encoder");
    Check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache), "starting the file");

    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    Check(encoder->CreateNewFrame(frame.Out(), options.Out()), "creating the frame");
    SetQuality(options.Get(), quality);
    Check(frame->Initialize(options.Get()), "starting the frame");
    const UINT width = static_cast<UINT>(canvas.Width());
    const UINT height = static_cast<UINT>(canvas.Height());
    Check(frame->SetSize(width, height), "sizing the frame");
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    Check(frame->SetPixelFormat(&format), "choosing the pixel format");
    if (!IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) {
        throw std::runtime_error("JPEG encoder: 24-bit BGR pixels not taken");
    }
    const UINT stride = (width * 3 + 3) & ~3u;
    std::vector<BYTE> pixels = BgrPixels(canvas, stride);
    Check(frame->WritePixels(height, stride, static_cast<UINT>(pixels.size()), pixels.data()),
          "writing the pixels");
    Check(frame->Commit(), "finishing the frame");
    Check(encoder->Commit(), "finishing the file");
    return StreamBytes(stream.Get());
}

}  // namespace artgen
