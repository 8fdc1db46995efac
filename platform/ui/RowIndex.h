#pragma once
// The rows of a view's lines and the row each line begins at, for a view that knows some
// lines' rows only as an estimate: a line's count is changed, the row it begins at is read
// and the line at a row is found in time logarithmic in the lines (a Fenwick tree of the
// counts), so that a long text never needs a pass over all its lines for one of them.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ui {

class TRowIndex {
public:
    std::size_t Count() const { return FTree.size(); }
    void Push(std::uint32_t rows);
    // Keeps the first lines only.
    void Truncate(std::size_t lines);
    void Set(std::size_t line, std::uint32_t rows);
    std::uint32_t Rows(std::size_t line) const { return Before(line + 1) - Before(line); }
    // The rows of the lines before this one: the row it begins at.
    std::uint32_t Before(std::size_t line) const;
    std::uint32_t Total() const { return Before(Count()); }
    // The line that holds the row; the last line for a row past them all, 0 without lines.
    std::size_t LineOf(std::uint32_t row) const;

private:
    // Entry k holds the rows of the lines from k + 1 - L to k, L being the lowest set bit of
    // k + 1: an entry depends on no line after it.
    std::vector<std::uint32_t> FTree;
};

}  // namespace ui
