#include "support/dense_code_plain.h"

#include <algorithm>
#include <cstring>

namespace zeseal::densecode::plain {
namespace {

constexpr int kWidth = kDenseCodeWidth;
constexpr int kHeight = kDenseCodeHeight;

// Row addresses of a bottom-up picture: rows[y] is row y counted from the top.
std::array<std::uint8_t*, kHeight> RowTable(std::uint8_t* image) {
    std::array<std::uint8_t*, kHeight> rows{};
    for (int y = 0; y < kHeight; ++y) rows[std::size_t(y)] = image + std::size_t(kHeight - 1 - y) * kWidth;
    return rows;
}

void PaintCell(const std::array<std::uint8_t*, kHeight>& rows, int x, int y, bool black) {
    const std::uint8_t v = black ? kDenseBlack : kDenseWhite;
    rows[std::size_t(y)][x] = v;
    rows[std::size_t(y)][x + 1] = v;
    rows[std::size_t(y + 1)][x] = v;
    rows[std::size_t(y + 1)][x + 1] = v;
}

// Where bit `bit` of stream byte n has its 2 x 2 cell before the shift.
void CellOf(int n, int bit, int& x, int& y) {
    const int band = n / kDenseBandBytes;
    const int t = n % kDenseBandBytes;
    const int d = t / kDenseDoubleRowBytes;
    const int u = t % kDenseDoubleRowBytes;
    const int left = 4 + 120 * band;
    const int top = 4 + 8 * d;
    if (u <= 12) {
        x = left + 8 * u + 2 * (bit % 4);
        y = top + 2 * (bit / 4);
    } else if (u == 13) {
        x = left + 104 + 2 * (bit % 2);
        y = top + 2 * (bit / 2);
    } else {
        x = left + 96 - 8 * (u - 14) + 2 * (bit % 4);
        y = top + 4 + 2 * (bit / 4);
    }
}

std::uint8_t Inverse(const PlainTables& t, std::uint8_t a) {
    return t.antilog[std::size_t(255 - t.log[a])];
}

std::uint8_t Power(const PlainTables& t, int exponent) {
    exponent %= 255;
    if (exponent < 0) exponent += 255;
    return t.antilog[std::size_t(exponent)];
}

std::uint8_t Evaluate(const PlainTables& t, const std::vector<std::uint8_t>& lowFirst, std::uint8_t x) {
    std::uint8_t value = 0;
    for (std::size_t i = lowFirst.size(); i-- > 0;) value = Multiply(t, value, x) ^ lowFirst[i];
    return value;
}

// Corrects codeword v[0..254] (v[0] the coefficient of x^254) in place.
bool CorrectCodeword(const PlainTables& t, std::uint8_t* v) {
    constexpr int kTwoT = kDenseParityBytes;
    std::vector<std::uint8_t> s(kTwoT);
    bool clean = true;
    for (int i = 1; i <= kTwoT; ++i) {
        std::uint8_t value = 0;
        for (int p = 0; p < kDenseCodewordBytes; ++p) value = Multiply(t, value, Power(t, i)) ^ v[p];
        s[std::size_t(i - 1)] = value;
        clean = clean && value == 0;
    }
    if (clean) return true;

    // Berlekamp-Massey.
    std::vector<std::uint8_t> c{1};
    std::vector<std::uint8_t> b{1};
    int l = 0;
    int m = 1;
    std::uint8_t lastDiscrepancy = 1;
    for (int n = 0; n < kTwoT; ++n) {
        std::uint8_t d = s[std::size_t(n)];
        for (int i = 1; i <= l && i < int(c.size()); ++i) d ^= Multiply(t, c[std::size_t(i)], s[std::size_t(n - i)]);
        if (d == 0) {
            ++m;
            continue;
        }
        const std::uint8_t scale = Multiply(t, d, Inverse(t, lastDiscrepancy));
        std::vector<std::uint8_t> next = c;
        if (next.size() < b.size() + std::size_t(m)) next.resize(b.size() + std::size_t(m), 0);
        for (std::size_t i = 0; i < b.size(); ++i) next[i + std::size_t(m)] ^= Multiply(t, scale, b[i]);
        if (2 * l <= n) {
            b = c;
            l = n + 1 - l;
            lastDiscrepancy = d;
            m = 1;
        } else {
            ++m;
        }
        c = next;
    }
    c.resize(std::size_t(l) + 1, 0);
    if (l > kDenseCorrectableErrors) return false;

    // The evaluator S(x) Lambda(x) mod x^55, and Lambda's formal derivative.
    std::vector<std::uint8_t> omega(kTwoT, 0);
    for (int i = 0; i < kTwoT; ++i) {
        for (int j = 0; j <= i && j <= l; ++j) omega[std::size_t(i)] ^= Multiply(t, c[std::size_t(j)], s[std::size_t(i - j)]);
    }
    std::vector<std::uint8_t> derivative(std::size_t(std::max(l, 1)), 0);
    for (int i = 1; i <= l; i += 2) derivative[std::size_t(i - 1)] = c[std::size_t(i)];

    // Chien search: position p is wrong when Lambda(alpha^-(254 - p)) = 0.
    int found = 0;
    std::vector<std::pair<int, std::uint8_t>> fixes;
    for (int p = 0; p < kDenseCodewordBytes; ++p) {
        const std::uint8_t xInverse = Power(t, -(254 - p));
        if (Evaluate(t, c, xInverse) != 0) continue;
        ++found;
        const std::uint8_t denominator = Evaluate(t, derivative, xInverse);
        if (denominator == 0) return false;
        fixes.emplace_back(p, Multiply(t, Evaluate(t, omega, xInverse), Inverse(t, denominator)));
    }
    if (found != l) return false;
    for (const auto& [p, e] : fixes) v[p] ^= e;
    return true;
}

}  // namespace

PlainTables BuildTables() {
    PlainTables t;
    t.antilog[0] = 1;
    for (int i = 1; i <= 510; ++i) {
        int value = t.antilog[std::size_t(i - 1)] * 2;
        if (value >= 256) value ^= 0x11D;
        t.antilog[std::size_t(i)] = static_cast<std::uint8_t>(value);
    }
    t.log[0] = 0;
    for (int v = 1; v <= 255; ++v) {
        for (int i = 0; i <= 255; ++i) {
            if (t.antilog[std::size_t(i)] == v) {
                t.log[std::size_t(v)] = static_cast<std::uint8_t>(i);
                break;
            }
        }
    }
    // Start from 1 and multiply by (alpha^i + x) for i = 1..55.
    std::array<std::uint8_t, 110> poly{};
    poly[0] = 1;
    int degree = 0;
    for (int i = 1; i <= kDenseParityBytes; ++i) {
        std::array<std::uint8_t, 220> product{};
        const std::uint8_t factor[2] = {t.antilog[std::size_t(i)], 1};
        for (int a = 0; a <= degree; ++a) {
            for (int b = 0; b < 2; ++b) product[std::size_t(a + b)] ^= Multiply(t, poly[std::size_t(a)], factor[b]);
        }
        ++degree;
        for (int k = 0; k <= degree; ++k) poly[std::size_t(k)] = product[std::size_t(k)];
    }
    for (int k = 0; k <= kDenseParityBytes; ++k) t.generator[std::size_t(k)] = poly[std::size_t(k)];
    return t;
}

std::uint8_t Multiply(const PlainTables& t, std::uint8_t a, std::uint8_t b) {
    if (a == 0 || b == 0) return 0;
    return t.antilog[std::size_t(t.log[a] + t.log[b])];
}

void RsEncodeBlock(const PlainTables& t, const std::uint8_t* message, int length, std::uint8_t* out) {
    std::uint8_t r[kDenseParityBytes] = {};
    for (int n = 0; n < length; ++n) {
        const std::uint8_t f = message[n] ^ r[54];
        for (int k = 54; k >= 1; --k) r[k] = r[k - 1] ^ Multiply(t, t.generator[std::size_t(k)], f);
        r[0] = Multiply(t, t.generator[0], f);
    }
    std::memcpy(out, message, std::size_t(length));
    for (int k = 0; k < kDenseParityBytes; ++k) out[length + k] = r[54 - k];
}

void InterleaveCodewords(std::uint8_t* buffer) {
    std::vector<std::uint8_t> copy(buffer, buffer + kDenseStreamBytes);
    for (int i = 0; i < kDenseCodewordBytes; ++i) {
        for (int j = 0; j < kDenseBlocks; ++j) buffer[33 * i + j] = copy[std::size_t(255 * j + i)];
    }
}

void ThinDenseImage(std::uint8_t* image) {
    std::vector<std::uint8_t> copyBlock(image, image + kDenseImageBytes);
    const auto rows = RowTable(image);
    const auto copy = RowTable(copyBlock.data());
    for (int y = 1; y <= 127; ++y) {
        for (int x = 0; x <= 2526; ++x) {
            const bool allBlack = copy[std::size_t(y - 1)][x] == kDenseBlack &&
                                  copy[std::size_t(y - 1)][x + 1] == kDenseBlack &&
                                  copy[std::size_t(y)][x] == kDenseBlack &&
                                  copy[std::size_t(y)][x + 1] == kDenseBlack;
            rows[std::size_t(y)][x] = allBlack ? kDenseBlack : kDenseWhite;
        }
    }
    for (int y = 2; y <= 126; y += 2) {
        for (int x = 0; x <= 2524; x += 2) {
            bool allBlack = true;
            for (int yy = y - 1; yy <= y + 1; ++yy) {
                for (int xx = x; xx <= x + 2; ++xx) allBlack = allBlack && rows[std::size_t(yy)][xx] == kDenseBlack;
            }
            if (allBlack) rows[std::size_t(y)][x + 1] = kDenseWhite;
        }
    }
}

std::vector<std::uint8_t> EncodeStream(const std::uint8_t* input) {
    const PlainTables t = BuildTables();
    std::vector<std::uint8_t> buffer(kDenseStreamBytes, 0);
    for (int j = 0; j < kDenseBlocks; ++j) {
        RsEncodeBlock(t, input + 200 * j, 200, buffer.data() + 255 * j);
    }
    std::uint32_t state = 0;
    for (std::size_t p = 0; p < kDenseStreamBytes; ++p) {
        state = state * 1103515245u + 12345u;
        buffer[p] ^= static_cast<std::uint8_t>((state >> 16) & 0x7FFF);
    }
    InterleaveCodewords(buffer.data());
    return buffer;
}

std::vector<std::uint8_t> EncodeDenseCode(const std::uint8_t* input) {
    const std::vector<std::uint8_t> stream = EncodeStream(input);
    std::vector<std::uint8_t> image(kDenseImageBytes, kDenseWhite);
    const auto rows = RowTable(image.data());

    for (int n = 0; n < int(kDenseStreamBytes); ++n) {
        for (int bit = 0; bit < 8; ++bit) {
            int x = 0;
            int y = 0;
            CellOf(n, bit, x, y);
            PaintCell(rows, x, y, (stream[std::size_t(n)] >> bit) & 1);
        }
    }

    for (int w = 0; w < kDenseBands; ++w) {
        const int bw = 120 * w;
        for (int k = 0; k < kDenseRowGroups; ++k) {
            for (int y = 6 + 12 * k; y <= 9 + 12 * k; ++y) {
                for (int x = bw + 114; x <= bw + 117; ++x) rows[std::size_t(y)][x] = kDenseBlack;
            }
            for (int y = 10 + 12 * k; y <= 13 + 12 * k; ++y) {
                for (int x = bw + 118; x <= bw + 121; ++x) rows[std::size_t(y)][x] = kDenseBlack;
            }
        }
    }
    int shift = 12;
    for (int k = 0; k < kDenseRowGroups; ++k) {
        for (int w = 0; w < kDenseBands; ++w) {
            const int left = 4 + 120 * w;
            for (int y = 4 + 12 * k; y <= 15 + 12 * k; ++y) {
                std::uint8_t window[120];
                for (int i = 0; i < 120; ++i) window[(i + shift) % 120] = rows[std::size_t(y)][left + i];
                for (int i = 0; i < 120; ++i) rows[std::size_t(y)][left + i] = window[i];
            }
        }
        shift = (shift + 36) % 120;
    }

    ThinDenseImage(image.data());

    int centre = 7;
    for (int k = 0; k < kDenseRowGroups; ++k) {
        for (int w = 0; w < kDenseBands; ++w) {
            const int bw = 120 * w;
            rows[std::size_t(8 + 12 * k)][bw + centre] = kDenseBlack;
            rows[std::size_t(12 + 12 * k)][bw + centre + 4] = kDenseBlack;
        }
        centre = (centre + 36) % 120;
    }
    for (int x = 0; x < kWidth; ++x) {
        for (int y : {0, 1, 126, 127}) rows[std::size_t(y)][x] = kDenseBlack;
    }
    for (int y = 0; y < kHeight; ++y) {
        for (int x : {0, 1, 2526, 2527}) rows[std::size_t(y)][x] = kDenseBlack;
    }
    return image;
}

bool DecodeDenseCode(const PlainTables& t, std::span<const std::uint8_t> image, std::uint8_t* output) {
    if (image.size() < kDenseImageBytes) return false;
    std::vector<std::uint8_t> copy(image.begin(), image.begin() + std::ptrdiff_t(kDenseImageBytes));
    const auto rows = RowTable(copy.data());
    int shift = 12;
    for (int k = 0; k < kDenseRowGroups; ++k) {
        for (int w = 0; w < kDenseBands; ++w) {
            const int left = 4 + 120 * w;
            for (int y = 4 + 12 * k; y <= 15 + 12 * k; ++y) {
                std::uint8_t window[120];
                for (int i = 0; i < 120; ++i) window[i] = rows[std::size_t(y)][left + (i + shift) % 120];
                for (int i = 0; i < 120; ++i) rows[std::size_t(y)][left + i] = window[i];
            }
        }
        shift = (shift + 36) % 120;
    }

    std::vector<std::uint8_t> stream(kDenseStreamBytes, 0);
    for (int n = 0; n < int(kDenseStreamBytes); ++n) {
        for (int bit = 0; bit < 8; ++bit) {
            int x = 0;
            int y = 0;
            CellOf(n, bit, x, y);
            // Thinning keeps a black cell's lower left pixel.
            if (rows[std::size_t(y + 1)][x] < 128) stream[std::size_t(n)] |= std::uint8_t(1u << bit);
        }
    }

    std::vector<std::uint8_t> buffer(kDenseStreamBytes, 0);
    for (int i = 0; i < kDenseCodewordBytes; ++i) {
        for (int j = 0; j < kDenseBlocks; ++j) buffer[std::size_t(255 * j + i)] = stream[std::size_t(33 * i + j)];
    }
    std::uint32_t state = 0;
    for (std::size_t p = 0; p < kDenseStreamBytes; ++p) {
        state = state * 1103515245u + 12345u;
        buffer[p] ^= static_cast<std::uint8_t>((state >> 16) & 0x7FFF);
    }
    bool all = true;
    for (int j = 0; j < kDenseBlocks; ++j) {
        std::uint8_t* codeword = buffer.data() + 255 * j;
        all = CorrectCodeword(t, codeword) && all;
        std::memcpy(output + 200 * j, codeword, 200);
    }
    return all;
}

}  // namespace zeseal::densecode::plain
