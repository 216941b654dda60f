#include "gui/shell/ManualViewer.h"

#include "gui/pages/Page.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

#ifdef QVS_HAVE_QTPDF
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>
#endif

struct ManualViewer::Impl {
#ifdef QVS_HAVE_QTPDF
    QPdfDocument* Document = nullptr;
    QPdfView* View = nullptr;
#endif
};

ManualViewer::ManualViewer(QWidget* parent) : QWidget(parent, Qt::Window), m_impl(new Impl)
{
    setObjectName(QStringLiteral("ManualViewer"));
    setWindowTitle(QStringLiteral("QvsStudio - Manual"));
    resize(760, 900);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
#ifdef QVS_HAVE_QTPDF
    m_impl->Document = new QPdfDocument(this);
    m_impl->View = new QPdfView(this);
    m_impl->View->setObjectName(QStringLiteral("ManualView"));
    m_impl->View->setDocument(m_impl->Document);
    m_impl->View->setPageMode(QPdfView::PageMode::MultiPage);
    m_impl->View->setZoomMode(QPdfView::ZoomMode::Custom);
    m_impl->View->setZoomFactor(1.0);
    lay->addWidget(m_impl->View);
#endif
}

ManualViewer::~ManualViewer() { delete m_impl; }

bool ManualViewer::Open(const QString& path, int page)
{
#ifdef QVS_HAVE_QTPDF
    if (m_impl->Document->status() != QPdfDocument::Status::Ready || windowFilePath() != path) {
        m_impl->Document->close();
        if (m_impl->Document->load(path) != QPdfDocument::Error::None)
            return false;
        setWindowFilePath(path);
    }
    const int last = m_impl->Document->pageCount() - 1;
    const int index = std::clamp(page - 1, 0, std::max(last, 0));
    m_impl->View->pageNavigator()->jump(index, QPointF(), m_impl->View->zoomFactor());
    show();
    raise();
    activateWindow();
    return true;
#else
    Q_UNUSED(path);
    Q_UNUSED(page);
    return false;
#endif
}

int ManualViewer::CurrentPage() const
{
#ifdef QVS_HAVE_QTPDF
    if (m_impl->Document->status() != QPdfDocument::Status::Ready)
        return 0;
    return m_impl->View->pageNavigator()->currentPage() + 1;
#else
    return 0;
#endif
}

bool OpenManualExternally(const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

bool HasInAppManualViewer()
{
#ifdef QVS_HAVE_QTPDF
    return true;
#else
    return false;
#endif
}

ManualKey::ManualKey(Opener open, QObject* parent) : QObject(parent), m_open(std::move(open)) {}

int ManualKey::PageFor(const QWidget* w)
{
    for (; w; w = w->parentWidget()) {
        if (const auto* page = qobject_cast<const Page*>(w))
            return page->ManualPage();
        const QVariant v = w->property("ManualPage");
        if (v.isValid())
            return v.toInt();
        if (w->isWindow())
            break;
    }
    return 0;
}

bool ManualKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        // The key goes to the focused widget first: its form decides.
        if (auto* w = qobject_cast<QWidget*>(watched)) {
            const int page = PageFor(w);
            if (page > 0) {
                m_open(page);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
