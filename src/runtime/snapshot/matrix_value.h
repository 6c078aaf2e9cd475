// One HP-15C matrix with its element values.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "runtime/snapshot/pool15.h"
#include "runtime/snapshot/register_value.h"

namespace tw {

// Identified by `index` in lists.
struct MatrixValue {
    // Above this many elements a matrix is listed without its values.
    static constexpr int kMaxListedElements = 256;

    int index = 0; // 0 to 4 for A to E
    int rows = 0;
    int cols = 0;
    int first = 0; // the matrix's start in the pool
    bool isResult = false;
    std::vector<RegisterValue> values; // row by row

    bool operator==(const MatrixValue&) const = default;

    // Reads one element (matrix 0 to 4, row and column from 1); nothing when
    // the core cannot read it.
    using ElementReader = std::function<std::optional<RegisterValue>(int matrix, int row, int col)>;
    // All five matrices of the pool, the undimensioned ones 0 by 0; elements
    // row by row, unreadable ones left out, none above kMaxListedElements.
    static std::vector<MatrixValue> allOf(const Pool15& pool, const ElementReader& element);

    bool isEmpty() const { return rows * cols == 0; }
    std::string letter() const;
    // Row and column counted from 1; nothing outside the values.
    std::optional<RegisterValue> value(int row, int col) const;
    // Elements' texts joined by tabs, rows joined by line feeds.
    std::string copyText() const;
};

} // namespace tw
