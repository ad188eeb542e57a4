// Save Message Log of a full store, from the moment the user accepts the save dialog to the
// file written, beside the writer alone, a single write() of the same bytes, and a dialog made
// afresh and torn down before the save starts (as the window did before it kept its dialog).
// Not a CTest test: run it (under xvfb-run for a real X server) to print the figures.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/message_box_user_messages.h"
#include "logs/save_message_log.h"
#include "session/frame_store.h"
#include "support/file_bytes.h"

namespace {

constexpr int kRuns = 15;

FrameStore FullStore() {
    FrameStore store;
    for (uint32_t i = 0; i < FrameStore::kLimit; ++i) {
        const uint8_t data[8] = {uint8_t(i), uint8_t(i >> 8), 0x55, 0xAA, 1, 2, 3, 4};
        store.Append(CANBuffer(0x18EF0000 + (i & 0xFFFF), false, true, 8, data, i * 977u));
    }
    return store;
}

double MedianMs(std::vector<qint64> nanoseconds) {
    std::sort(nanoseconds.begin(), nanoseconds.end());
    return static_cast<double>(nanoseconds[nanoseconds.size() / 2]) / 1e6;
}

// Runs `save` kRuns times, each to a new `path` (so that the dialog asks nothing more); each
// run is timed from the moment the dialog is accepted.
double DialogThenSaveMs(const std::string& path, const std::function<void()>& save) {
    std::vector<qint64> times;
    for (int run = 0; run < kRuns; ++run) {
        std::remove(path.c_str());
        QElapsedTimer accepted;
        QTimer poll;  // accepts the dialog once it is up
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || !dialog->isVisible()) return;
            poll.stop();
            accepted.start();
            QMetaObject::invokeMethod(dialog, "accept");
        });
        poll.start(20);
        save();
        times.push_back(accepted.nsecsElapsed());
    }
    return MedianMs(times);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const FrameStore store = FullStore();
    const std::string path = folder.filePath("full.csv").toStdString();
    MessageBoxUserMessages messages;
    const MessageLogTarget target{path, MessageLogFormat::Csv};

    std::vector<qint64> writer;
    for (int run = 0; run < kRuns; ++run) {
        std::remove(path.c_str());  // as in the dialog runs: replacing a file costs more
        QElapsedTimer timer;
        timer.start();
        SaveMessageLog(store, target, messages);
        writer.push_back(timer.nsecsElapsed());
    }
    const std::string bytes = ReadFileBytes(path);
    std::vector<qint64> plain;
    for (int run = 0; run < kRuns; ++run) {
        std::remove((path + ".plain").c_str());
        QElapsedTimer timer;
        timer.start();
        const int fd = ::open((path + ".plain").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const bool whole = ::write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
        ::close(fd);
        plain.push_back(whole ? timer.nsecsElapsed() : 0);
    }

    const std::vector<std::string> types = {kCsvFileType};
    const double kept = DialogThenSaveMs(path, [&] {
        const auto choice = messages.AskSaveFileName("Save Message Log", types, path);
        SaveMessageLog(store, ChooseMessageLogTarget(choice.path, choice.nameFilter), messages);
    });
    const double fresh = DialogThenSaveMs(path, [&] {
        std::string chosen;
        {
            QFileDialog dialog(nullptr, "Save Message Log");
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.selectFile(QString::fromStdString(path));
            dialog.exec();
            chosen = dialog.selectedFiles().front().toStdString();
        }
        SaveMessageLog(store, ChooseMessageLogTarget(chosen, kCsvFileType), messages);
    });

    const double writerMs = MedianMs(writer);
    std::printf("Save Message Log, 50000 frames, comma-separated, %zu bytes (median of %d)\n",
                bytes.size(), kRuns);
    std::printf("  single write() of the bytes      %8.2f ms\n", MedianMs(plain));
    std::printf("  writer alone                     %8.2f ms\n", writerMs);
    std::printf("  accept, kept dialog, save        %8.2f ms  (%.2f x the writer)\n", kept,
                kept / writerMs);
    std::printf("  accept, dialog torn down, save   %8.2f ms  (%.2f x the writer)\n", fresh,
                fresh / writerMs);
    return 0;
}
