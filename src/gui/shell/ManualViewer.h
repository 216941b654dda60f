#pragma once
// The manual opened at a page, inside the program (QtPdf) or, without
// QtPdf, in the desktop's PDF viewer. F1 of a form finds the form's page.
#include <QObject>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;

// Opens path at page (1-based). Reuses one window.
class ManualViewer : public QWidget {
    Q_OBJECT
public:
    explicit ManualViewer(QWidget* parent = nullptr);
    ~ManualViewer() override;

    // False when the file cannot be opened; the window then stays closed.
    bool Open(const QString& path, int page);
    // The page shown (1-based), 0 when nothing is open.
    int CurrentPage() const;

private:
    struct Impl;
    Impl* m_impl;
};

// Opens the manual without the in-app viewer (QDesktopServices); the page
// cannot be passed then.
bool OpenManualExternally(const QString& path);
// Whether this build shows the manual itself.
bool HasInAppManualViewer();

// F1 anywhere in the program: the focused form's manual page. A page gives
// it by Page::ManualPage(), any other form by the dynamic property
// "ManualPage" (int); the search stops at the focused widget's window.
class ManualKey : public QObject {
    Q_OBJECT
public:
    using Opener = std::function<void(int page)>;
    explicit ManualKey(Opener open, QObject* parent = nullptr);

    // The manual page for a key press in widget w, 0 when none.
    static int PageFor(const QWidget* w);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Opener m_open;
};
