// The main window's one-line display and its clickable images.
#pragma once

#include <QLabel>
#include <QTextEdit>
#include <optional>

#include "ui/KorbCalcPictures.h"

class TKorbCalcForm;

// The one-line display: edits itself while focused and hands only Enter to the keyboard map.
// A text too long for its line is never cut at the start: the font shrinks to fit, down to
// MinPixelSize, and beyond that the units go to a second line. The full text is then the tool tip.
class TDisplay : public QTextEdit {
    Q_OBJECT
public:
    explicit TDisplay(TKorbCalcForm& main);

    static constexpr int MinPixelSize = 9;
    // The font the user chose; long texts are shown in smaller sizes of it.
    void SetBaseFont(const QFont& font);
    const QFont& BaseFont() const { return base_; }
    // Chooses the size and the line breaking for the current text, and keeps its start in view
    // unless the user is editing.
    void FitText();
    bool UnitsOnNextLine() const { return twoLines_; }

signals:
    void unitsOnNextLineChanged(bool twoLines);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    TKorbCalcForm& main_;
    QFont base_;
    bool twoLines_ = false;
    bool fitting_ = false;
};

// An image that reports clicks and double-clicks. It shows its text, or a picture painted at the
// screen's resolution in the colours of its palette.
class TImage : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void SetPicture(Picture picture);
signals:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::optional<Picture> picture_;
};
