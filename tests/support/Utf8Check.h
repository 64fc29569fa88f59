#pragma once
// Whether text the library hands out is well-formed UTF-8, whatever bytes
// went in: what the fuzz-like tests of every text reader assert.
#include <string>

#include "platform/TextCodec.h"

namespace tavixTGCL2::test_support {

inline bool validUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = textcodec::utf8SequenceLength(s, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

}  // namespace tavixTGCL2::test_support
