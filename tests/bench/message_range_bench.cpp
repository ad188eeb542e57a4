// Prints what Show Message Range costs on a full store of 50,000 frames: opening the window
// (model, table and its first paint) and a Find that crosses the whole store, beside Show
// First 1000 messages on the same store as the reference. Not a test: run it to see the
// figures (offscreen unless QT_QPA_PLATFORM says otherwise).

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "config/config_record.h"
#include "monitor/frame_log_panel.h"
#include "session/frame_store.h"
#include "views/frame_range_window.h"

namespace {

constexpr int kRuns = 5;

// The shortest of kRuns runs, in milliseconds.
double FastestMs(const std::function<void()>& run) {
    double best = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FrameStore store;
    for (uint32_t i = 0; i + 1 < FrameStore::kLimit; ++i) {
        const uint8_t data[8] = {static_cast<uint8_t>(i), 1, 2, 3, 4, 5, 6, 7};
        CANBuffer record(0x100 + i % 2000, false, false, 8, data, i * 250);
        record.sequence = i;
        store.Append(record);
    }
    // Only the newest frame has this identifier.
    const uint8_t last[8] = {};
    CANBuffer newest(0x7FF, false, false, 8, last);
    newest.sequence = FrameStore::kLimit - 1;
    store.Append(newest);

    ConfigRecord config;
    const double listMs = FastestMs([&] {
        FrameLogPanel panel(config, store);
        panel.show();
        panel.ListFrames(0, 1000);
        QApplication::processEvents();
    });
    const double openMs = FastestMs([&] {
        FrameRangeWindow window(store);
        window.show();
        QApplication::processEvents();  // the first paint
    });
    FrameRangeWindow window(store);
    window.show();
    QApplication::processEvents();
    window.cbFindField->setCurrentIndex(0);
    window.eFind->setText("7FF");
    const double findMs = FastestMs([&] {
        window.table->clearSelection();
        window.table->setCurrentIndex({});
        window.FindClick(true);
        QApplication::processEvents();
    });
    std::printf("store of %zu frames, fastest of %d runs\n", store.Size(), kRuns);
    std::printf("  Show First 1000 messages (reference): %8.2f ms\n", listMs);
    std::printf("  open Show Message Range:              %8.2f ms (%.2f x the reference)\n", openMs,
                openMs / listMs);
    std::printf("  Find across the store to its end:     %8.2f ms (%.2f x the reference)\n", findMs,
                findMs / listMs);
    return 0;
}
