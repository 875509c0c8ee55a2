#include "densecode/reader/reed_solomon_decoder.h"

#include <algorithm>
#include <array>

#include "densecode/tables.h"
#include "densecode/reed_solomon.h"

namespace zeseal::densecode {
namespace {

constexpr int kTwoT = kDenseParityBytes;  // the number of syndromes
constexpr int kN = kDenseCodewordBytes;

// A polynomial over the field, lowest degree first, of degree below 56.
struct Poly {
    std::array<std::uint8_t, kTwoT + 1> c{};
    int degree = 0;  // of the highest coefficient that may be non-zero
};

// The field's whole multiplication table (64 KiB): correcting one codeword
// multiplies many thousand times, and a lookup has no branch to take.
struct ProductTable {
    std::array<std::uint8_t, 256 * 256> product{};
    ProductTable() noexcept {
        for (unsigned a = 0; a < 256; ++a) {
            for (unsigned b = 0; b < 256; ++b) {
                product[(a << 8) | b] = GfMultiply(static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b));
            }
        }
    }
};

// Set up with the program (it depends on the compile-time tables alone), so
// that a lookup needs no first-use check.
const ProductTable kProductTable;

inline const std::uint8_t* Products() noexcept { return kProductTable.product.data(); }

// The products of a by every field element: Row(a)[b] = a b.
inline const std::uint8_t* Row(std::uint8_t a) noexcept { return Products() + (std::size_t(a) << 8); }

inline std::uint8_t Mul(std::uint8_t a, std::uint8_t b) noexcept { return Products()[(std::size_t(a) << 8) | b]; }

std::uint8_t Alpha(int exponent) noexcept {
    exponent %= 255;
    if (exponent < 0) exponent += 255;
    return kDenseCodeTables.antilog[std::size_t(exponent)];
}

std::uint8_t Divide(std::uint8_t a, std::uint8_t b) noexcept {
    if (a == 0) return 0;
    return kDenseCodeTables.antilog[std::size_t(kDenseCodeTables.log[a]) + 255 - kDenseCodeTables.log[b]];
}

std::uint8_t Evaluate(const std::uint8_t* c, int degree, std::uint8_t x) noexcept {
    const std::uint8_t* times = Row(x);
    std::uint8_t value = 0;
    for (int i = degree; i >= 0; --i) value = static_cast<std::uint8_t>(times[value] ^ c[i]);
    return value;
}

// The locator of byte position p: alpha^(254 - p), the power its
// coefficient belongs to.
int LocatorExponent(int position) noexcept { return kN - 1 - position; }

// S_i = v(alpha^i) for i = 1..55, from the remainder of v(x) x^55 by g(x):
// the multiple of g vanishes there, so S_i = R(alpha^i) alpha^(-55 i).
// Returns false when every syndrome is 0.
bool Syndromes(const std::uint8_t* codeword, std::array<std::uint8_t, kTwoT>& s) noexcept {
    RsRegister reg{};
    RsFeed(reg, codeword, kN);
    bool any = false;
    for (const std::uint64_t word : reg) any = any || word != 0;
    if (!any) {
        s.fill(0);
        return false;
    }
    std::array<std::uint8_t, kTwoT> remainder{};  // remainder[i]: coefficient of x^(54 - i)
    for (int i = 0; i < kTwoT; ++i) remainder[std::size_t(i)] = RsRegisterByte(reg, i);
    for (int i = 1; i <= kTwoT; ++i) {
        std::uint8_t value = 0;
        const std::uint8_t* times = Row(Alpha(i));
        for (int j = 0; j < kTwoT; ++j) value = static_cast<std::uint8_t>(times[value] ^ remainder[std::size_t(j)]);
        s[std::size_t(i - 1)] = Mul(value, Alpha(-kTwoT * i));
    }
    return true;
}

// Berlekamp-Massey over u[0..count-1]: the shortest connection polynomial.
Poly BerlekampMassey(const std::uint8_t* u, int count) noexcept {
    Poly c;
    c.c[0] = 1;
    Poly b = c;
    int length = 0;
    int gap = 1;
    std::uint8_t lastDiscrepancy = 1;
    for (int n = 0; n < count; ++n) {
        std::uint8_t d = u[n];
        for (int i = 1; i <= length; ++i) d ^= Mul(c.c[std::size_t(i)], u[n - i]);
        if (d == 0) {
            ++gap;
            continue;
        }
        const std::uint8_t* times = Row(Divide(d, lastDiscrepancy));
        Poly next = c;
        for (int i = 0; i <= b.degree && i + gap <= kTwoT; ++i) {
            next.c[std::size_t(i + gap)] ^= times[b.c[std::size_t(i)]];
        }
        next.degree = std::max(c.degree, std::min(kTwoT, b.degree + gap));
        if (2 * length <= n) {
            b = c;
            length = n + 1 - length;
            lastDiscrepancy = d;
            gap = 1;
        } else {
            ++gap;
        }
        c = next;
    }
    // Coefficients above the found length are zero for a decodable word;
    // anything else shows up as a root count that does not match below.
    c.degree = length;
    return c;
}

Poly Multiply(const Poly& a, const Poly& b) noexcept {
    Poly p;
    p.degree = std::min(kTwoT, a.degree + b.degree);
    for (int i = 0; i <= a.degree; ++i) {
        if (a.c[std::size_t(i)] == 0) continue;
        const std::uint8_t* times = Row(a.c[std::size_t(i)]);
        for (int j = 0; j <= b.degree && i + j <= kTwoT; ++j) {
            p.c[std::size_t(i + j)] ^= times[b.c[std::size_t(j)]];
        }
    }
    return p;
}

}  // namespace

RsSyndromes RsCodewordSyndromes(const std::uint8_t* codeword) noexcept {
    RsSyndromes result;
    result.any = Syndromes(codeword, result.s);
    return result;
}

int RsDecodeCodeword(std::uint8_t* codeword, std::span<const std::uint8_t> erasures) noexcept {
    return RsDecodeCodeword(codeword, RsCodewordSyndromes(codeword), erasures);
}

int RsDecodeCodeword(std::uint8_t* codeword, const RsSyndromes& syndromes,
                     std::span<const std::uint8_t> erasures) noexcept {
    // The erasure locator Gamma(x) = product of (1 + X x), one factor per
    // distinct position.
    std::array<bool, kN> erased{};
    Poly gamma;
    gamma.c[0] = 1;
    int f = 0;
    for (const std::uint8_t position : erasures) {
        if (position >= kN) return kRsUncorrectable;
        if (erased[position]) continue;
        erased[position] = true;
        if (++f > kTwoT) return kRsUncorrectable;
        const std::uint8_t x = Alpha(LocatorExponent(position));
        const std::uint8_t* times = Row(x);
        for (int i = f; i >= 1; --i) gamma.c[std::size_t(i)] ^= times[gamma.c[std::size_t(i - 1)]];
        gamma.degree = f;
    }

    if (!syndromes.any) return 0;
    const std::array<std::uint8_t, kTwoT>& s = syndromes.s;

    // Forney syndromes: Xi = Gamma S mod x^55; Xi[f..54] obey the Newton
    // identities of the error locator alone.
    std::array<std::uint8_t, kTwoT> xi{};
    for (int i = 0; i < kTwoT; ++i) {
        std::uint8_t value = 0;
        for (int j = 0; j <= i && j <= f; ++j) value ^= Mul(gamma.c[std::size_t(j)], s[std::size_t(i - j)]);
        xi[std::size_t(i)] = value;
    }
    const Poly sigma = BerlekampMassey(xi.data() + f, kTwoT - f);
    if (2 * sigma.degree + f > kTwoT) return kRsUncorrectable;
    const Poly lambda = Multiply(sigma, gamma);  // errors and erasures together

    // Omega = S Lambda mod x^55, and Lambda's formal derivative (odd terms).
    std::array<std::uint8_t, kTwoT> omega{};
    for (int i = 0; i < kTwoT; ++i) {
        std::uint8_t value = 0;
        for (int j = 0; j <= i && j <= lambda.degree; ++j) value ^= Mul(lambda.c[std::size_t(j)], s[std::size_t(i - j)]);
        omega[std::size_t(i)] = value;
    }
    std::array<std::uint8_t, kTwoT> derivative{};
    for (int i = 1; i <= lambda.degree; i += 2) derivative[std::size_t(i - 1)] = lambda.c[std::size_t(i)];
    const int derivativeDegree = lambda.degree > 0 ? lambda.degree - 1 : 0;

    // Chien search: position p is in error when Lambda(alpha^-(254 - p)) = 0.
    std::array<std::uint8_t, kTwoT> positions{};
    std::array<std::uint8_t, kTwoT> values{};
    // Lambda has at most as many roots as its degree: once that many are
    // found, no other position can be one.
    int found = 0;
    for (int p = 0; p < kN && found < lambda.degree; ++p) {
        const std::uint8_t xInverse = Alpha(-LocatorExponent(p));
        if (Evaluate(lambda.c.data(), lambda.degree, xInverse) != 0) continue;
        const std::uint8_t denominator = Evaluate(derivative.data(), derivativeDegree, xInverse);
        if (denominator == 0) return kRsUncorrectable;
        positions[std::size_t(found)] = static_cast<std::uint8_t>(p);
        values[std::size_t(found)] = Divide(Evaluate(omega.data(), kTwoT - 1, xInverse), denominator);
        ++found;
    }
    if (found != lambda.degree) return kRsUncorrectable;

    int changed = 0;
    for (int k = 0; k < found; ++k) {
        codeword[positions[std::size_t(k)]] ^= values[std::size_t(k)];
        changed += values[std::size_t(k)] != 0;
    }
    // A miscorrection that leaves a non-codeword is refused outright.
    std::array<std::uint8_t, kTwoT> check{};
    if (Syndromes(codeword, check)) {
        for (int k = 0; k < found; ++k) codeword[positions[std::size_t(k)]] ^= values[std::size_t(k)];
        return kRsUncorrectable;
    }
    return changed;
}

}  // namespace zeseal::densecode
