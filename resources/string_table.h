#pragma once
// The raw string table behind resources/strings.h (internal to the library).

#include <cstddef>

namespace resources::detail {

enum class Block {
    Neutral,  // read in either language
    Japanese, // read when the UI language is Japanese
    English,  // read otherwise
};

struct StringEntry {
    int id;
    Block block;
    const char16_t* text;
};

extern const StringEntry kStringTable[];
extern const std::size_t kStringTableSize;

} // namespace resources::detail
