#pragma once
// A controller memory behind the WordLink interface, with failure injection.
#include "core/link/WordLink.h"

#include <map>
#include <string>
#include <vector>

class FakeWordLink : public WordLink {
public:
    std::map<int64_t, int32_t> e2, ram;
    // The request with this 0-based number fails with failText (-1: none).
    int failAt = -1;
    std::string failText = "Communication TIME OUT ";
    int requests = 0;
    std::vector<int64_t> written;

    std::string ReadE2Word(int64_t a, int32_t& v) override { return Read(e2, a, v); }
    std::string ReadRAMWord(int64_t a, int32_t& v) override { return Read(ram, a, v); }
    std::string WriteE2Word(int64_t a, int32_t v) override { return Write(e2, a, v); }
    std::string WriteRAMWord(int64_t a, int32_t v) override { return Write(ram, a, v); }

private:
    bool Fails() { return requests++ == failAt || (failAt == -2); }
    std::string Read(std::map<int64_t, int32_t>& m, int64_t a, int32_t& v)
    {
        if (Fails())
            return failText;
        v = m.count(a) ? m[a] : 0;
        return {};
    }
    std::string Write(std::map<int64_t, int32_t>& m, int64_t a, int32_t v)
    {
        if (Fails())
            return failText;
        m[a] = v;
        written.push_back(a);
        return {};
    }
};
