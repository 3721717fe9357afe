// The list of every file below the folder: a virtual list whose cells are
// asked for as they show, the values matched on the spot for the rows in
// view and on a worker thread for all of them; sorting by a column, the
// Show filter, misfit rows set apart, and column widths.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <shared_mutex>
#include <vector>

#include "tools/preview-window/cell_tip.h"
#include "tools/preview-window/list_columns.h"
#include "tools/preview-window/match_worker.h"
#include "tools/preview-window/preview_rows.h"
#include "tools/preview-window/window_controls.h"

// What the status bar says of the list.
struct ListFigures {
    std::size_t files = 0;
    std::size_t shown = 0;
    bool filtered = false;
    bool counted = false;      // every file's values are those of the patterns now
    bool countsKnown = false;  // the counts are of the patterns now, if of fewer files
    PreviewCounts counts;
};

class FileList {
public:
    FileList();
    ~FileList();
    FileList(const FileList&) = delete;
    FileList& operator=(const FileList&) = delete;

    // The Show filter, then the list itself, in tab order.
    void Create(const ControlMaker& maker);
    void PlaceFilter(Placer& placer, int x, int y, int labelWidth, int boxWidth);
    void PlaceList(Placer& placer, int x, int y, int width, int height);
    ListColumns& Columns() { return columns_; }

    HWND List() const { return list_; }
    const PreviewRows& Rows() const { return rows_; }
    std::shared_mutex& RowsLock() { return rowsLock_; }

    void Clear();
    void AddFiles(std::vector<PreviewFile>& files);
    // The rows in view are matched with the choice while the list repaints,
    // before this returns; the worker matches the rest.
    void Rematch(const PatternChoice& choice);
    // The window's timer kValuesDueTimer.
    void OnValuesDue();
    void OnValuesReady();
    // True when the filter changed.
    bool OnCommand(int id, int code);
    // True when the notification was the list's or its tip's.
    bool OnNotify(const NMHDR& header, LRESULT& result);
    ListFigures Figures() const;

private:
    void ShowPatternChoices(std::size_t patterns);
    void RequestValues();
    const ValueTable& ValuesOfRow(std::size_t row, std::size_t& valueRow);
    std::wstring CellAt(std::size_t index, int column);
    void FillCell(NMLVDISPINFOW& info);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
    void DrawFileName(const NMLVCUSTOMDRAW& draw, bool misfit);
    bool Arranged() const { return sortColumn_ >= 0 || filter_ != ResultFilter::All; }
    std::size_t RowAt(std::size_t index) const;
    struct Selection {
        std::vector<std::size_t> rows;
        std::size_t focused = std::size_t(-1);
    };
    // Taken before the arrangement changes, put back after it.
    Selection SelectedRows() const;
    void Rearrange(const Selection& selection);
    void SortBy(int column);
    void ShowSortArrow();

    HWND parent_ = nullptr;
    HWND filterLabel_ = nullptr, filterBox_ = nullptr;
    HWND list_ = nullptr;
    CellTip tip_;
    ListColumns columns_;

    PreviewRows rows_;
    std::shared_mutex rowsLock_;  // held while rows are added or cleared
    std::unique_ptr<MatchWorker> worker_;
    PatternChoice choice_;

    // Every change of patterns or folder starts a generation; the worker's
    // table counts only when it is of the current one.
    std::uint32_t generation_ = 1;
    ValueTable values_;
    std::uint32_t valuesGeneration_ = 0;
    // The row the list asked for last, matched on the spot while the worker's
    // table is not yet current: the list asks once per cell.
    ValueTable single_;
    std::size_t singleRow_ = std::size_t(-1);
    std::uint32_t singleGeneration_ = 0;

    // While a column is sorted or rows are filtered the list shows order_,
    // made from the values of the last table; otherwise every row as read.
    std::vector<std::uint32_t> order_;
    int sortColumn_ = -1;
    bool ascending_ = true;
    ResultFilter filter_ = ResultFilter::All;
    int filterUsed_ = -1;  // the pattern UsedBy shows
    std::size_t patternChoices_ = 0;
};
