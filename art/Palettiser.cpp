#include "art/Palettiser.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <vector>

namespace {

struct Entry {
    QRgb colour; // premultiplied ARGB
    int count;
};

int channel(QRgb c, int i) {
    switch (i) {
    case 0:
        return qAlpha(c);
    case 1:
        return qRed(c);
    case 2:
        return qGreen(c);
    default:
        return qBlue(c);
    }
}

struct Box {
    std::vector<Entry> entries;

    // The channel with the widest spread and that spread.
    std::pair<int, int> widest() const {
        int best = 0, spread = -1;
        for (int i = 0; i < 4; ++i) {
            int lo = 255, hi = 0;
            for (const Entry& e : entries) {
                lo = std::min(lo, channel(e.colour, i));
                hi = std::max(hi, channel(e.colour, i));
            }
            if (hi - lo > spread) best = i, spread = hi - lo;
        }
        return {best, spread};
    }

    QRgb mean() const {
        std::array<double, 4> sum{};
        double weight = 0;
        for (const Entry& e : entries) {
            for (int i = 0; i < 4; ++i)
                sum[i] += double(channel(e.colour, i)) * e.count;
            weight += e.count;
        }
        auto avg = [&](int i) { return int(sum[i] / weight + 0.5); };
        const int a = avg(0);
        return qRgba(std::min(avg(1), a), std::min(avg(2), a), std::min(avg(3), a), a);
    }
};

std::vector<Box> medianCut(std::vector<Entry> rest, int boxes) {
    std::vector<Box> out;
    if (rest.empty()) return out;
    out.push_back({std::move(rest)});
    while (int(out.size()) < boxes) {
        int pick = -1, pickSpread = 0;
        for (int i = 0; i < int(out.size()); ++i) {
            if (out[i].entries.size() < 2) continue;
            const int spread = out[i].widest().second;
            if (spread > pickSpread) pick = i, pickSpread = spread;
        }
        if (pick < 0) break;
        Box& box = out[pick];
        const int ch = box.widest().first;
        std::sort(box.entries.begin(), box.entries.end(), [ch](const Entry& a, const Entry& b) {
            const int ca = channel(a.colour, ch), cb = channel(b.colour, ch);
            return ca != cb ? ca < cb : a.colour < b.colour;
        });
        qint64 total = 0;
        for (const Entry& e : box.entries)
            total += e.count;
        qint64 run = 0;
        size_t cut = 1;
        for (; cut < box.entries.size() - 1; ++cut) {
            run += box.entries[cut - 1].count;
            if (run * 2 >= total) break;
        }
        Box upper{{box.entries.begin() + qsizetype(cut), box.entries.end()}};
        box.entries.erase(box.entries.begin() + qsizetype(cut), box.entries.end());
        out.push_back(std::move(upper));
    }
    return out;
}

} // namespace

QImage Palettiser::toIndexed(const QImage& frame, int exactRows, int colours) {
    const QImage src = frame.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QHash<QRgb, int> counts;
    for (int y = 0; y < src.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        for (int x = 0; x < src.width(); ++x)
            ++counts[row[x]];
    }
    std::vector<Entry> entries;
    entries.reserve(counts.size());
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        entries.push_back({it.key(), it.value()});
    // Most frequent first; ties by colour so the result never depends on hash order.
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.count != b.count ? a.count > b.count : a.colour < b.colour;
    });

    // Colours of the bottom rows first: they must match other frames pixel for pixel.
    QHash<QRgb, bool> seen;
    for (int y = std::max(0, src.height() - exactRows); y < src.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        for (int x = 0; x < src.width(); ++x)
            if (!seen.contains(row[x])) seen.insert(row[x], true);
    }
    std::stable_partition(entries.begin(), entries.end(),
                          [&](const Entry& e) { return seen.contains(e.colour); });

    QHash<QRgb, int> index;
    QList<QRgb> table;
    // Exact entries first, leaving room for the median-cut ones.
    const int exact = int(entries.size()) <= colours
                          ? int(entries.size())
                          : std::min(std::max(colours * 7 / 16, int(seen.size())), colours - 16);
    for (int i = 0; i < exact; ++i) {
        index.insert(entries[i].colour, i);
        table.push_back(qUnpremultiply(entries[i].colour));
    }
    std::vector<Entry> rest(entries.begin() + exact, entries.end());
    for (const Box& box : medianCut(std::move(rest), colours - exact)) {
        const int slot = int(table.size());
        table.push_back(qUnpremultiply(box.mean()));
        for (const Entry& e : box.entries)
            index.insert(e.colour, slot);
    }

    QImage out(src.size(), QImage::Format_Indexed8);
    out.setColorTable(table);
    for (int y = 0; y < src.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < src.width(); ++x)
            dst[x] = uchar(index.value(row[x]));
    }
    return out;
}
