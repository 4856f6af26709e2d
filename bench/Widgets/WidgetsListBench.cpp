// The framework's list against a bare QTableWidget doing the same work in the same run:
// insert 10 000 rows of nine text columns with a row check box and two cell buttons, sort by
// a text column, then delete every other row through its check box. Runs offscreen with the
// page not shown; pending events run after each step, as between the tasks of a page. A third
// benchmark times the first repaint of a shown list after a large append, at two sizes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTableWidget>

#include "Widgets/CSFQTListCtrl.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

namespace {
// VX_BENCH_ROWS overrides the row count (for profiling).
int kRows = 10000;
constexpr int kTextColumns = 9;
constexpr int kCheckColumn = 0;
constexpr int kButtonColumn = kTextColumns + 1;
constexpr int kColumns = kTextColumns + 2;
constexpr int kSortColumn = 3;

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// Cell text: sorting by column 3 shuffles the rows thoroughly.
std::wstring CellText(int row, int col)
{
    const unsigned mixed = static_cast<unsigned>(row) * 2654435761u + static_cast<unsigned>(col) * 40503u;
    return L"cell-" + std::to_wstring(mixed % 100000u) + L"-" + std::to_wstring(col);
}

void FlushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Phases {
    double insert = 0, sort = 0, remove = 0;
};

void Report(benchmark::State& state, const Phases& sum)
{
    const double n = static_cast<double>(state.iterations());
    state.counters["insert_ms"] = sum.insert / n;
    state.counters["sort_ms"] = sum.sort / n;
    state.counters["delete_ms"] = sum.remove / n;
}

void BM_FrameworkList(benchmark::State& state)
{
    // VX_BENCH_NOSKIN leaves the skin names empty (no image loading at all).
    const bool skinned = std::getenv("VX_BENCH_NOSKIN") == nullptr;
    ImageRadioBox check;
    ImageButtonStyle button;
    if (skinned) {
        check = ImageRadioBox{L"Select_Check.png",   L"Select_Check.png",   L"Select_Check.png",
                              L"Select_unCheck.png", L"Select_unCheck.png", L"Select_unCheck.png",
                              L"Select_Unable.png",  L"Select_Unable.png"};
        button = ImageButtonStyle{L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png", L"", L"", L"", L""};
    }
    Phases sum;
    for (auto _ : state) {
        QWidget page;
        CSFListCtrl* list = CreateSFListCtrl(nullptr);
        list->Create(0, RECT{0, 0, 1200, 700}, &page, 1000, false);
        for (int c = 0; c < kColumns; ++c)
            list->InsertColumnNew(c, L"Column", c == kColumns - 1);
        list->SetHeaderSortEnable(1);

        const auto t0 = Clock::now();
        for (int r = 0; r < kRows; ++r) {
            list->InsertItem(r, L"");
            for (int c = 1; c <= kTextColumns; ++c)
                list->SetItemText(r, c, CellText(r, c).c_str());
            list->SetItemCheckWidget(r, kCheckColumn, check);
            list->AddOneOperateBtnEx(r, kButtonColumn, 1, L"Details", button, 24, 24, 0, 2, L"Delete", button);
        }
        // A page inserts rows from tasks on the GUI loop: pending events run in between.
        QCoreApplication::processEvents();
        const auto t1 = Clock::now();
        list->EmitHeadClickFun(kSortColumn);
        QCoreApplication::processEvents();
        const auto t2 = Clock::now();
        for (int r = 0; r < kRows; r += 2)
            list->SetCheck(r, 1);
        std::set<int> rows;
        list->DeleteCheckedRows(rows);
        FlushDeletes();
        QCoreApplication::processEvents();
        const auto t3 = Clock::now();

        state.PauseTiming();
        if (list->GetItemCount() != kRows / 2)
            state.SkipWithError("wrong row count after deletion");
        sum.insert += Ms(t0, t1);
        sum.sort += Ms(t1, t2);
        sum.remove += Ms(t2, t3);
        state.ResumeTiming();
    }
    Report(state, sum);
}

void BM_BareTable(benchmark::State& state)
{
    Phases sum;
    for (auto _ : state) {
        QWidget page;
        auto* table = new QTableWidget(&page);
        table->setGeometry(0, 0, 1200, 700);
        table->setColumnCount(kColumns);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);

        const auto t0 = Clock::now();
        for (int r = 0; r < kRows; ++r) {
            table->insertRow(table->rowCount());
            table->setItem(r, 0, new QTableWidgetItem(QString()));
            for (int c = 1; c <= kTextColumns; ++c)
                table->setItem(r, c, new QTableWidgetItem(QString::fromStdWString(CellText(r, c))));
            table->setRowHeight(r, 30);
            auto* checkCell = new QWidget;
            auto* box = new QCheckBox(checkCell);
            box->setGeometry(10, 7, 16, 16);
            table->setCellWidget(r, kCheckColumn, checkCell);
            auto* buttonCell = new QWidget;
            auto* details = new QPushButton(buttonCell);
            details->setGeometry(10, 3, 24, 24);
            details->setToolTip(QStringLiteral("Details"));
            auto* remove = new QPushButton(buttonCell);
            remove->setGeometry(44, 3, 24, 24);
            remove->setToolTip(QStringLiteral("Delete"));
            table->setCellWidget(r, kButtonColumn, buttonCell);
        }
        QCoreApplication::processEvents();
        const auto t1 = Clock::now();
        table->sortItems(kSortColumn, Qt::AscendingOrder);
        QCoreApplication::processEvents();
        const auto t2 = Clock::now();
        auto boxAt = [table](int r) {
            return static_cast<QCheckBox*>(table->cellWidget(r, kCheckColumn)->children().first());
        };
        for (int r = 0; r < kRows; r += 2)
            boxAt(r)->setChecked(true);
        for (int r = table->rowCount() - 1; r >= 0; --r) {
            if (boxAt(r)->isChecked())
                table->removeRow(r);
        }
        FlushDeletes();
        QCoreApplication::processEvents();
        const auto t3 = Clock::now();

        state.PauseTiming();
        if (table->rowCount() != kRows / 2)
            state.SkipWithError("wrong row count after deletion");
        sum.insert += Ms(t0, t1);
        sum.sort += Ms(t1, t2);
        sum.remove += Ms(t2, t3);
        state.ResumeTiming();
    }
    Report(state, sum);
}

// The list shown on screen: append state.range(0) rows with their cell controls, then the first
// repaint (layout of the new rows, placing and skinning the visible cell controls, painting).
// Time per row stays flat from 10 000 to 40 000 rows when the repaint is linear in rows.
void BM_FrameworkListFirstRepaint(benchmark::State& state)
{
    // VX_BENCH_ROWS overrides the size here too (for profiling).
    const int rows = std::getenv("VX_BENCH_ROWS") ? kRows : static_cast<int>(state.range(0));
    ImageRadioBox check{L"Select_Check.png",   L"Select_Check.png",   L"Select_Check.png",
                        L"Select_unCheck.png", L"Select_unCheck.png", L"Select_unCheck.png",
                        L"Select_Unable.png",  L"Select_Unable.png"};
    ImageButtonStyle button{L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png", L"", L"", L"", L""};
    double append = 0, repaint = 0;
    for (auto _ : state) {
        QWidget page;
        page.resize(1200, 700);
        CSFListCtrl* list = CreateSFListCtrl(nullptr);
        list->Create(0, RECT{0, 0, 1200, 700}, &page, 1000, false);
        for (int c = 0; c < kColumns; ++c)
            list->InsertColumnNew(c, L"Column", c == kColumns - 1);
        page.show();
        QCoreApplication::processEvents();
        const auto t0 = Clock::now();
        for (int r = 0; r < rows; ++r) {
            list->InsertItem(r, L"");
            for (int c = 1; c <= kTextColumns; ++c)
                list->SetItemText(r, c, CellText(r, c).c_str());
            list->SetItemCheckWidget(r, kCheckColumn, check);
            list->AddOneOperateBtnEx(r, kButtonColumn, 1, L"Details", button, 24, 24, 0, 2, L"Delete", button);
        }
        const auto t1 = Clock::now();
        QCoreApplication::processEvents();
        page.repaint();
        const auto t2 = Clock::now();
        append += Ms(t0, t1);
        repaint += Ms(t1, t2);
        state.PauseTiming();
        page.hide();
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["append_ms"] = append / n;
    state.counters["first_repaint_ms"] = repaint / n;
    state.counters["repaint_us_per_row"] = repaint / n * 1000.0 / rows;
}

BENCHMARK(BM_BareTable)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FrameworkListFirstRepaint)->Unit(benchmark::kMillisecond)->Iterations(1)->Arg(10000)->Arg(40000);
BENCHMARK(BM_FrameworkList)->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (const char* rows = std::getenv("VX_BENCH_ROWS"))
        kRows = std::max(2, std::atoi(rows));
    const char* skin = std::getenv("VX_SKIN_DIR");
    SFSetSkinDir(QDir::fromNativeSeparators(QString::fromLocal8Bit(skin ? skin : VX_SKIN_DIR)).toStdWString());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
