#pragma once

#include "game/gamerecords.h"
#include "ui/skindialog.h"

#include <functional>
#include <vector>

class QTreeWidget;

// The best times without a game on the table: one line per picture and cut that has records,
// with its best time. A double click (or Enter) on a line opens that picture and cut's records.
class RecordsListWindow : public CSkinDialog {
    Q_OBJECT
public:
    static constexpr int templateId = 32998;
    static constexpr int listControl = 1010;
    static constexpr int noteText = 1011;

    explicit RecordsListWindow(std::vector<FinishReport> reports, QWidget* parent = nullptr);

    // What opening a line does (the frame runs the records window).
    void setOpenReport(std::function<void(const FinishReport&)> open) { open_ = std::move(open); }
    QTreeWidget* list() const { return list_; }
    const std::vector<FinishReport>& reports() const { return reports_; }
    // Opens the line at `row` as a double click does.
    void openRow(int row);

private:
    std::vector<FinishReport> reports_;
    QTreeWidget* list_ = nullptr;
    std::function<void(const FinishReport&)> open_;
};
