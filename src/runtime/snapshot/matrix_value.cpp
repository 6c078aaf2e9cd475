#include "runtime/snapshot/matrix_value.h"

#include <algorithm>


namespace tw {

std::vector<MatrixValue> MatrixValue::allOf(const Pool15& pool, const ElementReader& element) {
    std::vector<MatrixValue> matrices;
    for (int m = 0; m < 5; ++m) {
        const auto i = static_cast<std::size_t>(m);
        MatrixValue matrix;
        matrix.index = m;
        matrix.rows = pool.rows[i];
        matrix.cols = pool.cols[i];
        matrix.first = pool.starts[i];
        matrix.isResult = pool.result == m;
        if (matrix.rows * matrix.cols <= kMaxListedElements) {
            for (int r = 1; r <= matrix.rows; ++r) {
                for (int c = 1; c <= matrix.cols; ++c) {
                    if (auto value = element(m, r, c)) matrix.values.push_back(std::move(*value));
                }
            }
        }
        matrices.push_back(std::move(matrix));
    }
    return matrices;
}

std::string MatrixValue::letter() const {
    return matrixLetter(index);
}

std::optional<RegisterValue> MatrixValue::value(int row, int col) const {
    // A column beyond `cols` would otherwise read an element of the next row.
    if (row < 1 || row > rows || col < 1 || col > cols) return std::nullopt;
    const long long at = static_cast<long long>(row - 1) * cols + (col - 1);
    if (at < 0 || at >= static_cast<long long>(values.size())) return std::nullopt;
    return values[static_cast<std::size_t>(at)];
}

std::string MatrixValue::copyText() const {
    std::string text;
    const int rowCount = std::max(rows, 1);
    const int colCount = std::max(cols, 1);
    for (int r = 1; r <= rowCount; ++r) {
        if (r > 1) text += '\n';
        for (int c = 1; c <= colCount; ++c) {
            if (c > 1) text += '\t';
            if (const auto element = value(r, c)) text += element->text;
        }
    }
    return text;
}

} // namespace tw
