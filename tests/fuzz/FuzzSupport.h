#pragma once
// Helpers shared by the fuzz harnesses: a cursor over the input bytes, the
// application object the Qt parts need, and a check that aborts (so that
// libFuzzer and the regression replay both report it) with a message.
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace fuzz {

[[noreturn]] inline void Fail(const char* file, int line, const std::string& what)
{
    std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, what.c_str());
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(cond, what)                                                                     \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ::fuzz::Fail(__FILE__, __LINE__, std::string(#cond) + ": " + std::string(what));       \
    } while (0)

// Takes bytes from the front of the input; past its end every read gives 0.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint8_t U8() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint16_t U16() { return static_cast<uint16_t>(U8() << 8 | U8()); }
    int32_t I32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = v << 8 | U8();
        return static_cast<int32_t>(v);
    }
    size_t Left() const { return m_pos < m_size ? m_size - m_pos : 0; }
    bool Empty() const { return Left() == 0; }
    // The rest of the input as text.
    std::string Rest()
    {
        std::string s(reinterpret_cast<const char*>(m_data + m_pos), Left());
        m_pos = m_size;
        return s;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// One application object for the whole run (timers and event dispatch).
inline void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "qvs_fuzz";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

} // namespace fuzz
