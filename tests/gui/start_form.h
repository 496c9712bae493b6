// Starting the calculator's windows in a test, with its message boxes and error window recorded.
#pragma once

#include <QStringList>
#include <QtTest>
#include <memory>

#include "ui/KorbCalcMainForm.h"

// Builds and starts the program in the current directory and makes its main window active.
inline std::unique_ptr<TKorbCalcForm> StartForm(ValueStore& store, QStringList& messages,
                                                QStringList& errors) {
    auto form = std::make_unique<TKorbCalcForm>(store);
    form->messageHook = [&messages](const std::string& m) { messages << QString::fromStdString(m); };
    form->errorHook = [&errors](const std::string& m) { errors << QString::fromStdString(m); };
    form->StartUp();
    form->activateWindow();
    [[maybe_unused]] bool active = QTest::qWaitForWindowActive(form.get());
    return form;
}
