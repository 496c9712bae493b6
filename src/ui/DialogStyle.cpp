#include "ui/DialogStyle.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QVariant>

#include "ui/ScreenPlacement.h"

namespace {

constexpr char kDesignedSizeProperty[] = "designedSize";

// Measures the dialog before it is first drawn (its fonts are settled by then) and at each show.
class SizeFitting : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((event->type() == QEvent::Polish || event->type() == QEvent::Show) && watched == parent())
            FitToContents(static_cast<QWidget*>(watched));
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QString PresentFamily(const QStringList& families) {
    const QStringList present = QFontDatabase::families();
    for (const QString& family : families)
        if (present.contains(family, Qt::CaseInsensitive)) return family;
    return {};
}

QFont FontToFit(QFont font, const QString& text, QSize box, int margin, int smallest) {
    int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontMetrics(font).height();
    for (; pixels > smallest; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics fm(font);
        if (fm.horizontalAdvance(text) <= box.width() - 2 * margin && fm.height() <= box.height())
            return font;
    }
    font.setPixelSize(smallest);
    return font;
}

void FixSizeToFit(QWidget* dialog, QSize designed) {
    dialog->setProperty(kDesignedSizeProperty, designed);
    dialog->setFixedSize(designed);
    dialog->installEventFilter(new SizeFitting(dialog));
}

void FitToContents(QWidget* dialog) {
    const QSize designed = dialog->property(kDesignedSizeProperty).toSize();
    QLayout* layout = dialog->layout();
    if (!designed.isValid() || !layout) return;
    QSize size = designed.expandedTo(layout->totalMinimumSize());
    if (layout->hasHeightForWidth())
        size.setHeight(std::max(size.height(), layout->totalHeightForWidth(size.width())));
    if (const QScreen* screen = dialog->screen()) size = size.boundedTo(screen->availableGeometry().size());
    if (size != dialog->size() || dialog->minimumSize() != size) dialog->setFixedSize(size);
}

void CentreOnScreen(QWidget* window) {
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : window;
    const QScreen* screen = owner->screen();
    if (!screen) return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    MoveOntoScreen(window, frame.left(), frame.top());
}
