// The ten report pictures in the program's resources are real JPEG files of the sizes
// the pages lay them out in: decoded by the system's own JPEG decoder.
#include <windows.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "ui/format/ResourceString.h"

namespace {

struct Expected {
    const wchar_t* name;
    UINT width;
    UINT height;
};

constexpr Expected kImages[] = {
    {L"ARROW_LEFTMENU.JPG", 11, 11},
    {L"FOOTER_MIDDLE.JPG", 16, 25},
    {L"HEADING_BG.JPG", 650, 30},
    {L"LEFTMENU_BGSINGLEPX.JPG", 187, 1},
    {L"LEFTMENU_SEPRATIONLINE.JPG", 176, 2},
    {L"PX_IMAGE.JPG", 1, 1},
    {L"REPORT_HEADER_LEFTTEXT.JPG", 253, 70},
    {L"REPORT_HEADER_LEFT_IMAGE.JPG", 80, 70},
    {L"REPORT_HEADER_TOP_MIDDLE.JPG", 16, 70},
    {L"REPORT_HEADER_TOP_RIGHT.JPG", 156, 70},
};

template <typename T>
struct Released {
    T* p = nullptr;
    ~Released() {
        if (p != nullptr) {
            p->Release();
        }
    }
};

class ReportImageResourceTest : public testing::Test {
  protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr,
                                                  CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                                  reinterpret_cast<void**>(&factory_.p)));
    }
    void TearDown() override {
        if (factory_.p != nullptr) {
            factory_.p->Release();
            factory_.p = nullptr;
        }
        CoUninitialize();
    }

    Released<IWICImagingFactory> factory_;
};

TEST_F(ReportImageResourceTest, EveryPictureIsAJpegOfItsSize) {
    HMODULE module = GetResourceModule();
    for (const Expected& image : kImages) {
        SCOPED_TRACE(testing::Message()
                     << std::string(image.name, image.name + wcslen(image.name)));
        HRSRC found = FindResourceW(module, image.name, MAKEINTRESOURCEW(RT_REPORT_IMAGE));
        ASSERT_NE(nullptr, found);
        const DWORD size = SizeofResource(module, found);
        auto* bytes = static_cast<BYTE*>(LockResource(LoadResource(module, found)));
        ASSERT_NE(nullptr, bytes);

        Released<IWICStream> stream;
        ASSERT_HRESULT_SUCCEEDED(factory_.p->CreateStream(&stream.p));
        ASSERT_HRESULT_SUCCEEDED(stream.p->InitializeFromMemory(bytes, size));
        Released<IWICBitmapDecoder> decoder;
        ASSERT_HRESULT_SUCCEEDED(factory_.p->CreateDecoderFromStream(
            stream.p, nullptr, WICDecodeMetadataCacheOnDemand, &decoder.p));
        GUID format = {};
        ASSERT_HRESULT_SUCCEEDED(decoder.p->GetContainerFormat(&format));
        EXPECT_TRUE(IsEqualGUID(GUID_ContainerFormatJpeg, format));
        Released<IWICBitmapFrameDecode> frame;
        ASSERT_HRESULT_SUCCEEDED(decoder.p->GetFrame(0, &frame.p));
        UINT width = 0;
        UINT height = 0;
        ASSERT_HRESULT_SUCCEEDED(frame.p->GetSize(&width, &height));
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.height, height);
    }
}

}  // namespace
