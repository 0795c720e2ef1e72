#include "flows/VolumeMap.h"

#include <algorithm>

#include "framework/DeviceContexts.h"
#include "res/resource.h"

namespace svc = vantrel::service;

CVolmeMap::CVolmeMap() = default;

CVolmeMap::~CVolmeMap() = default;

int CVolmeMap::GetCellCount() {
    return EnsureGrid() ? grid_.CellCount() : 0;
}

bool CVolmeMap::EnsureGrid() {
    if (gridFixed_) {
        return true;
    }
    if (Handle() == nullptr) {
        return false;
    }
    const RECT client = ClientRect();
    grid_ = GridForClientSize(client.right - client.left, client.bottom - client.top);
    gridFixed_ = true;

    fw::ClientDC screen(Handle());
    sprites_.Reset(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_MAP_SPRITES), IMAGE_BITMAP, 0, 0, 0)));
    spriteDc_.emplace(screen.Get());
    if (!sprites_ || !*spriteDc_ || !spriteDc_->Select(sprites_.Get())) {
        spriteDc_.reset();
    }
    return true;
}

bool CVolmeMap::FetchMap() {
    const int count = GetCellCount();
    if (count <= 0) {
        cells_.clear();
        return false;
    }
    cells_.assign(static_cast<std::size_t>(count), svc::MapCell{});
    if (service_ == nullptr || service_->GetVolumeMap(cells_.data(), count) == 0) {
        // The service answered nothing: the grid shows free space, and the cache
        // keeps the last map it received rather than a blank one.
        std::fill(cells_.begin(), cells_.end(), svc::MapCell{});
        return false;
    }
    if (cache_ != nullptr) {
        cache_->Store(cells_, driveLetter_);
    }
    return true;
}

void CVolmeMap::DrawCells(HDC dc) {
    if (dc == nullptr || !EnsureGrid() || !spriteDc_) {
        return;
    }
    const HDC sprites = spriteDc_->Get();
    const std::size_t available = cells_.size();
    std::size_t index = 0;
    for (int row = 0; row < grid_.rows; ++row) {
        for (int column = 0; column < grid_.columns; ++column, ++index) {
            const svc::CellState state =
                index < available ? svc::CellStateOf(cells_[index]) : svc::CellState::Free;
            BitBlt(dc, column * kCellPitch, row * kCellPitch, kSpriteSize, kSpriteSize, sprites,
                   SpriteLeft(state), 0, SRCCOPY);
        }
    }
}

void CVolmeMap::DrawItem(const DRAWITEMSTRUCT& item) {
    FetchMap();
    DrawCells(item.hDC);
}
