#include "CoveredBounds.h"

#include <algorithm>

namespace mc {

namespace {

// Whether pixels [from, to) of a line are all zero. Whole blocks are or-ed together, a loop
// the compiler turns into vector code, and looked at once per block.
bool emptySpan(const QRgb* line, int from, int to) {
    constexpr int kBlock = 64;
    int x = from;
    while (x < to) {
        const int end = std::min(to, x + kBlock);
        QRgb any = 0;
        for (int i = x; i < end; ++i) {
            any |= line[i];
        }
        if (any != 0) {
            return false;
        }
        x = end;
    }
    return true;
}

const QRgb* lineOf(const QImage& image, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(y));
}

} // namespace

QRect coveredBounds(const QImage& image) {
    if (image.isNull() || image.depth() != 32) {
        return image.rect();
    }
    const int w = image.width();
    const int h = image.height();
    int top = 0;
    while (top < h && emptySpan(lineOf(image, top), 0, w)) {
        ++top;
    }
    if (top == h) {
        return {};
    }
    int bottom = h - 1;
    while (bottom > top && emptySpan(lineOf(image, bottom), 0, w)) {
        --bottom;
    }
    // Between them only the parts outside the bounds found so far need reading.
    int left = w;
    int right = -1;
    for (int y = top; y <= bottom && (left > 0 || right < w - 1); ++y) {
        const QRgb* line = lineOf(image, y);
        int first = 0;
        while (first < left && line[first] == 0) {
            ++first;
        }
        left = std::min(left, first);
        int last = w - 1;
        while (last > right && line[last] == 0) {
            --last;
        }
        right = std::max(right, last);
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace mc
