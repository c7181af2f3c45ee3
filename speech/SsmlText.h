// Speech markup as callers write it (<silence msec="10"/>, <pitch middle="3">,
// <rate speed="-2">, <volume level="50">, <emph>, <spell>) turned into the
// SSML the synthesiser reads, with a map back to the caller's text so that
// word positions reported in the SSML index the caller's text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

struct SsmlText {
    std::u16string text;
    // For each unit of text, the index in the source it came from (a tag's
    // first unit for everything a tag became); one more entry at the end
    // holds the source's length.
    std::vector<int32_t> origin;
};

// Unknown tags are dropped and their content kept; text is copied as it is.
SsmlText sapiToSsml(std::u16string_view markup);

// Plain text with the identity map.
SsmlText plainText(std::u16string_view text);

}  // namespace pw
