#include "widgets/UiTabsRegionCache.h"

#include "widgets/UiTabsTypes.h"

TUiTabRegionCache::TUiTabRegionCache(int capacity) {
    SetCapacity(capacity);
}

const TRegion* TUiTabRegionCache::Find(const TRect& rect) {
    for (auto& item : FItems)
        if (item->Rect == rect) return item->GetRegion();
    return nullptr;
}

const TRegion* TUiTabRegionCache::Add(const TRect& rect, std::unique_ptr<TRegion> region) {
    for (size_t i = 0; i < FItems.size(); ++i) {
        if (FItems[i]->Rect == rect) {
            auto item = std::move(FItems[i]);
            FItems.erase(FItems.begin() + static_cast<long>(i));
            item->SetRegion(std::move(region));
            FItems.insert(FItems.begin(), std::move(item));
            return FItems.front()->GetRegion();
        }
    }
    FItems.insert(FItems.begin(), std::make_unique<TUiTabRegionCacheItem>(rect, std::move(region)));
    const TRegion* result = FItems.front()->GetRegion();
    Trim();
    return result;
}

void TUiTabRegionCache::SetCapacity(int capacity) {
    if (capacity != -1 && capacity <= 0) throw EUiTabControlError(SUiTabCacheCapacity);
    FCapacity = capacity;
    Trim();
}

void TUiTabRegionCache::Trim() {
    if (FCapacity == -1) return;
    while (static_cast<int>(FItems.size()) > FCapacity) FItems.pop_back();
}
