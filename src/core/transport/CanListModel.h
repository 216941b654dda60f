#pragma once
// A report-style list of received frames, without a window toolkit: each
// item has a count text and ten sub-items (identifier, length, data bytes
// 0..7). A view shows it; the channel fills it.
#include <array>
#include <string>
#include <vector>

struct CanListItem {
    std::string Text; // how often the frame was seen since the item was added
    std::array<std::string, 10> SubItems;
};

struct CanListModel {
    std::vector<CanListItem> ListItems;
    int Count() const { return static_cast<int>(ListItems.size()); }
};
