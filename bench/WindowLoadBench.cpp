// The time from Enter on a log in the file list (both questions answered) to the check window holding it,
// on Qt's offscreen platform, and the peak memory of the process: parlowen_window_bench LOG
#include "MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include "CheckView.h"

#include <cstdio>
#include <sys/resource.h>

namespace {

class AnswerOk final : public parlowen::MessageBoxes {
  public:
    bool AskOkCancel(const QString&, const QString&) override { return true; }
    void ShowNotice(const QString&, const QString&) override {}
    void Beep() override {}
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s LOG\n", argv[0]);
        return 2;
    }
    const QFileInfo log(QString::fromLocal8Bit(argv[1]));
    parlowen::ProgramState programState;
    AnswerOk boxes;
    parlowen::MainWindow window(programState, boxes, log.absolutePath());
    window.show();
    auto* list = window.findChild<QListWidget*>(QStringLiteral("logList"));
    const auto items = list->findItems(log.fileName(), Qt::MatchExactly);
    if (items.isEmpty()) {
        std::fprintf(stderr, "%s is not listed\n", argv[1]);
        return 1;
    }
    {
        const QSignalBlocker quiet(list);
        list->setCurrentItem(items.first());
    }
    QElapsedTimer timer;
    timer.start();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(list, &enter);
    application.processEvents();
    const double seconds = timer.nsecsElapsed() / 1e9;
    const qsizetype blocks = window.findChild<parlowen::CheckView*>(QStringLiteral("checkView"))->text().rowCount();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    // One row for scripts/bench: "window SECONDS PEAK_MB BLOCKS".
    std::printf("window %.3f %.0f %lld\n", seconds, usage.ru_maxrss / 1024.0, static_cast<long long>(blocks));
    return 0;
}
