#include "tools/artgen/ImageFiles.h"

#include <windows.h>

namespace artgen {

namespace {

void Put16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(Bytes& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// BITMAPINFOHEADER fields, little-endian as the file formats want them.
void PutInfoHeader(Bytes& out, int width, int height, int bitCount, uint32_t imageSize,
                   uint32_t colours) {
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bitCount));
    Put32(out, BI_RGB);
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dots per inch
    Put32(out, 2835);
    Put32(out, colours);
    Put32(out, 0);
}

// Rows of a 1-bit mask are padded to 32 bits.
int MaskStride(int width) {
    return ((width + 31) / 32) * 4;
}

void PutMaskRow(Bytes& out, int width, auto isSet) {
    Bytes row(static_cast<size_t>(MaskStride(width)), 0);
    for (int x = 0; x < width; ++x) {
        if (isSet(x)) {
            row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
    }
    out.insert(out.end(), row.begin(), row.end());
}

}  // namespace

Bytes EncodeBmp24(const Canvas& canvas) {
    const int stride = ((canvas.Width() * 3 + 3) / 4) * 4;
    const uint32_t imageSize = static_cast<uint32_t>(stride * canvas.Height());
    Bytes out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + imageSize);
    Put32(out, 0);
    Put32(out, 54);
    PutInfoHeader(out, canvas.Width(), canvas.Height(), 24, imageSize, 0);
    for (int y = canvas.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const Rgb c = canvas.At(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        out.resize(out.size() + static_cast<size_t>(stride - canvas.Width() * 3), 0);
    }
    return out;
}

Bytes EncodeIcon(const std::vector<const Canvas*>& images) {
    Bytes directory;
    Bytes data;
    Put16(directory, 0);
    Put16(directory, 1);  // icon
    Put16(directory, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (const Canvas* image : images) {
        const int w = image->Width();
        const int h = image->Height();
        Bytes entry;
        const uint32_t colourSize = static_cast<uint32_t>(w * h * 4);
        const uint32_t maskSize = static_cast<uint32_t>(MaskStride(w) * h);
        // Icon images are stored with the colour and the mask stacked: double height.
        PutInfoHeader(entry, w, h * 2, 32, colourSize + maskSize, 0);
        for (int y = h - 1; y >= 0; --y) {
            for (int x = 0; x < w; ++x) {
                const Rgb c = image->At(x, y);
                entry.push_back(c.b);
                entry.push_back(c.g);
                entry.push_back(c.r);
                entry.push_back(image->AlphaAt(x, y));
            }
        }
        for (int y = h - 1; y >= 0; --y) {
            PutMaskRow(entry, w, [&](int x) { return image->AlphaAt(x, y) == 0; });
        }
        directory.push_back(static_cast<uint8_t>(w >= 256 ? 0 : w));
        directory.push_back(static_cast<uint8_t>(h >= 256 ? 0 : h));
        directory.push_back(0);  // no palette
        directory.push_back(0);
        Put16(directory, 1);   // planes
        Put16(directory, 32);  // bits per pixel
        Put32(directory, static_cast<uint32_t>(entry.size()));
        Put32(directory, offset);
        offset += static_cast<uint32_t>(entry.size());
        data.insert(data.end(), entry.begin(), entry.end());
    }
    directory.insert(directory.end(), data.begin(), data.end());
    return directory;
}

Bytes EncodeMonochromeCursor(const std::vector<std::string>& rows, int hotX, int hotY) {
    constexpr int kSize = 32;
    auto cell = [&rows](int x, int y) {
        if (y < static_cast<int>(rows.size()) && x < static_cast<int>(rows[y].size())) {
            return rows[y][x];
        }
        return '.';
    };
    Bytes image;
    const uint32_t maskSize = static_cast<uint32_t>(MaskStride(kSize) * kSize);
    PutInfoHeader(image, kSize, kSize * 2, 1, maskSize * 2, 2);
    Put32(image, 0x00000000);  // palette: black
    Put32(image, 0x00FFFFFF);  //          white
    // XOR mask (1 = white), then AND mask (1 = transparent), both bottom-up.
    for (int y = kSize - 1; y >= 0; --y) {
        PutMaskRow(image, kSize, [&](int x) { return cell(x, y) == 'W'; });
    }
    for (int y = kSize - 1; y >= 0; --y) {
        PutMaskRow(image, kSize, [&](int x) { return cell(x, y) != 'W' && cell(x, y) != 'B'; });
    }
    Bytes out;
    Put16(out, 0);
    Put16(out, 2);  // cursor
    Put16(out, 1);
    out.push_back(kSize);
    out.push_back(kSize);
    out.push_back(2);  // colours
    out.push_back(0);
    Put16(out, static_cast<uint32_t>(hotX));  // a cursor entry keeps its hot spot
    Put16(out, static_cast<uint32_t>(hotY));  // where an icon keeps planes and depth
    Put32(out, static_cast<uint32_t>(image.size()));
    Put32(out, 6 + 16);
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

bool WriteWholeFile(const std::wstring& path, const Bytes& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const BOOL closed = CloseHandle(file);
    return ok && closed && written == bytes.size();
}

}  // namespace artgen
