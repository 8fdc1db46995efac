#include "platform/ui/RowIndex.h"

namespace ui {

namespace {
std::size_t LowBit(std::size_t k) { return k & (~k + 1); }
}  // namespace

std::uint32_t TRowIndex::Before(std::size_t line) const {
    std::uint32_t sum = 0;
    for (std::size_t k = line; k > 0; k -= LowBit(k)) sum += FTree[k - 1];
    return sum;
}

void TRowIndex::Push(std::uint32_t rows) {
    const std::size_t k = FTree.size() + 1;
    FTree.push_back(rows + Before(k - 1) - Before(k - LowBit(k)));
}

void TRowIndex::Truncate(std::size_t lines) {
    if (lines < FTree.size()) FTree.resize(lines);
}

void TRowIndex::Set(std::size_t line, std::uint32_t rows) {
    const std::uint32_t by = rows - Rows(line);  // modulo 2^32: adding it adds the difference
    for (std::size_t k = line + 1; k <= FTree.size(); k += LowBit(k)) FTree[k - 1] += by;
}

std::size_t TRowIndex::LineOf(std::uint32_t row) const {
    // The most lines whose rows all lie at or before the row: the next line holds it.
    std::size_t lines = 0, step = 1;
    while (step * 2 <= FTree.size()) step *= 2;
    for (; step > 0; step /= 2) {
        if (lines + step <= FTree.size() && FTree[lines + step - 1] <= row) {
            lines += step;
            row -= FTree[lines - 1];
        }
    }
    return lines < FTree.size() ? lines : FTree.empty() ? 0 : FTree.size() - 1;
}

}  // namespace ui
