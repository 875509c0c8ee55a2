// The dense code encoder: 6600 bytes in, a 2528 x 128 picture out.
//
// The bytes are protected by RS(255, 200) in 33 codewords, whitened with a
// fixed pseudo-random sequence, interleaved byte by byte, laid out as 2 x 2
// cells along 21 serpentine bands with timing squares, rotated row group by
// row group, thinned against ink spread and framed. Equal input always gives
// an identical picture, and encodings may run on several threads at once.
#pragma once

#include <cstdint>

#include "frame/frame_heap.h"
#include "densecode/format.h"

namespace zeseal::densecode {

// Encodes kDenseInputBytes bytes from input into a picture of
// kDenseImageBytes bytes (8 bits per pixel, bottom row first), which is the
// form DrawWaterCode takes for a layout other than 1 with a byte count of 0.
// The picture is one heap block owned by the returned holder. When memory
// runs out, or input is null, the holder is empty: no picture, and drawing
// it draws nothing.
frame::HeapBlock EncodeDenseCode(const std::uint8_t* input) noexcept;

// Rearranges the 8505-byte codeword buffer in place: byte i of codeword j
// goes to 33 i + j, so byte i of every codeword precedes byte i + 1 of any;
// the filler from 8415 on stays where it is.
void InterleaveCodewords(std::uint8_t* buffer) noexcept;

// The inverse of InterleaveCodewords.
void DeinterleaveCodewords(std::uint8_t* buffer) noexcept;

// The ink-reduction pass over a kDenseImageBytes picture, in place:
// thinning (a pixel in rows 1..127, columns 0..2526 stays black only when it
// and its neighbours to the right, above and above right are black) and then
// hole punching (the centre-right pixel of every fully black 3 x 3 block at
// an even row and column is whitened). A black area shrinks by one pixel in
// each direction, keeping its lower left corner.
void ThinDenseImage(std::uint8_t* image) noexcept;

}  // namespace zeseal::densecode
