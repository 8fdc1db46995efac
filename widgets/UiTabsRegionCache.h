#pragma once
// Regions of tab shapes, kept by tab rectangle in most-recently-used order so that hit
// testing on every mouse move does not rebuild them.
#include <memory>
#include <vector>

#include "platform/ui/Graphics.h"

class TUiTabRegionCacheItem {
public:
    TUiTabRegionCacheItem(const TRect& rect, std::unique_ptr<TRegion> region)
        : Rect(rect), FRegion(std::move(region)) {}
    TRect Rect;
    const TRegion* GetRegion() const { return FRegion.get(); }
    // The old region is freed.
    void SetRegion(std::unique_ptr<TRegion> region) { FRegion = std::move(region); }

private:
    std::unique_ptr<TRegion> FRegion;
};

class TUiTabRegionCache {
public:
    explicit TUiTabRegionCache(int capacity = 1);

    // The region stored for an equal rectangle, or nullptr.
    const TRegion* Find(const TRect& rect);
    // Stores the region at the front; the least recently used item goes past the capacity.
    const TRegion* Add(const TRect& rect, std::unique_ptr<TRegion> region);
    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    int GetCapacity() const { return FCapacity; }
    // -1 keeps every region; 0 or below -1 raises EUiTabControlError.
    void SetCapacity(int capacity);

private:
    void Trim();
    std::vector<std::unique_ptr<TUiTabRegionCacheItem>> FItems;
    int FCapacity = 1;
};
