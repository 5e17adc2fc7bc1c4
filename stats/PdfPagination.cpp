#include "stats/PdfPagination.h"

#include <limits>

namespace PdfPagination {

QList<QList<int>> pages(const QList<double>& heights) {
    QList<QList<int>> result;
    double used = std::numeric_limits<double>::infinity(); // the first block opens a page
    for (int i = 0; i < heights.size(); ++i) {
        if (used + heights[i] > contentHeight) {
            result.push_back({});
            used = 0;
        }
        result.back().push_back(i);
        used += heights[i] + spacing;
    }
    return result;
}

} // namespace PdfPagination
