#include "platform/ui/LineStore.h"

namespace ui {

std::string_view TLineStore::Line(std::size_t i) const {
    return std::string_view(FText).substr(Start(i), FEnds[i] - Start(i));
}

void TLineStore::Shift(std::size_t from, std::ptrdiff_t by) {
    for (std::size_t k = from; k < FEnds.size(); ++k) FEnds[k] += by;
}

void TLineStore::Insert(std::size_t i, std::string_view s) {
    const std::size_t at = Start(i);
    FText.insert(at, s);
    FEnds.insert(FEnds.begin() + static_cast<std::ptrdiff_t>(i), at + s.size());
    Shift(i + 1, static_cast<std::ptrdiff_t>(s.size()));
}

void TLineStore::Replace(std::size_t i, std::string_view s) {
    const std::size_t at = Start(i), old = FEnds[i] - at;
    FText.replace(at, old, s);
    Shift(i, static_cast<std::ptrdiff_t>(s.size()) - static_cast<std::ptrdiff_t>(old));
}

void TLineStore::Erase(std::size_t i) {
    const std::size_t at = Start(i), old = FEnds[i] - at;
    FText.erase(at, old);
    FEnds.erase(FEnds.begin() + static_cast<std::ptrdiff_t>(i));
    Shift(i, -static_cast<std::ptrdiff_t>(old));
}

void TLineStore::Clear() {
    // The memory goes too: a log cleared after a long session gives it back.
    std::string().swap(FText);
    std::vector<std::size_t>().swap(FEnds);
}

}  // namespace ui
