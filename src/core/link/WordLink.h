#pragma once
// One-word access to the controller: what the bulk transfer, the commands and
// the pages need of the link. Every call returns "" on success or the
// message to show.
#include <cstdint>
#include <string>

class WordLink {
public:
    virtual ~WordLink() = default;
    virtual std::string ReadE2Word(int64_t address, int32_t& value) = 0;
    virtual std::string WriteE2Word(int64_t address, int32_t value) = 0;
    virtual std::string ReadRAMWord(int64_t address, int32_t& value) = 0;
    virtual std::string WriteRAMWord(int64_t address, int32_t value) = 0;
};
