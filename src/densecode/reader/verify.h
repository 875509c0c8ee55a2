// Correcting a scanned code's stream with what the sampling knows about
// each byte, and how much room was left.
//
// Each codeword is tried with its unsure bytes as erasures, then with none,
// then with its 16, 28 and 40 least confident bytes as erasures; the first
// that corrects wins. At most 40 erasures are given, so that at least 15
// parity bytes still check the result and a wrong codeword is not passed
// off as corrected.
#pragma once

#include "densecode/reader/reader.h"
#include "densecode/reader/threshold.h"

namespace zeseal::densecode {

inline constexpr int kDenseMostErasures = 40;

DenseCodeReading DecodeDenseStreamWithConfidence(const DenseStreamSample& sample,
                                                 const DenseByteConfidence& confidence);

}  // namespace zeseal::densecode
