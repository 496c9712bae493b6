// The stack and register windows' lists as views of the engine's lists: the models read the
// texts from the engine when a row is shown, and the engine tells them which rows changed.
#pragma once

#include <QAbstractListModel>
#include <functional>
#include <string>

#include "calc/CalcView.h"
#include "calc/StackCalc.h"

// The stack entries' display texts, bottom entry first. The model keeps the row count it last
// announced, so that the views see a consistent list while a change is being announced. It
// follows the engine's notices of the entries.
class StackListModel : public QAbstractListModel, public CalcObserver {
    Q_OBJECT
public:
    explicit StackListModel(const StackCalc& stack, QObject* parent = nullptr);

    void EntriesInserted(int first, int count) override { Inserted(first, count); }
    void EntriesRemoved(int first, int count) override { Removed(first, count); }
    void EntriesChanged(int first, int count) override { Changed(first, count); }
    void EntriesReset() override { Reset(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // After every change of the entries: the window selects the engine's selected entry again.
    void entriesChanged();

private:
    void Inserted(int first, int count);
    void Removed(int first, int count);
    void Changed(int first, int count);
    void Reset();
    int EngineRows() const;

    const StackCalc& stack_;
    int rows_ = 0;
};

// One register's display text as a list of one row.
class RegisterListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using Formatter = std::function<std::string(const std::string&)>;
    RegisterListModel(const StackCalc& stack, int index, Formatter format, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The register or the display format changed: the row is shown again.
    void Refresh();

private:
    const StackCalc& stack_;
    int index_;
    Formatter format_;
};
