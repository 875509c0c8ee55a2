#include "codec/mark_payload.h"

#include "codec/base64.h"
#include "codec/image_container.h"

namespace zeseal::codec {

std::int32_t DecodeMarkPayload(std::int32_t familyBase, const char* base64Text, std::uint8_t* work,
                               std::uint8_t* raster, std::int32_t textLength,
                               std::uint32_t* pictureLength) noexcept {
    std::int32_t decoded = 0;
    if (Base64DecodeCounted(base64Text, textLength, work, &decoded) != 0 || decoded == 0) {
        return familyBase + 2;
    }
    const std::int32_t result =
        DecodeImageContainer(raster, pictureLength, work, static_cast<std::uint32_t>(decoded));
    return ContainerResultCode(familyBase, result);
}

}  // namespace zeseal::codec
