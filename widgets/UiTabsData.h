#pragma once
// One tab of the strip and the list that owns the tabs.
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Types.h"

class TUiTabData {
public:
    std::string Caption;  // may hold "&" accelerators and CR LF line breaks
    TColor Color = static_cast<TColor>(0xFF00000F);  // clBtnFace
    int DisabledIndex = -1;
    bool Enabled = true;
    std::string Hint;
    int ImageIndex = -1;
    TRect Rect;  // in strip coordinates, set by the layout
    bool Visible = true;
    int Row = 0;  // set by the layout; 0 lies next to the card

    // Copies what the user sets, not what the layout computes.
    void Assign(const TUiTabData& source);
};

class TUiTabDataList {
public:
    TUiTabDataList() = default;
    TUiTabDataList(const TUiTabDataList& other) { Assign(other); }
    TUiTabDataList& operator=(const TUiTabDataList& other) {
        if (this != &other) Assign(other);
        return *this;
    }

    int Count() const { return static_cast<int>(FItems.size()); }
    TUiTabData& Items(int i) { return *FItems.at(static_cast<size_t>(i)); }
    const TUiTabData& Items(int i) const { return *FItems.at(static_cast<size_t>(i)); }
    void SetItem(int i, std::unique_ptr<TUiTabData> item);
    TUiTabData& Add();
    TUiTabData& Add(const std::string& caption);
    void Delete(int i);
    void Move(int from, int to);
    void Clear() { FItems.clear(); }
    void Assign(const TUiTabDataList& other);

private:
    std::vector<std::unique_ptr<TUiTabData>> FItems;
};
