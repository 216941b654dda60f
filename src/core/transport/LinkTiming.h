#pragma once
// How long a link exchange lasts. Fast: it ends as soon as the matching reply
// is in (or at the 200 ms reply time-out). Legacy: in addition every exchange
// lasts at least 200 ms, for controllers that need that pacing.
#include <optional>
#include <string_view>

enum class LinkTiming { Fast, Legacy };

// "fast" or "legacy"; nullopt for anything else.
inline std::optional<LinkTiming> LinkTimingFromText(std::string_view text)
{
    if (text == "fast")
        return LinkTiming::Fast;
    if (text == "legacy")
        return LinkTiming::Legacy;
    return std::nullopt;
}

inline const char* LinkTimingText(LinkTiming timing)
{
    return timing == LinkTiming::Legacy ? "legacy" : "fast";
}
