#pragma once
// The Configure page with its input selection over the build's program
// folder (shipped catalogue, joystick list and pictures).
#include "../config/ConfigTestSupport.h"

#include "core/config/JoySelection.h"
#include "gui/pages/config/FrmJoySel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

class JoySelFixture : public ConfigPageFixture {
protected:
    FrmJoySel* Dialog() const { return page->JoySelDialog(); }
    const config::JoyCatalogue& Catalogue() const { return Dialog()->Catalogue(); }
    // The catalogue position of an identifier (the last entry with it).
    int Pos(int32_t id) const
    {
        int found = -1;
        for (int i = 0; i < Catalogue().Size(); ++i)
            if (Catalogue().Entries[size_t(i)].id == id)
                found = i;
        EXPECT_GE(found, 0) << "no joystick " << id;
        return found;
    }
    const JoyEntryPictures& Pictures(int32_t id) const { return *Dialog()->Pictures().Entry(Pos(id)); }
    // Opens the dialog for an input the way the page does.
    void OpenFor(int input)
    {
        page->ShowJoySel(input);
        ASSERT_TRUE(Dialog()->isVisible());
    }
    // Waits until the dialog is the active window (activation is
    // asynchronous, and the transient parent counts as active for
    // qWaitForWindowActive); true when it is.
    bool DialogActive()
    {
        Dialog()->activateWindow();
        return QTest::qWaitFor([this] { return QApplication::activeWindow() == Dialog(); }, 3000);
    }
    // The same picture (the pictures are shared, never copied).
    static bool Same(const QPixmap& a, const QPixmap& b) { return !a.isNull() && a.cacheKey() == b.cacheKey(); }
    int32_t Display(Key k) { return Rec(k).QvsDisplayValueE2; }
};
