// Reading dense codes from scans: small grey pictures read as scans, with
// or without a stated resolution, and the registration and sampling under
// arbitrary maps. Pictures stay small (256 x 64 at most) so that a run takes
// a millisecond or less: in them the search for the frame, and the
// registration of what it finds, meet their limits and every sort of
// garbage. (A whole code found, registered and decoded takes some tens of
// milliseconds here; the tests read those.)
//
// Input layout: byte 0 the width (1 + byte), 1 the height (1 + byte / 4), 2
// stride padding, 3 the resolution (0: unknown, else 20..275), 4 bit 0: also
// register and sample under the map of bytes 5-16 (six signed 16-bit
// numbers: origin, code pixel along u and v, in 1/64 picture pixel); the
// rest, repeated, is the picture.
//
// Checked: the scan reader, and its registration and sampling under any
// map, never read outside the picture (ASan watches the exact buffer), and
// a reading that succeeds has the message's size. (The whole-code readers
// are fuzzed by densecode_decode.)
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/byte_order.h"
#include "fuzz_support.h"
#include "densecode/reader/register.h"
#include "densecode/reader/sample.h"
#include "densecode/reader/scan_reader.h"

namespace {

namespace dc = zeseal::densecode;
using zeseal::fuzz::ExactBuffer;

void ScanRead(const std::uint8_t* data, std::size_t size) {
    if (size < 17) return;
    const std::int32_t width = 1 + data[0];
    const std::int32_t height = 1 + data[1] / 4;
    const std::size_t stride = std::size_t(width) + data[2] % 5;
    const std::int32_t dpi = data[3] == 0 ? 0 : 20 + data[3];
    ExactBuffer picture(stride * std::size_t(height));
    const std::uint8_t* tail = data + 17;
    const std::size_t tailSize = size - 17;
    zeseal::fuzz::FillRepeating(picture, tail, tailSize, 255);
    const dc::GreyView view{picture.data(), width, height, stride};
    dc::DenseScanOptions options;
    options.dpi = dpi;
    const dc::DenseScanReading read = dc::ReadDenseCodeFromScan(view, options);
    if (read.reading.ok()) ZESEAL_FUZZ_CHECK(read.reading.bytes.size() == dc::kDenseInputBytes);
    if ((data[4] & 1) != 0) {
        auto number = [&](int i) { return static_cast<std::int16_t>(zeseal::base::ReadBe16(data + 5 + 2 * i)) / 64.0; };
        const dc::CodeMap map = dc::CodeMap::Affine({number(0), number(1)}, {number(2) / 16, number(3) / 16},
                                                    {number(4) / 16, number(5) / 16});
        static std::vector<float> levels;  // its capacity kept from run to run
        dc::SampleDenseCells(view, map, levels);
        ZESEAL_FUZZ_CHECK(levels.size() == std::size_t(dc::kDenseCells));
        dc::DenseRegistration registration;
        dc::RegisterDenseCode(view, map, registration);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16)) return 0;
    ScanRead(data, size);
    return 0;
}
