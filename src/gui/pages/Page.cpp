#include "gui/pages/Page.h"

#include "core/state/CoreContext.h"
#include "gui/shell/Draw.h"
#include "gui/shell/Shell.h"

Page::Page(Shell& shell, int16_t readKey, int16_t writeKey, QWidget* parent) : QWidget(parent), m_shell(shell)
{
    m_keys.ReadKey = readKey;
    m_keys.WriteKey = writeKey;
    m_shell.Context().Pages.Add(&m_keys);
}

Page::~Page() { m_shell.Context().Pages.Remove(&m_keys); }

void Page::DrawBar(StatusBarView& statusBar, QProgressBar&, const QString& text)
{
    Draw::PageDrawBar(m_shell, Profile(), statusBar, text);
}
