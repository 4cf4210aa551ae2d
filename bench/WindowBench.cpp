// Times one operation in the real main window, as the user meets it, until the window is idle again, with
// the peak memory of the process during it:
//   parlowen_window_bench load|convert|export LOG      prints "window-OP SECONDS PEAK_MB"
// load is Enter on the log in the file list; convert and export load the log first (not timed) and then
// press their button, export with ten speaker keywords and the entry line emphasised. Every question is
// answered OK. The platform is QT_QPA_PLATFORM's, offscreen when it is not set. Convert rewrites LOG.
#include "MainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>

namespace {

class AnswerOk final : public parlowen::MessageBoxes {
  public:
    bool AskOkCancel(const QString&, const QString&) override { return true; }
    void ShowNotice(const QString&, const QString&) override {}
    void Beep() override {}
};

// Processes events until a zero timer fires twice over, so that what the last handler posted (layouts,
// updates, deferred deletes) has run, then paints the whole window and waits for the display to take it.
void WaitUntilIdle(QWidget& window) {
    for (int pass = 0; pass < 2; ++pass) {
        bool fired = false;
        QTimer::singleShot(0, &window, [&fired] { fired = true; });
        while (!fired) {
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        }
    }
    window.repaint();
    QGuiApplication::sync();
}

// Sets the kernel's high-water mark of resident memory back to what the process holds now, so that a log
// loaded before a convert does not count as the convert's peak; false where the kernel cannot.
bool ResetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

// The highest resident size since ResetPeak, in megabytes; without a reset, the process's own peak.
double PeakMegabytes(bool reset) {
    if (reset) {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("VmHWM:", 0) == 0) {
                return std::stod(line.substr(6)) / 1024.0;
            }
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

template <typename Widget> Widget* Find(QWidget& window, const QString& name) {
    auto* widget = window.findChild<Widget*>(name);
    if (widget == nullptr) {
        std::fprintf(stderr, "the window has no %s\n", qPrintable(name));
        std::exit(1);
    }
    return widget;
}

void PressEnter(QWidget& list) {
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&list, &enter);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const QString operation = argc == 3 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (operation != "load" && operation != "convert" && operation != "export") {
        std::fprintf(stderr, "usage: %s load|convert|export LOG\n", argv[0]);
        return 2;
    }
    const QFileInfo log(QString::fromLocal8Bit(argv[2]));
    parlowen::ProgramState programState;
    AnswerOk boxes;
    parlowen::MainWindow window(programState, boxes, log.absolutePath());
    window.show();
    auto* list = Find<QListWidget>(window, QStringLiteral("logList"));
    if (list->findItems(log.fileName(), Qt::MatchExactly).isEmpty()) {
        std::fprintf(stderr, "%s is not listed\n", argv[2]);
        return 1;
    }
    window.SelectLog(QFile::encodeName(log.fileName()));
    WaitUntilIdle(window);

    std::function<void()> press = [list] { PressEnter(*list); };
    if (operation != "load") {
        PressEnter(*list);
        auto* button = Find<QAbstractButton>(window, operation == "convert" ? QStringLiteral("convertButton")
                                                                            : QStringLiteral("exportButton"));
        if (!button->isEnabled()) {
            std::fprintf(stderr, "%s was not loaded\n", argv[2]);
            return 1;
        }
        if (operation == "export") {
            // The engine's html row: the entry line emphasised and a keyword for every speaker colour.
            const QString speakers[] = {"たろう", "はなこ", "じろう", "さくら", "けんた",
                                        "ゆき",   "まさる", "あおい", "ゲスト", "管理人"};
            Find<QCheckBox>(window, QStringLiteral("emphasisBox"))->setChecked(true);
            Find<QLineEdit>(window, QStringLiteral("entryKeywordBox"))->setText(QStringLiteral("【入室】"));
            for (int i = 0; i < 10; ++i) {
                Find<QLineEdit>(window, QStringLiteral("speakerKeywordBox(%1)").arg(i))->setText(speakers[i]);
            }
        }
        press = [button] { button->click(); };
        WaitUntilIdle(window);
    }
    const bool reset = ResetPeak();
    QElapsedTimer timer;
    timer.start();
    press();
    WaitUntilIdle(window);
    const double seconds = timer.nsecsElapsed() / 1e9;
    // One row for scripts/bench.
    std::printf("window-%s %.3f %.0f\n", qPrintable(operation), seconds, PeakMegabytes(reset));
    return 0;
}
