#pragma once
// The status drawing: the status bar panels, the indicator boxes and which
// menu items and toolbar buttons are available, by ConnectionState and the
// active page.
#include <QString>

#include <cstdint>

class QColor;
class QLineEdit;
class QProgressBar;
class QWidget;
class Shell;
class StatusBarView;
struct DrawBarProfile;

namespace Draw {

// Full redraw: the active page's DrawBar, progress (panel 5), the failure
// text (panel 2), the controller version (panel 7), the section model
// (panel 6), then ApplyCommandAvailability.
void RefreshStatus(Shell& shell, StatusBarView& statusBar, QProgressBar& progressBar, const QString& text);
// The global part for Disconnected and Busy, applied after the page's share.
void ApplyCommandAvailability(Shell& shell);
// The availability when the main window is created.
void ApplyInitialCommandState(Shell& shell);
// "PARAMETER OK" / "PARAMETER DIFF." while connected, else "---".
void ShowParameterStatus(Shell& shell, QLineEdit& box);
// Caret to 0 and the whole text selected.
void SelectAllText(QLineEdit& box);
// Moves win so that it is centred over ref.
void CenterOver(const QWidget& ref, QWidget& win);

// A page's share of the drawing, as its profile describes it.
void PageDrawBar(Shell& shell, const DrawBarProfile& profile, StatusBarView& statusBar, const QString& text);

// An indicator box: text on a background colour (0x00BBGGRR or a system colour).
void SetIndicator(QLineEdit& box, const QString& text, int32_t colour);
QColor ColourOf(int32_t colour);

} // namespace Draw
