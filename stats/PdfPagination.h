#pragma once

#include <QList>

// How the PDF's blocks fall onto A4 pages: a block opens a new page when it does not fit
// under the blocks already there. A block is never split, so one taller than a page still
// gets a page of its own.
namespace PdfPagination {

inline constexpr double pageWidth = 595; // A4 portrait, points
inline constexpr double pageHeight = 842;
inline constexpr double margin = 40;
inline constexpr double contentWidth = pageWidth - 2 * margin;   // 515
inline constexpr double contentHeight = pageHeight - 2 * margin; // 762
inline constexpr double spacing = 16;                            // between blocks

// Block indices per page, in order, from the blocks' measured heights.
QList<QList<int>> pages(const QList<double>& heights);

} // namespace PdfPagination
