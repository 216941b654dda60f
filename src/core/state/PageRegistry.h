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

private:
    std::vector<PageKeys*> m_pages;
};
