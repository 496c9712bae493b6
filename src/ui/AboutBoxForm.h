// The about box: product name and version.
#pragma once

#include <QDialog>

class QLabel;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Writes the version label, then shows the box modally; it is closed with its close box.
    void Execute();
    void UpdateVersion();

    QLabel* ProductName = nullptr;
    QLabel* VersionLabel = nullptr;
};

// The version the about box shows.
inline constexpr char kProgramVersion[] = "1.04";
