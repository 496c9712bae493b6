// The readme viewer: a fixed text about what comes with the program and how to start it.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class TReadmeForm : public QDialog {
    Q_OBJECT
public:
    explicit TReadmeForm(QWidget* parent = nullptr);

    QPlainTextEdit* ReadmeBox = nullptr;
    QPushButton* BitBtn1 = nullptr;

protected:
    void changeEvent(QEvent* event) override;

private:
    void UseButtonFace();
};

// The text the viewer shows.
extern const char* const kReadmeText;
