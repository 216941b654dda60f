#pragma once
// The page keys of every loaded page, for the bulk transfer and the
// configuration file: ReadKey and WriteKey masks and the parameter count.
#include <algorithm>
#include <cstdint>
#include <vector>

struct PageKeys {
    int16_t ReadKey = 0;
    int16_t WriteKey = 0;
    int16_t PageVarNum = 0;
};

class PageRegistry {
public:
    void Add(PageKeys* page)
    {
        if (std::find(m_pages.begin(), m_pages.end(), page) == m_pages.end())
            m_pages.push_back(page);
    }
    void Remove(PageKeys* page) { m_pages.erase(std::remove(m_pages.begin(), m_pages.end(), page), m_pages.end()); }
    const std::vector<PageKeys*>& Pages() const { return m_pages; }

    // The OR of the ReadKey of every loaded page.
    int16_t AllPagesReadKey() const
    {
        int16_t k = 0;
        for (const PageKeys* p : m_pages)
            k = static_cast<int16_t>(k | p->ReadKey);
        return k;
    }
    // The OR of the WriteKey of every loaded page.
    int16_t AllPagesWriteKey() const
    {
        int16_t k = 0;
        for (const PageKeys* p : m_pages)
            k = static_cast<int16_t>(k | p->WriteKey);
        return k;
    }

private:
    std::vector<PageKeys*> m_pages;
};
