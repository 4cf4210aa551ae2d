#include "UiTestSupport.h"

#include "LocaleSetup.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>
#include <iconv.h>

#include <memory>

namespace {

class ApplicationEnvironment final : public ::testing::Environment {
  public:
    void SetUp() override {
        application_ = std::make_unique<QApplication>(argc_, argv_);
        // The tests close main windows again and again; the application outlives them.
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override { application_.reset(); }

  private:
    int argc_ = 1;
    char name_[16] = "parlowen-test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

bool EndsTheProgram(const std::function<void()>& action) {
    QApplication::setQuitOnLastWindowClosed(true);
    QTimer::singleShot(0, qApp, action);
    QTimer stuck; // keeps a program that does not end from hanging the test
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    stuck.start(10000);
    const bool ended = QApplication::exec() == 0;
    QApplication::setQuitOnLastWindowClosed(false);
    return ended;
}

void InstallProgramLocale() {
    static const bool installed = [] {
        parlowen::LocaleSetup::RegisterFontSubstitutes();
        return parlowen::LocaleSetup::InstallTranslator(*QCoreApplication::instance());
    }();
    ASSERT_TRUE(installed) << "qtbase_ja could not be loaded";
}

std::string ToShiftJis(const QString& text) {
    QByteArray utf8 = text.toUtf8();
    std::string bytes(static_cast<std::size_t>(utf8.size()) * 2, '\0');
    char* in = utf8.data();
    char* out = bytes.data();
    std::size_t inLeft = static_cast<std::size_t>(utf8.size());
    std::size_t outLeft = bytes.size();
    iconv_t converter = iconv_open("CP932", "UTF-8");
    EXPECT_NE(iconv(converter, &in, &inLeft, &out, &outLeft), static_cast<std::size_t>(-1))
        << text.toStdString();
    iconv_close(converter);
    bytes.resize(bytes.size() - outLeft);
    return bytes;
}

QString CrLfLines(const QStringList& lines) {
    return lines.isEmpty() ? QString() : lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

void WriteBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
}

std::string ReadBytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll().toStdString();
}
