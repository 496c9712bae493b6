// The main window's one-line display and its clickable images.
#pragma once

#include <QLabel>
#include <QTextEdit>

class TKorbCalcForm;

// The one-line display: edits itself while focused and hands only Enter to the keyboard map.
class TDisplay : public QTextEdit {
    Q_OBJECT
public:
    explicit TDisplay(TKorbCalcForm& main);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    TKorbCalcForm& main_;
};

// An image that reports clicks and double-clicks.
class TImage : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
