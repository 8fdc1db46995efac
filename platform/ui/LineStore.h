#pragma once
// Lines held compactly: one buffer of their text and where each ends. A log that only grows
// so costs its text and a few bytes a line, however long the tool runs.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class TLineStore {
public:
    std::size_t Count() const { return FEnds.size(); }
    std::string_view Line(std::size_t i) const;
    void Insert(std::size_t i, std::string_view s);
    void Replace(std::size_t i, std::string_view s);
    void Erase(std::size_t i);
    void Clear();

private:
    std::size_t Start(std::size_t i) const { return i == 0 ? 0 : FEnds[i - 1]; }
    void Shift(std::size_t from, std::ptrdiff_t by);
    std::string FText;
    std::vector<std::size_t> FEnds;
};

}  // namespace ui
