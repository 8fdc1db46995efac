#include "widgets/UiTabsData.h"

#include <cstdio>

#include "widgets/UiTabsTypes.h"

void TUiTabData::Assign(const TUiTabData& source) {
    Caption = source.Caption;
    Color = source.Color;
    ImageIndex = source.ImageIndex;
    DisabledIndex = source.DisabledIndex;
    Enabled = source.Enabled;
    Visible = source.Visible;
    Hint = source.Hint;
}

void TUiTabDataList::SetItem(int i, std::unique_ptr<TUiTabData> item) {
    if (!item) item = std::make_unique<TUiTabData>();
    FItems.at(static_cast<size_t>(i)) = std::move(item);
}

TUiTabData& TUiTabDataList::Add() {
    FItems.push_back(std::make_unique<TUiTabData>());
    return *FItems.back();
}

TUiTabData& TUiTabDataList::Add(const std::string& caption) {
    TUiTabData& t = Add();
    t.Caption = caption;
    return t;
}

void TUiTabDataList::Delete(int i) {
    FItems.erase(FItems.begin() + i);
}

void TUiTabDataList::Move(int from, int to) {
    if (from == to) return;
    auto item = std::move(FItems.at(static_cast<size_t>(from)));
    FItems.erase(FItems.begin() + from);
    FItems.insert(FItems.begin() + to, std::move(item));
}

void TUiTabDataList::Assign(const TUiTabDataList& other) {
    std::vector<std::unique_ptr<TUiTabData>> items;
    items.reserve(other.FItems.size());
    for (const auto& src : other.FItems) {
        auto copy = std::make_unique<TUiTabData>(*src);
        items.push_back(std::move(copy));
    }
    FItems = std::move(items);
}

std::string UiInvalidPageIndexText(int value, int lastIndex) {
    char buf[160];
    std::snprintf(buf, sizeof buf, SUiPageIndexFormat, value, lastIndex);
    return buf;
}
