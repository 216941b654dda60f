#include "controls/RsvColor.h"

#include <QApplication>
#include <QPalette>

namespace {

QColor SystemColour(unsigned index)
{
    const QPalette p = QApplication::palette();
    switch (index) {
    case 0x00: return p.color(QPalette::Mid);             // scroll bar
    case 0x01: return p.color(QPalette::Dark);            // desktop
    case 0x02: return p.color(QPalette::Highlight);       // active caption
    case 0x03: return p.color(QPalette::Mid);             // inactive caption
    case 0x04: return p.color(QPalette::Window);          // menu
    case 0x05: return p.color(QPalette::Base);            // window background
    case 0x06: return p.color(QPalette::Shadow);          // window frame
    case 0x07: return p.color(QPalette::WindowText);      // menu text
    case 0x08: return p.color(QPalette::Text);            // window text
    case 0x09: return p.color(QPalette::HighlightedText); // caption text
    case 0x0C: return p.color(QPalette::Dark);            // application workspace
    case 0x0D: return p.color(QPalette::Highlight);       // highlight
    case 0x0E: return p.color(QPalette::HighlightedText); // highlighted text
    case 0x0F: return p.color(QPalette::Button);          // button face
    case 0x10: return p.color(QPalette::Dark);            // button shadow
    case 0x11: return p.color(QPalette::Disabled, QPalette::Text); // grey text
    case 0x12: return p.color(QPalette::ButtonText);      // button text
    case 0x13: return p.color(QPalette::Disabled, QPalette::WindowText); // inactive caption text
    case 0x14: return p.color(QPalette::Light);           // 3D highlight
    case 0x15: return p.color(QPalette::Shadow);          // 3D dark shadow
    case 0x16: return p.color(QPalette::Midlight);        // 3D light
    case 0x17: return p.color(QPalette::ToolTipText);     // tooltip text
    case 0x18: return p.color(QPalette::ToolTipBase);     // tooltip background
    default: return p.color(QPalette::Window);
    }
}

} // namespace

QColor RsvColorFromOle(int32_t colour)
{
    const auto v = static_cast<uint32_t>(colour);
    if ((v & 0xFF000000u) == 0x80000000u)
        return SystemColour(v & 0xFFu);
    return QColor(int(v & 0xFFu), int((v >> 8) & 0xFFu), int((v >> 16) & 0xFFu));
}

int32_t RsvOleFromColor(const QColor& colour)
{
    const QColor c = colour.toRgb();
    return static_cast<int32_t>(uint32_t(c.red()) | (uint32_t(c.green()) << 8) |
                                (uint32_t(c.blue()) << 16));
}
