#pragma once
// The 96 catalogue keys by which the program names its parameters.
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

enum class Key : int {
#define QVS_KEY(name) name,
#include "core/link/CatalogueKeys.def"
#undef QVS_KEY
};

inline constexpr std::size_t KeyCount = 0
#define QVS_KEY(name) +1
#include "core/link/CatalogueKeys.def"
#undef QVS_KEY
    ;

static_assert(KeyCount == 96, "the catalogue has 96 keys");

inline constexpr std::array<std::string_view, KeyCount> KeyTexts = {
#define QVS_KEY(name) #name,
#include "core/link/CatalogueKeys.def"
#undef QVS_KEY
};

inline constexpr std::string_view KeyText(Key k) { return KeyTexts[static_cast<std::size_t>(k)]; }

// The key with exactly this text (case-sensitive), if it is one of the 96.
inline std::optional<Key> KeyFromText(std::string_view text)
{
    for (std::size_t i = 0; i < KeyCount; ++i)
        if (KeyTexts[i] == text)
            return static_cast<Key>(i);
    return std::nullopt;
}
