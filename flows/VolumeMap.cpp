#include "flows/VolumeMap.h"

#include <algorithm>

#include "framework/DeviceContexts.h"
#include "flows/MapAccessible.h"
#include "res/resource.h"
#include "ui/format/StringPool.h"
#include "ui/format/TextFormat.h"

namespace svc = vantrel::service;

const fw::MessageTable CVolmeMap::kTable{&fw::Control::kTable,
                                         {
                                             fw::OnMessage(WM_GETOBJECT, &CVolmeMap::OnGetObject),
                                         }};

const fw::MessageTable& CVolmeMap::Messages() const {
    return kTable;
}

CVolmeMap::CVolmeMap() = default;

bool CVolmeMap::OnGetObject(fw::Message& m) {
    m.result = AnswerMapAccessibility(
        Handle(), m.wParam, m.lParam, [] { return LoadPooledString(IDS_CAPTION_MAP); },
        [this] { return AccessibleValue(); });
    return m.result != 0;
}

std::wstring CVolmeMap::AccessibleValue() const {
    if (cells_.empty()) {
        return LoadPooledString(IDS_MAP_NOT_READ);
    }
    static constexpr UINT kStateNames[] = {IDS_LEGEND_FREE, IDS_LEGEND_USED, IDS_LEGEND_OPTIMIZED,
                                           IDS_LEGEND_FRAGMENTED, IDS_LEGEND_MFT};
    // In the legend's order.
    static constexpr svc::CellState kOrder[] = {svc::CellState::Fragmented,
                                                svc::CellState::Optimized, svc::CellState::Used,
                                                svc::CellState::Mft, svc::CellState::Free};
    const std::array<int, 5> shares = CellStateShares(cells_);
    std::wstring value;
    for (const svc::CellState state : kOrder) {
        const auto index = static_cast<std::size_t>(state);
        if (!value.empty()) {
            value += L", ";
        }
        value +=
            ReplaceNumbered(LoadPooledString(IDS_MAP_SHARE), LoadPooledString(kStateNames[index]),
                            std::to_wstring(shares[index]));
    }
    return value;
}

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
